// The suite's database server stops while the publisher dialog is open, between its load and
// its OK. These tests stop the run's one server, so CTest runs them alone.
#include "suite/PublisherConnections.h"
#include "suite/PublisherSetup.h"

#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

bool Server(const char *command)
{
    const int rc = QProcess::execute(QStringLiteral(CS_SOURCE_DIR "/tests/support/pg_fixture.sh"),
                                     {QLatin1String(command), PostgresFixture::Dir()});
    return rc == 0;
}

// Starts the server again however the test ends, so that the tests after it find it.
struct ServerBack
{
    ~ServerBack() { EXPECT_TRUE(Server("resume")); }
};

} // namespace

// The OK's check of the databases fails with one message holding the driver's words, so the
// dialog stops before the directory tool runs; the update would fail as well.
TEST(ServerStopped, TheCheckOfTheDatabasesFailsWithOneMessage)
{
    TestAppDir app;
    PgDatabase *db = PostgresFixture::Ready(QStringLiteral("stop"), QStringLiteral("SELECT 1"));
    ASSERT_TRUE(db);
    QList<ConfigEntry> entries;
    for (qint16 product : {FieldmarkProduct, RostrumProduct})
        entries.append({.FileName = {}, .ProductCode = product, .Dsn = db->dsn(), .User = db->user(),
                        .Password = db->password(), .Platform = 0, .DbMachineName = {}});
    PublisherConnections connections;
    ASSERT_TRUE(PublisherSetup::OpenConnections(app.session(), connections, entries));
    ServerBack back;
    ASSERT_TRUE(Server("stop"));
    qint64 size = 0;
    EXPECT_FALSE(PublisherSetup::CheckConnections(app.session(), connections, &size));
    EXPECT_FALSE(PublisherSetup::UpdatePublisher(app.session(), connections, QStringLiteral("PUB")));
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    for (const QString &text : shown)
        EXPECT_TRUE(text.contains(QLatin1String("connection"), Qt::CaseInsensitive)) << text.toStdString();
}
