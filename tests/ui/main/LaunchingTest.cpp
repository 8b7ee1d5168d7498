#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"
#include "ui/main/Launching.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString Console = QStringLiteral("TessHost.exe");
const QString JavaServer = QStringLiteral("RunServer.bat");

TEST(LaunchingCommandLines, AreBuiltPieceByPiece)
{
    EXPECT_EQ(ServerConsoleCommandLine(QStringLiteral("/app/lib/x.tsy")), QStringLiteral("TessHost.exe  /F /app/lib/x.tsy"));
    EXPECT_EQ(ServerConsoleCommandLine(QStringLiteral("/my app/lib/a b.tsy")),
              QStringLiteral("TessHost.exe  /F /my app/lib/a b.tsy"));

    ConfigEntry entry;
    entry.ProductCode = 1028;
    entry.Dsn = QStringLiteral("ignored: the server is passed");
    entry.User = QStringLiteral("sa");
    entry.Password = QStringLiteral("p\"w;x");
    entry.Platform = 2;
    EXPECT_EQ(JavaServerArgument(entry, QStringLiteral("ORCL")), QStringLiteral("\"1028;ORCL;sa;p\"w;x;2\" "));
    EXPECT_EQ(JavaServerCommandLine(QString()), QStringLiteral("RunServer.bat "));
}

class LaunchingTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        current = PostgresFixture::CreateDatabase(QStringLiteral("launch"), &setupError);
        if (current)
            outdated = PostgresFixture::CreateDatabase(QStringLiteral("launch_old"), &setupError);
        if (!outdated)
            return;
        // Two data sources on the current database stand for two configurations' databases;
        // the server name is also a data source, as platform 2 configurations expect.
        if (!current->Exec(QStringLiteral("INSERT INTO tsparameters VALUES (6)"), &setupError)
            || !outdated->Exec(QStringLiteral("INSERT INTO tsparameters VALUES (5)"), &setupError)
            || !current->AddDsn(QStringLiteral("FMKDB"), &setupError) || !current->AddDsn(QStringLiteral("RSTDB"), &setupError)
            || !current->AddDsn(current->serverName(), &setupError))
            current.reset();
    }
    static void TearDownTestSuite()
    {
        current.reset();
        outdated.reset();
    }
    void SetUp() override { ASSERT_TRUE(current && outdated) << setupError.toStdString(); }

    ConfigEntry Entry(qint16 product, const QString &dsn, qint16 platform = 0) const
    {
        ConfigEntry e;
        e.FileName = dsn + QStringLiteral(".tsy");
        e.ProductCode = product;
        e.Dsn = dsn;
        e.User = current->user();
        e.Password = current->password();
        e.Platform = platform;
        return e;
    }
    // The arguments the Java server was started with, after a short wait; none when it was not started.
    QList<StubPrograms::Run> JavaRuns(int timeoutMs = 10000) { return stubs.WaitForRuns(JavaServer, 1, timeoutMs); }
    QString Login() const { return current->user() + u';' + current->password(); }

    TestAppDir app;
    StubPrograms stubs{app.path()};
    static inline std::unique_ptr<PgDatabase> current, outdated;
    static inline QString setupError;
};

TEST_F(LaunchingTest, ServerConsoleGetsThePathUnquotedInTheCurrentDirectory)
{
    stubs.Add(Console);
    const QString path = app.path() + QStringLiteral("/my lib/a b.tsy");
    RunServerConsole(app.session(), path, false);
    const auto runs = stubs.WaitForRuns(Console);
    ASSERT_EQ(runs.size(), 1);
    // The blanks split the path, as the console has always received it.
    QStringList expected{QStringLiteral("/F")};
    expected << path.split(u' ');
    EXPECT_EQ(runs[0].arguments, expected);
    EXPECT_EQ(runs[0].workingDirectory, QDir::currentPath());
    EXPECT_TRUE(app.shownTexts().isEmpty());
    EXPECT_TRUE(stubs.Runs(JavaServer).isEmpty()) << "the console command does not start the Java server";
}

TEST_F(LaunchingTest, AConsoleThatCannotBeStartedIsReported)
{
    RunServerConsole(app.session(), app.lib(QStringLiteral("x.tsy")), false);
    ASSERT_EQ(app.messages().ShownMessages().size(), 1);
    const auto &shown = app.messages().ShownMessages().first();
    const QString prefix = app.session().GetText(QStringLiteral("SLBL0126")).section(QStringLiteral("%1"), 0, 0);
    EXPECT_TRUE(shown.text.startsWith(prefix + QStringLiteral("\r\n"))) << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(Console)) << "the reason names the program";
    EXPECT_FALSE(shown.text.contains(QLatin1String("%2")));
    EXPECT_EQ(shown.icon, MsgIcon::Critical);
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
}

