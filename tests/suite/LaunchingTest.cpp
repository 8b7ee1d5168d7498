#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"
#include "suite/MergeSplitLaunch.h"
#include "platform/Process.h"
#include "suite/Launching.h"
#include "suite/ServerCommands.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString Console = QStringLiteral("TessHost.exe");
const QString JavaServer = QStringLiteral("RunServer.bat");

// Values with blanks, quotes or semicolons reach the Java server as one argument each, exactly.
TEST(LaunchingCommandLines, KeepEachValueWhole)
{
    ConfigEntry entry{.FileName = {}, .ProductCode = 1028, .Dsn = "ignored: the server is passed",
                      .User = "sa", .Password = "pw;x", .Platform = 2, .DbMachineName = {}};
    const QString first = JavaServerArgument(entry, "ORCL");
    entry.Password = "p\"w two\\";
    EXPECT_EQ(Process::SplitCommandLine(JavaServerCommandLine(JavaServerArgument(entry, "ORCL") + first)),
              QStringList({"RunServer.bat", "1028;ORCL;sa;p\"w two\\;2", "1028;ORCL;sa;pw;x;2"}));
}

class LaunchingTest : public ::testing::Test
{
protected:
    // Data sources FMKDB and RSTDB and the server name reach a current database.
    static void SetUpTestSuite()
    {
        current = PostgresFixture::Ready("launch", "INSERT INTO tsparameters VALUES (6)");
        if (current && !(current->AddDsn("FMKDB") && current->AddDsn("RSTDB") && current->AddDsn(current->serverName())))
            current = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(current); }

    static ConfigEntry Entry(qint16 product, const QString &dsn, qint16 platform = 0) { return EntryOn(current, product, dsn, platform); }
    // The expected argument of a configuration on the current database.
    static QString Argument(qint16 product, const QString &server, int platform = 0)
    {
        return QStringLiteral("%1;%2;%3;%4;%5").arg(product).arg(server, current->user(), current->password()).arg(platform);
    }

    TestAppDir app;
    StubPrograms stubs{app.path()};
    static inline PgDatabase *current = nullptr;
};

// Paths with blanks and quotes reach the console whole, a joint file's path with its "/C" and the section.
TEST_F(LaunchingTest, ServerConsoleGetsThePathWholeInTheApplicationDirectory)
{
    stubs.Add(Console);
    const QString path = app.path() + "/my lib/say \"hi\".tsy";
    EXPECT_TRUE(RunServerConsole(app.suite(), path, false));
    EXPECT_TRUE(StartServerConsole(app.suite(), path, "FMK"));
    const auto runs = stubs.WaitForRuns(Console, 2);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].arguments, QStringList({"/F", path}));
    EXPECT_EQ(runs[1].arguments, QStringList({"/F", path + "/C", "FMK"}));
    EXPECT_EQ(runs[0].workingDirectory, app.path());
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(LaunchingTest, JavaServerGetsTheCheckedConfigurationsInReverseListOrder)
{
    stubs.Add(JavaServer);
    struct Case { const char *what; QList<ConfigEntry> selected; QStringList arguments; };
    const Case cases[] = {
        {"two", {Entry(4009, "FMKDB"), Entry(1028, "RSTDB")}, {Argument(1028, "RSTDB"), Argument(4009, "FMKDB")}},
        // Its data source does not exist: it is not even checked.
        {"Webtrell", {Entry(4010, "NoSuchDsn"), Entry(4009, "FMKDB")}, {Argument(4009, "FMKDB")}},
        {"platform 2: the server name is the data source", {Entry(1028, "RSTDB", 2)},
         {Argument(1028, current->serverName(), 2)}},
        {"none", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        stubs.Clear();
        RunJavaServer(app.suite(), c.selected);
        const auto runs = stubs.WaitForRuns(JavaServer);
        ASSERT_EQ(runs.size(), 1);
        EXPECT_EQ(runs[0].arguments, c.arguments);
        EXPECT_TRUE(app.shownTexts().isEmpty()) << app.shownTexts().join(u'\n').toStdString();
    }
}

// A Java server that cannot be started is told with its name. A failed check stops the whole
// start, the checks that passed before it included: for a platform 2 data source that does not
// exist, getTNSName reports it, then the check reports the empty name it was given. (An
// outdated database stops it silently: see the check's tests.)
TEST_F(LaunchingTest, OneFailedCheckStopsTheWholeStart)
{
    RunJavaServer(app.suite(), {Entry(4009, "FMKDB")});
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(JavaServer)) << app.shownTexts()[0].toStdString();

    stubs.Add(JavaServer);
    app.messages().ClearShown();
    RunJavaServer(app.suite(), {Entry(4009, "FMKDB"), Entry(1028, "NoSuchDsn", 2)});
    EXPECT_TRUE(stubs.WaitForRuns(JavaServer, 1, 1000).isEmpty());
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    for (const QString &text : shown)
        EXPECT_TRUE(text.contains("Data source name not found")) << text.toStdString();
}

} // namespace
