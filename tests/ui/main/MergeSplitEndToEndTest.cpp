// Merge and split as an operator does it, through the main window: pick two configurations,
// fill in the publisher dialog, edit the joint file, start it.
#include "config/ConfigFormat.h"
#include "platform/IniProfile.h"
#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QList<int> FieldmarkTables = {230, 240, 224, 220, 229, 234, 236, 235};
const QList<int> RostrumTables = {203, 216, 204, 209, 205, 208, 210, 211};

std::unique_ptr<PgDatabase> SuiteDatabase(const QString &label, const QString &product,
                                          const QList<int> &tables, const QString &extraRows)
{
    QString error, rows;
    auto db = PostgresFixture::CreateDatabase(label, &error);
    EXPECT_TRUE(db) << error.toStdString();
    if (!db)
        return db;
    for (int id : tables)
        rows += QStringLiteral("(%1, '%2', '%3_%1', ''), ").arg(id).arg(product, label);
    EXPECT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails (tableid, productid, bcname, publisherbc) VALUES "
                                        "%1 %2; INSERT INTO tsparameters VALUES (6);")
                             .arg(rows, extraRows),
                         &error))
        << error.toStdString();
    return db;
}

// A configuration of the database with its password saved, as the editor writes it.
void WriteConfig(const TestAppDir &app, const QString &name, const QString &product,
                 const PgDatabase &db, const QString &webDirectory)
{
    ConfigRecord c;
    c.SatelliteAppln = product;
    c.ldbp = "1";
    c.dsn = db.dsn();
    c.database = db.name();
    c.dbmachinename = "localhost";
    c.user = db.user();
    c.savepass = "1";
    c.password = db.password();
    c.autologin = "0";
    c.lhbuscomponent = "cn=" + product + ", o=root";
    c.webdirectory = webDirectory;
    ApplyNewConfigurationDefaults(c);
    const Result<void> written = ConfigFormat::WriteFile(app.lib(name), c);
    ASSERT_TRUE(written) << written.error().description.toStdString();
}

} // namespace

