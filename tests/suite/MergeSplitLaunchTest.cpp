#include "suite/MergeSplitLaunch.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

class LaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        stubs.Add(QStringLiteral("TessHost.exe"));
        stubs.Add(QStringLiteral("RunServer.bat"));
        app.writeFile(QStringLiteral("OAComponents/eventdispatcher.jar"), "jar");
        app.writeFile(QStringLiteral("OAComponents/eventdispatcher.properties"),
                      "p=<PublisherBuscomponent>\r\nc=<ConsumerBusComponents>\r\nagain=<PublisherBuscomponent>\r\n");
        // Each copy of the start file marks the folder it was started from.
        app.writeFile(QStringLiteral("OAComponents/startEventDispatcher.bat"),
                      "#!/bin/sh\necho started >> \"$(dirname \"$0\")/started.txt\"\n");
        QFile::setPermissions(Component("startEventDispatcher.bat"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The suite databases with the given rows (publisher, consumer, table, product), and the joint file on them.
    void MakeDatabases(const QString &fmkRows, const QString &rstRows)
    {
        const QString sql = QStringLiteral("DELETE FROM tsybcdetails; "
                                           "INSERT INTO tsybcdetails (publisherbc, bcname, tableid, productid) VALUES ");
        fmk = PostgresFixture::Ready(QStringLiteral("launch_fmk"), sql + fmkRows);
        rst = PostgresFixture::Ready(QStringLiteral("launch_rst"), sql + rstRows);
        ASSERT_TRUE(fmk && rst);
        WriteJoint(QStringLiteral("2"));
    }

    void WriteJoint(const QString &rstPlatform)
    {
        auto section = [](const char *name, const char *product, const QString &platform, const PgDatabase *db) {
            return QStringLiteral("[%1]\r\nSatelliteAppln=%2\r\nldbp=%3\r\ndsn=%4\r\nuser=%5\r\nsavepass=1\r\npassword=%6\r\n")
                .arg(QLatin1String(name), QLatin1String(product), platform, db ? db->dsn() : QStringLiteral("NoSuchDsn"),
                     db ? db->user() : QString(), ScramblePassword(db ? db->password() : QString()));
        };
        app.writeFile(QStringLiteral("lib/J.tsy"),
                      Ansi::Encode(section("FMK", "4009", QStringLiteral("1"), fmk) + QStringLiteral("\r\n")
                                   + section("RST", "1028", rstPlatform, rst)));
    }

    QString Component(const QString &relative) { return app.path() + QStringLiteral("/OAComponents/") + relative; }
    QStringList ComponentFolders() { return QDir(Component(QString())).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }

    TestAppDir app;
    StubPrograms stubs{app.path()};
    QString joint = app.lib(QStringLiteral("J.tsy"));
    PgDatabase *fmk = nullptr, *rst = nullptr;
};

TEST_F(LaunchTest, StartsTheJavaServerForBothAndOneDispatcherPerPublisher)
{
    MakeDatabases(QStringLiteral("('PUB', 'FMKBC', 230, '4009'), ('', 'none', 224, '4009'), (NULL, 'none', 220, '4009')"),
                  QStringLiteral("('PUB', 'rstcomp', 203, '1028'), ('PUB', 'FMKBC', 216, '1028'), "
                                 "('RSTONLY', 'rc1', 204, '1028'), ('bad/name', 'x', 209, '1028'), "
                                 "('INJ', E'c\\r\\nadmin.password=injected', 205, '1028'), ('INJ', 'fine', 208, '1028')"));
    RunMergeAndSplit(app.suite(), joint);

    const auto java = stubs.WaitForRuns(QStringLiteral("RunServer.bat"));
    ASSERT_EQ(java.size(), 1);
    // Platform 2 names its server through the database; platform 1 its data source.
    EXPECT_EQ(java[0].arguments,
              QStringList({QStringLiteral("4009;%1;%2;%3;1").arg(fmk->dsn(), fmk->user(), fmk->password()),
                           QStringLiteral("1028;%1;%2;%3;2").arg(rst->serverName(), rst->user(), rst->password())}));

    // One dispatcher for PUB over both databases, each consumer named once, started once.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(Component("PUB/started.txt")) && QFile::exists(Component("RSTONLY/started.txt")); }, 10000));
    EXPECT_EQ(app.readFile("OAComponents/PUB/eventdispatcher.properties"), "p=PUB\r\nc=FMKBC;rstcomp\r\nagain=PUB\r\n");
    EXPECT_EQ(app.readFile("OAComponents/RSTONLY/eventdispatcher.jar"), "jar");
    // Every dispatcher started has ended: a second start of one folder would show now.
    EXPECT_TRUE(QTest::qWaitFor([&] { return StubPrograms::NoneRunsIn(Component(QString())); }, 10000));
    EXPECT_EQ(app.readFile("OAComponents/PUB/started.txt"), "started\n");

    // A name that cannot be a folder, or a consumer with a line break, leaves that publisher
    // out, named by its row; nothing is made outside OAComponents.
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    const QString told = shown.join(u'\n');
    EXPECT_TRUE(told.contains(QStringLiteral("publisher \"bad/name\""))
                && told.contains(QStringLiteral("the Rostrum database, publisher \"INJ\" with consumer "
                                                "\"c\\r\\nadmin.password=injected\": the consumer name")))
        << told.toStdString();
    EXPECT_EQ(ComponentFolders(), QStringList({"PUB", "RSTONLY"}));

    // A template gone missing ends the dispatcher step with its reason.
    QFile::remove(Component(QStringLiteral("eventdispatcher.jar")));
    app.messages().ClearShown();
    EXPECT_FALSE(ExecuteDispatcher(app.suite(), joint));
    EXPECT_TRUE(app.shownTexts().last().startsWith(QStringLiteral("Could Not Execute Dispatcher component...\r\nReason: \r\n")));
}

TEST_F(LaunchTest, NoPublisherInEitherDatabaseIsToldAndPreparesNothing)
{
    MakeDatabases(QStringLiteral("('', 'a', 230, '4009')"), QStringLiteral("(NULL, 'b', 203, '1028')"));
    RunMergeAndSplit(app.suite(), joint);
    ASSERT_EQ(app.messages().ShownMessages().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("No publisher bus component")));
    EXPECT_TRUE(ComponentFolders().isEmpty());
}

