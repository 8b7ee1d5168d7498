// Merge and split as an operator does it through the main window, with the demo's own
// stand-ins, templates and database rows: every start lands in log/suite-programs.log, as in
// scripts/demo.sh. Each step is tested on its own below the windows; this run shows that the
// window hands each step what the one before left.
#include "MainWindowTest.h"

#include "config/PasswordScramble.h"
#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"

#include <QFile>
#include <QPushButton>

namespace {

using MergeSplitEndToEnd = MainWindowTest;

// The pair picked in the list gets the publisher typed in the dialog; the joint file made is
// listed in bold, and running it starts the dispatcher of that publisher over both databases.
TEST_F(MergeSplitEndToEnd, PublishThenRunTheJointFile)
{
    // Before anything connects: the data sources come from the fixture's private ODBC files.
    ASSERT_TRUE(PostgresFixture::EnsureServer());
    qunsetenv("CS_DEMO_APPDIR");
    qunsetenv("DISPLAY"); // the stand-ins show no windows
    const QString demo = QStringLiteral(CS_SOURCE_DIR "/resources/demo/");
    const auto install = [&](const QString &from, const QString &to) {
        ASSERT_TRUE(QFile::copy(demo + from, app.path() + u'/' + to)) << to.toStdString();
        QFile::setPermissions(app.path() + u'/' + to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    for (const char *program : {"TessHost.exe", "RunServer.bat"})
        install(QStringLiteral("suite-stub.sh"), QLatin1String(program));
    install(QStringLiteral("java"), QStringLiteral("java"));
    QDir(app.path()).mkpath(QStringLiteral("OAComponents"));
    for (const QString &name : QDir(demo + QStringLiteral("OAComponents")).entryList(QDir::Files))
        install(QStringLiteral("OAComponents/") + name, QStringLiteral("OAComponents/") + name);
    for (const auto &[name, product] : {std::pair{"fieldmark_demo", "4009"}, {"rostrum_demo", "1028"}}) {
        QFile rows(demo + QLatin1String(name) + QStringLiteral(".sql"));
        ASSERT_TRUE(rows.open(QIODevice::ReadOnly));
        const PgDatabase *db = PostgresFixture::Ready(
            QLatin1String(name), QString::fromUtf8(rows.readAll()) + QStringLiteral(";INSERT INTO tsparameters VALUES (6)"));
        ASSERT_NE(db, nullptr);
        app.writeConfig(QLatin1String(name) + QStringLiteral(".tsy"),
                        {"SatelliteAppln=" + QLatin1String(product), "ldbp=1", "dsn=" + db->dsn(), "user=" + db->user(),
                         "savepass=1", "password=" + ScramblePassword(db->password()), "webdirectory=" + app.path()});
    }

    Open();
    Select({QStringLiteral("rostrum_demo.tsy"), QStringLiteral("fieldmark_demo.tsy")});
    WhenModal(QStringLiteral("frmMergeAndSplit"), [](QWidget *dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txt_ldapAdmin")), QStringLiteral("cn=admin"));
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtPublisherBusComp")), QStringLiteral("PUB_New"));
        QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtpublisherBusPortNum")), QStringLiteral("7401"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdPublisherOK")), Qt::LeftButton);
    });
    Action("MnSConfig")->trigger();
    const auto joint = Item(QStringLiteral("Default_M&S.tsy"));
    ASSERT_TRUE(joint) << app.shownTexts().join(u'\n').toStdString();
    EXPECT_TRUE(joint->font(0).bold());

    Select({joint->text(0)});
    Action("mnuExecute")->trigger();
    const auto log = [&] { return QString::fromUtf8(app.readFile(QStringLiteral("log/suite-programs.log"))); };
    const QString started = QStringLiteral("startEventDispatcher.bat  (from ");
    // The dispatcher ran and every program started has ended: a start too many would show now.
    EXPECT_TRUE(QTest::qWaitFor([&] { return log().contains(started) && StubPrograms::NoneRunsIn(app.path()); }, 15000));
    EXPECT_EQ(log().count(started), 1) << log().toStdString();
    EXPECT_TRUE(log().contains(QStringLiteral("/OAComponents/PUB_New, ")));
    const QByteArray properties = app.readFile(QStringLiteral("OAComponents/PUB_New/eventdispatcher.properties"));
    EXPECT_TRUE(properties.contains("FMK_Orders") && properties.contains("RST_Shifts")) << properties.toStdString();
}

} // namespace