TEST(MergeSplitEndToEnd, PickJoinEditAndStart)
{
    TestAppDir app;
    // Each database already has one row of a publisher that the other knows too.
    auto fmk = SuiteDatabase("e2e_fmk", "4009", FieldmarkTables, "(999, '4009', 'FmkClient', 'PUB_Both')");
    auto rst = SuiteDatabase("e2e_rst", "1028", RostrumTables, "(998, '1028', 'RstClient', 'PUB_Both')");
    ASSERT_TRUE(fmk && rst);
    WriteConfig(app, "fieldmark.tsy", "4009", *fmk, app.path());
    WriteConfig(app, "rostrum.tsy", "1028", *rst, QString());
    StubPrograms stubs(app.path());
    // The directory tool leaves its result in the application directory.
    stubs.Add("java", QStringLiteral("echo created > '%1/success.log'").arg(app.path()));
    stubs.Add("TessHost.exe");
    stubs.Add("RunServer.bat");
    StubPrograms dispatchers(app.path() + "/OAComponents");
    dispatchers.Add("startEventDispatcher.bat", "cat \"$(dirname \"$0\")/eventdispatcher.properties\" >> \"$record.part\"");
    app.writeFile("OAComponents/eventdispatcher.jar", "jar");
    app.writeFile("OAComponents/eventdispatcher.properties",
                  "publisher=<PublisherBuscomponent>\nconsumers=<ConsumerBusComponents>\n");

    frmConfigurationSelector window(app.session());
    window.Load();
    window.show();
    auto *list = window.findChild<QTreeWidget *>("LVConfig");
    ASSERT_NE(list, nullptr);
    auto clickItem = [&](const QString &name, Qt::KeyboardModifiers modifiers = {}) {
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(found.first()).center());
    };
    clickItem("rostrum.tsy");
    clickItem("fieldmark.tsy", Qt::ControlModifier);
    ASSERT_EQ(list->selectedItems().size(), 2);

    bool published = false;
    WhenModal("frmMergeAndSplit", [&](QWidget *dialog) {
        auto field = [&](const char *name) { return dialog->findChild<QLineEdit *>(name); };
        QTest::keyClicks(field("txt_ldapAdmin"), "cn=admin");
        QTest::keyClicks(field("txt_ldapPwd"), "secret");
        QTest::keyClicks(field("txtPublisherBusComp"), "  PUB_New  ");
        QTest::keyClicks(field("txtpublisherBusPortNum"), "7401");
        published = true;
        QTest::mouseClick(dialog->findChild<QPushButton *>("cmdPublisherOK"), Qt::LeftButton);
    });
    window.findChild<QAction *>("MnSConfig")->trigger();
    ASSERT_TRUE(published);
    EXPECT_EQ(app.quitCount(), 0) << app.shownTexts().join('\n').toStdString();
    EXPECT_TRUE(app.shownTexts().contains("Bus Component   PUB_New   created successfully!"))
        << app.shownTexts().join('\n').toStdString();
    EXPECT_FALSE(QFile::exists(app.path() + "/success.log"));

    // Sixteen rows, eight per database, carry the trimmed publisher name.
    for (auto [db, tables] : {std::pair{fmk.get(), FieldmarkTables}, std::pair{rst.get(), RostrumTables}}) {
        const QStringList rows = db->Rows("SELECT tableid FROM tsybcdetails WHERE publisherbc = 'PUB_New' ORDER BY tableid");
        QStringList expected;
        QList<int> sorted = tables;
        std::sort(sorted.begin(), sorted.end());
        for (int id : sorted)
            expected << QString::number(id);
        EXPECT_EQ(rows, expected);
    }

    // The joint file is listed in bold, with autologin set in both sections.
    const QString joint = app.lib("Default_M&S.tsy");
    const auto jointItems = list->findItems("Default_M&S.tsy", Qt::MatchExactly);
    ASSERT_EQ(jointItems.size(), 1);
    EXPECT_TRUE(jointItems.first()->font(0).bold());
    for (const char *section : {"FMK", "RST"})
        EXPECT_EQ(IniProfile::GetPrivateProfileString(section, "autologin", "", 255, joint), "1") << section;

    // Update opens the joint-file editor; OK after a change writes its keys.
    clickItem("Default_M&S.tsy");
    bool edited = false;
    WhenModal("frmEditConfigurationMergeSplit", [&](QWidget *editor) {
        edited = true;
        editor->findChild<QLineEdit *>("txtBatch_0")->setText("150");
        QTest::mouseClick(editor->findChild<QPushButton *>("bOk"), Qt::LeftButton);
    });
    window.findChild<QAction *>("mnuUpdate")->trigger();
    ASSERT_TRUE(edited);
    for (const char *section : {"FMK", "RST"})
        EXPECT_EQ(IniProfile::GetPrivateProfileString(section, "mns", "", 255, joint), "1") << section;

    // Run starts a console per section, the Java server for both, a dispatcher per publisher.
    clickItem("Default_M&S.tsy");
    window.findChild<QAction *>("mnuExecute")->trigger();
    const auto consoles = stubs.WaitForRuns("TessHost.exe", 2);
    ASSERT_EQ(consoles.size(), 2);
    EXPECT_EQ(consoles[0].arguments, QStringList({"/F", joint + "/C", "FMK"}));
    EXPECT_EQ(consoles[1].arguments, QStringList({"/F", joint + "/C", "RST"}));
    const auto java = stubs.WaitForRuns("RunServer.bat");
    ASSERT_EQ(java.size(), 1);
    ASSERT_EQ(java[0].arguments.size(), 2);
    EXPECT_TRUE(java[0].arguments[0].startsWith("4009;" + fmk->dsn() + ";"));
    EXPECT_TRUE(java[0].arguments[1].startsWith("1028;" + rst->dsn() + ";"));

    // PUB_Both is published in both databases: one folder, clients of both.
    EXPECT_TRUE(QFile::exists(app.path() + "/OAComponents/PUB_Both/eventdispatcher.jar"));
    const QByteArray both = app.readFile("OAComponents/PUB_Both/eventdispatcher.properties");
    EXPECT_EQ(both, QByteArray("publisher=PUB_Both\nconsumers=FmkClient;RstClient\n"));
    EXPECT_TRUE(QFile::exists(app.path() + "/OAComponents/PUB_New/eventdispatcher.properties"));
    EXPECT_FALSE(dispatchers.WaitForRuns("startEventDispatcher.bat").isEmpty());
}