// A failure is told where it occurs and stops only the steps that need what it left out: a
// platform that is not a number stops the Java server and the dispatchers after the consoles;
// no server console at all is told for both sections (critical), the rest still runs and the
// dispatcher step reports its unreachable database; a server name that cannot be read keeps
// the Java server from starting with an empty one.
TEST_F(LaunchTest, FailuresStopWhereTheyOccur)
{
    ASSERT_TRUE(PostgresFixture::EnsureServer()); // private ODBC files only
    struct Case { const char *rstPlatform; bool console; qsizetype told; bool javaServer; const char *says; };
    const Case cases[] = {
        {"x", true, 1, false, "Errors while starting Merge and Split configuration"},
        {"1", false, 3, true, "Could Not Execute Dispatcher component"},
        {"2", false, 4, false, "\"NoSuchDsn\" of section [RST]"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rstPlatform);
        stubs.Clear();
        if (!c.console)
            QFile::remove(app.path() + QStringLiteral("/TessHost.exe"));
        WriteJoint(QLatin1String(c.rstPlatform));
        app.messages().ClearShown();
        RunMergeAndSplit(app.suite(), joint);
        EXPECT_EQ(stubs.WaitForRuns(QStringLiteral("TessHost.exe"), 2, c.console ? 10000 : 0).size(), c.console ? 2 : 0);
        EXPECT_EQ(stubs.WaitForRuns(QStringLiteral("RunServer.bat"), 1, c.javaServer ? 10000 : 300).size(), c.javaServer ? 1 : 0);
        const QString told = app.shownTexts().join(u'\n');
        ASSERT_EQ(app.shownTexts().size(), c.told) << told.toStdString();
        EXPECT_TRUE(told.contains(QLatin1String(c.says))) << told.toStdString();
        EXPECT_TRUE(c.console || app.messages().ShownMessages()[1].icon == MsgIcon::Critical);
    }
}

} // namespace

// A dispatcher runs only from templates no other account could have changed, and is copied
// only into a folder of OAComponents, never through a link: each case is refused, naming the
// file and why, and nothing starts or lands outside.
TEST_F(LaunchTest, ADispatcherRunsOnlyFromTrustedTemplatesIntoItsOwnFolder)
{
    QTemporaryDir outside;
    const QByteArray components = QFile::encodeName(Component(QString()));
    const QByteArray start = QFile::encodeName(Component("startEventDispatcher.bat"));
    struct Case { const char *what; std::function<void()> spoil; const char *says; };
    const bool root = ::geteuid() == 0;
    const Case cases[] = {
        {"a template its group may write", [&] { ::chmod(start, 0770); }, "its group or others may write to it"},
        {"a template of another account", [&] { EXPECT_EQ(::chown(start, root ? 65534 : ::getuid(), gid_t(-1)), 0); },
         root ? "belongs to another account" : ""},
        {"a folder others may replace it in", [&] { ::chmod(components, 0777); }, "has no sticky bit"},
        {"the same folder with the sticky bit", [&] { ::chmod(components, 01777); }, ""},
        {"a template that is a link", [&] {
             ::rename(start, QFile::encodeName(outside.filePath("s.bat")));
             EXPECT_EQ(::symlink(QFile::encodeName(outside.filePath("s.bat")), start), 0);
         }, "is a symbolic link"},
        {"a dispatcher folder that is a link", [&] {
             EXPECT_EQ(::symlink(QFile::encodeName(outside.path()), components + "/PUB"), 0);
         }, "is a symbolic link, not a folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ::chmod(start, 0700);
        ::chmod(components, 0755);
        QDir(Component("PUB")).removeRecursively();
        QFile::remove(Component("PUB"));
        c.spoil();
        app.messages().ClearShown();
        const Result<void> started = PrepareAndStartDispatcher(app.suite(), joint, {QStringLiteral("PUB"), QStringLiteral("C")});
        EXPECT_EQ(started.ok(), !*c.says) << (started ? "" : started.error().description.toStdString());
        if (*c.says) {
            EXPECT_TRUE(started.error().description.contains(QLatin1String(c.says))) << started.error().description.toStdString();
            EXPECT_FALSE(QFile::exists(Component("PUB/startEventDispatcher.bat")));
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(Component("PUB/started.txt")); }, 5000));
        }
        EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files).filter(QStringLiteral("event")), QStringList());
        QFile::remove(start);
    }
}
