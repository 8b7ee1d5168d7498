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
    return QProcess::execute(QStringLiteral(CS_SOURCE_DIR "/tests/support/pg_fixture.sh"),
                             {QLatin1String(command), PostgresFixture::Dir()})
           == 0;
}

// Stops the server for its lifetime and starts it again however the test ends, so that the
// tests after it find it.
struct ServerStop
{
    ServerStop() { EXPECT_TRUE(Server("stop")); }
    ~ServerStop() { EXPECT_TRUE(Server("resume")); }
};

} // namespace

// The OK's check of the databases fails with one message holding the driver's words, so the
// dialog stops before the directory tool runs. (The update's own failure on a dropped
// connection is tested with the update.)
TEST(ServerStopped, TheCheckOfTheDatabasesFailsWithOneMessage)
{
    TestAppDir app;
    PgDatabase *db = PostgresFixture::Ready(QStringLiteral("stop"), QStringLiteral("SELECT 1"));
    ASSERT_TRUE(db);
    PublisherConnections connections;
    ASSERT_TRUE(PublisherSetup::OpenConnections(app.session().Messenger(), connections,
                                                {EntryOn(db, FieldmarkProduct, db->dsn()), EntryOn(db, RostrumProduct, db->dsn())}));
    const ServerStop stopped;
    EXPECT_FALSE(PublisherSetup::CheckConnections(app.session().Messenger(), connections));
    ASSERT_EQ(app.shownTexts().size(), 1) << app.shownTexts().join(u'\n').toStdString();
    EXPECT_TRUE(app.shownTexts()[0].contains(QLatin1String("connection"), Qt::CaseInsensitive)) << app.shownTexts()[0].toStdString();
}
