// The suite's database server stops while the publisher dialog is open. These tests stop the
// run's one server, so CTest runs them alone.
#include "ui/mergesplit/frmMergeAndSplit.h"

#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
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

TEST(ServerStopped, BetweenLoadAndOkOneMessageNoUpdateNoJointFile)
{
    TestAppDir app;
    StubPrograms stubs{app.path()};
    stubs.Add(QStringLiteral("java"), QStringLiteral("echo ok > success.log"));
    app.writeConfig(QStringLiteral("F.tsy"), {"SatelliteAppln=4009", "dsn=F"});
    app.writeConfig(QStringLiteral("R.tsy"), {"SatelliteAppln=1028", "dsn=R"});
    app.session().MnSFieldmarkConfig = QStringLiteral("F.tsy");
    app.session().MnSRostrumConfig = QStringLiteral("R.tsy");

    QList<ConfigEntry> entries;
    std::unique_ptr<PgDatabase> databases[2];
    for (int i : {0, 1}) {
        QString error;
        databases[i] = PostgresFixture::CreateDatabase(i ? QStringLiteral("stop_rst") : QStringLiteral("stop_fmk"), &error);
        ASSERT_TRUE(databases[i] && databases[i]->Exec(QStringLiteral("INSERT INTO tsybcdetails (tableid, productid, bcname) "
                                                                      "SELECT id, p, 'bc' FROM generate_series(200, 240) id, "
                                                                      "(VALUES ('4009'), ('1028')) products(p)"),
                                                       &error))
            << error.toStdString();
        ConfigEntry entry;
        entry.ProductCode = i ? RostrumProduct : FieldmarkProduct;
        std::tie(entry.Dsn, entry.User, entry.Password) =
            std::tuple(databases[i]->dsn(), databases[i]->user(), databases[i]->password());
        entries << entry;
    }
    frmMergeAndSplit dialog(app.session(), nullptr);
    ASSERT_TRUE(dialog.Load(entries)) << app.shownTexts().join(u'\n').toStdString();
    dialog.show();
    {
        ServerBack back;
        ASSERT_TRUE(Server("stop"));
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txtPublisherBusComp")), QStringLiteral("PUB"));
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txtpublisherBusPortNum")), QStringLiteral("4711"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdPublisherOK")), Qt::LeftButton);
    }

    // One message, with the driver's own words after the program's; nothing written anywhere.
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 1) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(shown[0].contains(QLatin1String("connection"), Qt::CaseInsensitive)) << shown[0].toStdString();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), QStringList({"F.tsy", "R.tsy"}));
    EXPECT_EQ(app.session().MnSFieldmarkConfig, QStringLiteral("F.tsy"));
    for (const auto &db : databases)
        EXPECT_EQ(db->Rows(QStringLiteral("SELECT count(*) FROM tsybcdetails WHERE publisherbc IS NOT NULL")),
                  QStringList{"0"});
}
