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

ConfigEntry EntryOf(qint16 product, const PgDatabase &db)
{
    ConfigEntry entry;
    entry.ProductCode = product;
    entry.Dsn = db.dsn();
    entry.User = db.user();
    entry.Password = db.password();
    return entry;
}

} // namespace

TEST(ServerStopped, BetweenLoadAndOkOneMessageNoUpdateNoJointFile)
{
    TestAppDir app;
    StubPrograms stubs{app.path()};
    stubs.Add(QStringLiteral("java"), QStringLiteral("echo ok > success.log"));
    const QStringList fmkLines = {"SatelliteAppln=4009", "dsn=F", "autologin=0"};
    const QStringList rstLines = {"SatelliteAppln=1028", "dsn=R", "autologin=0"};
    app.writeConfig(QStringLiteral("F.tsy"), fmkLines);
    app.writeConfig(QStringLiteral("R.tsy"), rstLines);
    const QByteArray fmkBefore = app.readFile(QStringLiteral("lib/F.tsy"));
    const QByteArray rstBefore = app.readFile(QStringLiteral("lib/R.tsy"));
    app.session().MnSFieldmarkConfig = QStringLiteral("F.tsy");
    app.session().MnSRostrumConfig = QStringLiteral("R.tsy");

    QString error;
    auto fmk = PostgresFixture::CreateDatabase(QStringLiteral("stop_fmk"), &error);
    ASSERT_TRUE(fmk) << error.toStdString();
    auto rst = PostgresFixture::CreateDatabase(QStringLiteral("stop_rst"), &error);
    ASSERT_TRUE(rst) << error.toStdString();
    for (PgDatabase *db : {fmk.get(), rst.get()})
        ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails (tableid, productid, bcname) "
                                            "SELECT id, p, 'bc' || id FROM generate_series(200, 240) id, "
                                            "(VALUES ('4009'), ('1028')) products(p)"),
                             &error))
            << error.toStdString();

    frmMergeAndSplit dialog(app.session(), {EntryOf(FieldmarkProduct, *fmk), EntryOf(RostrumProduct, *rst)}, nullptr);
    dialog.show();
    ASSERT_TRUE(app.shownTexts().isEmpty()) << app.shownTexts().join(u'\n').toStdString();
    {
        ServerBack back;
        ASSERT_TRUE(Server("stop"));
        for (const auto &[name, text] : {std::pair{"txtPublisherBusComp", "PUB"}, {"txtpublisherBusPortNum", "4711"}}) {
            auto *field = dialog.findChild<QLineEdit *>(QLatin1String(name));
            field->clear();
            QTest::keyClicks(field, QLatin1String(text));
        }
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdPublisherOK")), Qt::LeftButton);
    }

    // One message, with the driver's own words after the program's.
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 1) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(shown[0].contains(QLatin1String("connection"), Qt::CaseInsensitive)) << shown[0].toStdString();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), QStringList({"F.tsy", "R.tsy"}));
    EXPECT_EQ(app.readFile(QStringLiteral("lib/F.tsy")), fmkBefore);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/R.tsy")), rstBefore);
    for (PgDatabase *db : {fmk.get(), rst.get()})
        EXPECT_EQ(db->Rows(QStringLiteral("SELECT count(*) FROM tsybcdetails WHERE publisherbc IS NOT NULL")),
                  QStringList{"0"});
}
