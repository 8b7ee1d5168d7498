// The demo's merge and split walked through with the demo's own stand-ins, templates and
// database rows: every start lands in log/suite-programs.log, as in scripts/demo.sh.
#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "suite/MergeSplitLaunch.h"
#include "ui/mergesplit/frmMergeAndSplit.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <iostream>

namespace {

const QString DemoDir = QStringLiteral(CS_SOURCE_DIR "/resources/demo/");

void Install(const QString &from, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << to.toStdString();
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

std::unique_ptr<PgDatabase> DemoDatabase(const QString &name)
{
    QString error;
    auto db = PostgresFixture::CreateDatabase(name, &error);
    EXPECT_TRUE(db) << error.toStdString();
    QFile rows(DemoDir + name + QStringLiteral(".sql"));
    EXPECT_TRUE(rows.open(QIODevice::ReadOnly));
    if (db)
        EXPECT_TRUE(db->Exec(QString::fromUtf8(rows.readAll()), &error)) << error.toStdString();
    return db;
}

void WriteConfig(const TestAppDir &app, const QString &name, const char *product, const PgDatabase &db)
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

// The dispatcher starts the log shows: the publisher folder each was started from.
QStringList DispatcherStarts(const QString &log)
{
    QStringList folders;
    static const QRegularExpression start(QStringLiteral("startEventDispatcher.bat  \\(from .*/OAComponents/([^,]+),"));
    for (const QString &line : log.split(u'\n')) {
        const auto match = start.match(line);
        if (match.hasMatch())
            folders << match.captured(1);
    }
    return folders;
}

QString WaitForStarts(const TestAppDir &app, int count)
{
    QString log;
    for (QDeadlineTimer deadline(15000); !deadline.hasExpired(); QTest::qWait(100)) {
        log = QString::fromUtf8(app.readFile(QStringLiteral("log/suite-programs.log")));
        if (DispatcherStarts(log).size() >= count)
            break;
    }
    QTest::qWait(500); // a start too many would show by now
    return QString::fromUtf8(app.readFile(QStringLiteral("log/suite-programs.log")));
}

TEST(DemoMergeSplit, RunStartsOneDispatcherPerPublisher)
{
    TestAppDir app;
    qunsetenv("CS_DEMO_APPDIR");
    qunsetenv("DISPLAY"); // the stand-ins show no windows
    for (const char *program : {"TessHost.exe", "RunServer.bat"})
        Install(DemoDir + QStringLiteral("suite-stub.sh"), app.path() + u'/' + QLatin1String(program));
    Install(DemoDir + QStringLiteral("java"), app.path() + QStringLiteral("/java"));
    QDir(app.path()).mkpath(QStringLiteral("OAComponents"));
    for (const QString &name : QDir(DemoDir + QStringLiteral("OAComponents")).entryList(QDir::Files))
        Install(DemoDir + QStringLiteral("OAComponents/") + name, app.path() + QStringLiteral("/OAComponents/") + name);

    auto fmk = DemoDatabase(QStringLiteral("fieldmark_demo"));
    auto rst = DemoDatabase(QStringLiteral("rostrum_demo"));
    ASSERT_TRUE(fmk && rst);
    WriteConfig(app, QStringLiteral("fieldmark_demo_4009.tsy"), "4009", *fmk);
    WriteConfig(app, QStringLiteral("rostrum_demo_1028.tsy"), "1028", *rst);
    ASSERT_TRUE(ConfigStore::JoinConfigFiles(app.path(), QStringLiteral("fieldmark_demo_4009.tsy"),
                                             QStringLiteral("rostrum_demo_1028.tsy"), QStringLiteral("Sales_M&S.tsy")));

    // The demo's own joint file: PUB_Sales has two Fieldmark rows and one Rostrum row.
    RunMergeAndSplit(app.session(), app.lib(QStringLiteral("Sales_M&S.tsy")));
    QString log = WaitForStarts(app, 2);
    QStringList starts = DispatcherStarts(log);
    starts.sort();
    EXPECT_EQ(starts, QStringList({"PUB_Plan", "PUB_Sales"})) << log.toStdString();
    EXPECT_TRUE(log.contains(QLatin1String("consumer.buscomponents=FMK_Orders;FMK_Visits;RST_Shifts"))
                || log.contains(QLatin1String("consumer.buscomponents=FMK_Visits;FMK_Orders;RST_Shifts")))
        << log.toStdString();

    // Merge and split names one publisher for every table of both; Run starts it once.
    app.session().MnSFieldmarkConfig = QStringLiteral("fieldmark_demo_4009.tsy");
    app.session().MnSRostrumConfig = QStringLiteral("rostrum_demo_1028.tsy");
    ConfigEntry f, r;
    std::tie(f.ProductCode, f.Dsn, f.User, f.Password) = std::tuple(FieldmarkProduct, fmk->dsn(), fmk->user(), fmk->password());
    std::tie(r.ProductCode, r.Dsn, r.User, r.Password) = std::tuple(RostrumProduct, rst->dsn(), rst->user(), rst->password());
    frmMergeAndSplit dialog(app.session(), {f, r}, nullptr);
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txt_ldapAdmin")), QStringLiteral("cn=admin"));
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txtPublisherBusComp")), QStringLiteral("PUB_Merged"));
    QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("txtpublisherBusPortNum")), QStringLiteral("7401"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdPublisherOK")), Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << app.shownTexts().join(u'\n').toStdString();

    RunMergeAndSplit(app.session(), app.lib(QStringLiteral("Default_M&S.tsy")));
    log = WaitForStarts(app, 3);
    starts = DispatcherStarts(log);
    EXPECT_EQ(starts.mid(2), QStringList{"PUB_Merged"}) << log.toStdString();
    std::cout << log.toStdString();
}

} // namespace
