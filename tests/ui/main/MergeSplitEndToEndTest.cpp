// Merge and split as an operator does it through the main window, with the demo's own
// stand-ins, templates and database rows: every start lands in log/suite-programs.log, as in
// scripts/demo.sh.
#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString DemoDir = QStringLiteral(CS_SOURCE_DIR "/resources/demo/");
const QString Fieldmark = QStringLiteral("fieldmark_demo_4009.tsy");
const QString Rostrum = QStringLiteral("rostrum_demo_1028.tsy");
const QString Joint = QStringLiteral("Sales_M&S.tsy");

void Install(const QString &from, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << to.toStdString();
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class MergeSplitEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        // Before anything connects: the data sources come from the fixture's private ODBC files.
        ASSERT_TRUE(PostgresFixture::EnsureServer(&error)) << error.toStdString();
        qunsetenv("CS_DEMO_APPDIR");
        qunsetenv("DISPLAY"); // the stand-ins show no windows
        for (const char *program : {"TessHost.exe", "RunServer.bat"})
            Install(DemoDir + QStringLiteral("suite-stub.sh"), app.path() + u'/' + QLatin1String(program));
        Install(DemoDir + QStringLiteral("java"), app.path() + QStringLiteral("/java"));
        QDir(app.path()).mkpath(QStringLiteral("OAComponents"));
        for (const QString &name : QDir(DemoDir + QStringLiteral("OAComponents")).entryList(QDir::Files))
            Install(DemoDir + QStringLiteral("OAComponents/") + name, app.path() + QStringLiteral("/OAComponents/") + name);
        for (auto &[db, name, product, file] : {std::tuple{&fmk, "fieldmark_demo", "4009", Fieldmark},
                                                std::tuple{&rst, "rostrum_demo", "1028", Rostrum}}) {
            *db = PostgresFixture::CreateDatabase(QLatin1String(name), &error);
            ASSERT_TRUE(*db) << error.toStdString();
            QFile rows(DemoDir + QLatin1String(name) + QStringLiteral(".sql"));
            ASSERT_TRUE(rows.open(QIODevice::ReadOnly));
            ASSERT_TRUE((*db)->Exec(QString::fromUtf8(rows.readAll()) + QStringLiteral(";INSERT INTO tsparameters VALUES (6)"),
                                    &error))
                << error.toStdString();
            WriteConfig(file, product, **db);
        }
    }

    void WriteConfig(const QString &name, const char *product, const PgDatabase &db)
    {
        ConfigRecord c;
        ApplyNewConfigurationDefaults(c);
        c.SatelliteAppln = QLatin1String(product);
        c.ldbp = QStringLiteral("1");
        std::tie(c.dsn, c.database, c.user, c.password) = std::tuple(db.dsn(), db.name(), db.user(), db.password());
        c.savepass = QStringLiteral("1");
        c.webdirectory = app.path();
        const Result<void> written = ConfigFormat::WriteFile(app.lib(name), c);
        ASSERT_TRUE(written) << written.error().description.toStdString();
    }
    void JoinDemoConfigs()
    {
        const Result<void> joined = ConfigStore::JoinConfigFiles(app.path(), Fieldmark, Rostrum, Joint);
        ASSERT_TRUE(joined) << joined.error().description.toStdString();
    }

    // Opens the main window and clicks the named entries, the later ones with Ctrl.
    void OpenAndSelect(const QStringList &names)
    {
        window.Load();
        window.show();
        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("LVConfig"));
        for (const QString &name : names) {
            const auto found = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, name == names.first() ? Qt::NoModifier : Qt::ControlModifier,
                              list->visualItemRect(found.first()).center());
        }
    }
    void Trigger(const char *action) { window.findChild<QAction *>(QLatin1String(action))->trigger(); }

    // Picks both configurations and publishes PUB_New through the publisher dialog.
    void Publish()
    {
        OpenAndSelect({Rostrum, Fieldmark});
        WhenModal(QStringLiteral("frmMergeAndSplit"), [](QWidget *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txt_ldapAdmin")), QStringLiteral("cn=admin"));
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtPublisherBusComp")), QStringLiteral(" PUB_New "));
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtpublisherBusPortNum")), QStringLiteral("7401"));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdPublisherOK")), Qt::LeftButton);
        });
        Trigger("MnSConfig");
    }

    // The publisher folders the dispatcher starts in the log came from.
    QStringList DispatcherStarts() const
    {
        static const QRegularExpression start(QStringLiteral("startEventDispatcher.bat  \\(from .*/OAComponents/([^,]+),"));
        QStringList folders;
        for (const QString &line : QString::fromUtf8(app.readFile(QStringLiteral("log/suite-programs.log"))).split(u'\n')) {
            if (const auto match = start.match(line); match.hasMatch())
                folders << match.captured(1);
        }
        folders.sort();
        return folders;
    }

    TestAppDir app;
    std::unique_ptr<PgDatabase> fmk, rst;
    frmConfigurationSelector window{app.session()};
};

// The trimmed publisher is named in every table of both databases, and the joint file written
// for the pair is listed in bold.
TEST_F(MergeSplitEndToEnd, PublishingNamesTheTrimmedPublisherAndListsTheJointFile)
{
    Publish();
    const QString sql = QStringLiteral("SELECT count(*) FROM tsybcdetails WHERE publisherbc = 'PUB_New'");
    EXPECT_EQ(fmk->Rows(sql) + rst->Rows(sql), QStringList({"8", "8"})) << app.shownTexts().join(u'\n').toStdString();
    const auto items = window.findChild<QTreeWidget *>(QStringLiteral("LVConfig"))->findItems(QStringLiteral("Default_M&S.tsy"),
                                                                                             Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items.first()->font(0).bold());
}

// PUB_Sales has two Fieldmark rows and one Rostrum row: one folder, consumers of both.
TEST_F(MergeSplitEndToEnd, RunOnAJointFileStartsOneDispatcherPerPublisher)
{
    JoinDemoConfigs();
    OpenAndSelect({Joint});
    Trigger("mnuExecute");
    for (QDeadlineTimer deadline(15000); DispatcherStarts().size() < 2 && !deadline.hasExpired();)
        QTest::qWait(100);
    QTest::qWait(500); // a start too many would show by now
    EXPECT_EQ(DispatcherStarts(), QStringList({"PUB_Plan", "PUB_Sales"}));
    const QString properties = QString::fromLatin1(app.readFile(QStringLiteral("OAComponents/PUB_Sales/eventdispatcher.properties")));
    EXPECT_TRUE(properties.contains(QLatin1String("consumer.buscomponents=FMK_Orders;FMK_Visits;RST_Shifts"))
                || properties.contains(QLatin1String("consumer.buscomponents=FMK_Visits;FMK_Orders;RST_Shifts")))
        << properties.toStdString();
}

} // namespace