TEST_F(LaunchingTest, AJointSelectionIsHandedToTheMergeAndSplitLaunch)
{
    stubs.Add(Console);
    const QString joint = app.lib(QStringLiteral("Default_M&S.tsy"));
    app.writeConfig(QStringLiteral("Default_M&S.tsy"), {QStringLiteral("[FMK]"), QStringLiteral("[RST]")});
    RunServerConsole(app.session(), joint, true);
    // The merge-and-split launch starts one console per section; this command's own line never runs.
    const auto runs = stubs.WaitForRuns(Console, 2);
    EXPECT_EQ(runs.size(), 2);
    for (const auto &run : runs)
        EXPECT_NE(run.arguments, (QStringList{QStringLiteral("/F"), joint}));
}

TEST_F(LaunchingTest, JavaServerArgumentsStandInReverseListOrder)
{
    stubs.Add(JavaServer);
    // A at list position 1 and B at position 3 are the selected ones.
    RunJavaServer(app.session(), {Entry(4009, QStringLiteral("FMKDB")), Entry(1028, QStringLiteral("RSTDB"))});
    const auto runs = JavaRuns();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, (QStringList{QStringLiteral("1028;RSTDB;") + Login() + QStringLiteral(";0"),
                                              QStringLiteral("4009;FMKDB;") + Login() + QStringLiteral(";0")}));
    EXPECT_TRUE(app.shownTexts().isEmpty()) << app.shownTexts().join(u'\n').toStdString();
}

TEST_F(LaunchingTest, AWebtrellConfigurationContributesNothing)
{
    stubs.Add(JavaServer);
    // Its data source does not exist: it is not even checked.
    RunJavaServer(app.session(), {Entry(4010, QStringLiteral("NoSuchDsn")), Entry(4009, QStringLiteral("FMKDB"))});
    const auto runs = JavaRuns();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, QStringList{QStringLiteral("4009;FMKDB;") + Login() + QStringLiteral(";0")});
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(LaunchingTest, OneOutdatedDatabaseStopsTheWholeStartSilently)
{
    stubs.Add(JavaServer);
    ASSERT_TRUE(outdated->AddDsn(QStringLiteral("OLDDB")));
    ConfigEntry old = Entry(1028, QStringLiteral("OLDDB"));
    RunJavaServer(app.session(), {Entry(4009, QStringLiteral("FMKDB")), old});
    EXPECT_TRUE(JavaRuns(1000).isEmpty());
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(LaunchingTest, PlatformTwoUsesTheServerNameAsDataSource)
{
    stubs.Add(JavaServer);
    RunJavaServer(app.session(), {Entry(1028, QStringLiteral("RSTDB"), 2)});
    const auto runs = JavaRuns();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments,
              QStringList{QStringLiteral("1028;") + current->serverName() + u';' + Login() + QStringLiteral(";2")});
}

TEST_F(LaunchingTest, PlatformTwoWithoutServerNameReportsBothFailuresAndStartsNothing)
{
    stubs.Add(JavaServer);
    RunJavaServer(app.session(), {Entry(1028, QStringLiteral("NoSuchDsn"), 2)});
    EXPECT_TRUE(JavaRuns(1000).isEmpty());
    // getTNSName's message, then the check's own for the empty name it was given.
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
    for (const QString &text : shown)
        EXPECT_TRUE(text.contains(QLatin1String("Data source name not found"))) << text.toStdString();
}

TEST_F(LaunchingTest, AJavaServerThatCannotBeStartedIsReportedWithTheReason)
{
    RunJavaServer(app.session(), {Entry(4009, QStringLiteral("FMKDB"))});
    ASSERT_EQ(app.messages().ShownMessages().size(), 1);
    const auto &shown = app.messages().ShownMessages().first();
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Java Server Could Not be started...\r\nReason :")))
        << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(JavaServer));
    EXPECT_EQ(shown.icon, MsgIcon::None);
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
}

TEST_F(LaunchingTest, NoSelectionStartsTheJavaServerWithoutArguments)
{
    stubs.Add(JavaServer);
    RunJavaServer(app.session(), {});
    const auto runs = JavaRuns();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].arguments.isEmpty());
}

} // namespace
