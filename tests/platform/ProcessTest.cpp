#include "platform/Process.h"
#include "support/QtPrinters.h"
#include "support/StubPrograms.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(SplitCommandLine, FollowsTheWindowsRules)
{
    struct Case
    {
        QString line;
        QStringList expected;
    };
    const Case cases[] = {
        {QStringLiteral("TessHost.exe  /F /app/lib/x.tsy"),
         {QStringLiteral("TessHost.exe"), QStringLiteral("/F"), QStringLiteral("/app/lib/x.tsy")}},
        // An unquoted path with blanks falls apart into several arguments.
        {QStringLiteral("TessHost.exe  /F /my app/lib/a b.tsy"),
         {QStringLiteral("TessHost.exe"), QStringLiteral("/F"), QStringLiteral("/my"), QStringLiteral("app/lib/a"),
          QStringLiteral("b.tsy")}},
        {QStringLiteral("prog\targ1 \t arg2\t"), {QStringLiteral("prog"), QStringLiteral("arg1"), QStringLiteral("arg2")}},
        {QStringLiteral("RunServer.bat \"4009;db;u;p;0\" \"1028;db2;u;p;2\" "),
         {QStringLiteral("RunServer.bat"), QStringLiteral("4009;db;u;p;0"), QStringLiteral("1028;db2;u;p;2")}},
        // The program name: quoted up to the next quote, no backslash rules.
        {QStringLiteral("\"C:\\Program Files\\x.exe\" a"), {QStringLiteral("C:\\Program Files\\x.exe"), QStringLiteral("a")}},
        {QStringLiteral("\"my prog\"arg"), {QStringLiteral("my prog"), QStringLiteral("arg")}},
        {QStringLiteral("a\\\"b c"), {QStringLiteral("a\\\"b"), QStringLiteral("c")}},
        {QStringLiteral("\"unclosed name"), {QStringLiteral("unclosed name")}},
        // Quotes toggle; "" inside quotes is a quote.
        {QStringLiteral("p \"a b\" c\"d e\"f"), {QStringLiteral("p"), QStringLiteral("a b"), QStringLiteral("cd ef")}},
        {QStringLiteral("p \"\" x"), {QStringLiteral("p"), QString(), QStringLiteral("x")}},
        {QStringLiteral("p \"say \"\"hi\"\"\""), {QStringLiteral("p"), QStringLiteral("say \"hi\"")}},
        {QStringLiteral("p \"open to the end"), {QStringLiteral("p"), QStringLiteral("open to the end")}},
        // Backslashes count only before a quote.
        {QStringLiteral("p a\\\\b\\c"), {QStringLiteral("p"), QStringLiteral("a\\\\b\\c")}},
        {QStringLiteral("p a\\\"b"), {QStringLiteral("p"), QStringLiteral("a\"b")}},
        {QStringLiteral("p a\\\\\"b c\""), {QStringLiteral("p"), QStringLiteral("a\\b c")}},
        {QStringLiteral("p a\\\\\\\"b"), {QStringLiteral("p"), QStringLiteral("a\\\"b")}},
        {QStringLiteral("p \"c:\\dir\\\\\" next"), {QStringLiteral("p"), QStringLiteral("c:\\dir\\"), QStringLiteral("next")}},
        {QString(), {QString()}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Process::SplitCommandLine(c.line), c.expected) << c.line.toStdString();
}

class ProcessTest : public ::testing::Test
{
protected:
    QTemporaryDir appDir;
    StubPrograms stubs{appDir.path()};
};

TEST_F(ProcessTest, ProgramsAreFoundInTheApplicationDirectoryThenInPath)
{
    QTemporaryDir pathDir;
    StubPrograms onPath(pathDir.path());
    onPath.Add(QStringLiteral("only-on-path"));
    onPath.Add(QStringLiteral("TessHost.exe"));
    const QString inApp = stubs.Add(QStringLiteral("TessHost.exe"));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(pathDir.path()) + ':' + oldPath);

    EXPECT_EQ(Process::FindProgram(appDir.path(), QStringLiteral("TessHost.exe")), inApp);
    EXPECT_EQ(Process::FindProgram(appDir.path(), QStringLiteral("only-on-path")),
              pathDir.path() + QStringLiteral("/only-on-path"));
    EXPECT_EQ(Process::FindProgram(appDir.path(), QStringLiteral("TessHost")), QString()) << "the name as given";
    EXPECT_EQ(Process::FindProgram(appDir.path(), QStringLiteral("no-such-program")), QString());
    EXPECT_EQ(Process::FindProgram(QString(), pathDir.path() + QStringLiteral("/TessHost.exe")),
              pathDir.path() + QStringLiteral("/TessHost.exe"));
    qputenv("PATH", oldPath);
}

TEST_F(ProcessTest, StartPassesTheSplitArgumentsAndTheCurrentDirectory)
{
    stubs.Add(QStringLiteral("TessHost.exe"));
    Vb::Error error;
    ASSERT_TRUE(Process::Start(appDir.path(), QStringLiteral("TessHost.exe  /F \"a b\" c"),
                               Process::WindowStyle::NormalFocus, &error))
        << error.description.toStdString();
    const auto runs = stubs.WaitForRuns(QStringLiteral("TessHost.exe"));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, (QStringList{QStringLiteral("/F"), QStringLiteral("a b"), QStringLiteral("c")}));
    EXPECT_EQ(runs[0].workingDirectory, QDir::currentPath());
}

TEST_F(ProcessTest, AProgramThatIsNotThereIsReportedWithItsName)
{
    Vb::Error error;
    EXPECT_FALSE(Process::Start(appDir.path(), QStringLiteral("NoSuchProgram.exe /x"),
                                Process::WindowStyle::MinimizedNoFocus, &error));
    EXPECT_TRUE(error.isError());
    EXPECT_TRUE(error.description.contains(QLatin1String("NoSuchProgram.exe"))) << error.description.toStdString();
}

TEST_F(ProcessTest, AFileThatCannotRunIsReported)
{
    QFile plain(appDir.path() + QStringLiteral("/RunServer.bat"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("not a program\n");
    plain.close();
    Vb::Error error;
    EXPECT_FALSE(Process::Start(appDir.path(), QStringLiteral("RunServer.bat "), Process::WindowStyle::Hide, &error));
    EXPECT_TRUE(error.isError());
    EXPECT_FALSE(error.description.isEmpty());
}

TEST_F(ProcessTest, RunAndWaitTrimsTheLineAndWaitsForTheEnd)
{
    // The run is recorded only after the pause: a record right after the call shows the wait.
    stubs.Add(QStringLiteral("java"), QStringLiteral("sleep 0.5"));
    QString line = QStringLiteral("  java MyLDAP \"a;b\"  ");
    Process::RunAndWait(appDir.path(), line, true, 0);
    EXPECT_EQ(line, QStringLiteral("java MyLDAP \"a;b\""));
    const auto runs = stubs.Runs(QStringLiteral("java"));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, (QStringList{QStringLiteral("MyLDAP"), QStringLiteral("a;b")}));
}

TEST_F(ProcessTest, RunAndWaitShowsABusyCursorWhileTheWindowsKeepWorking)
{
    stubs.Add(QStringLiteral("tool"), QStringLiteral("sleep 0.5"));
    bool sawBusy = false;
    // A timer still fires during the wait: the event loop runs, so windows repaint.
    QTimer::singleShot(100, [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        sawBusy = cursor && cursor->shape() == Qt::WaitCursor;
    });
    QString line = QStringLiteral("tool");
    Process::RunAndWait(appDir.path(), line, true, 0);
    EXPECT_TRUE(sawBusy);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ProcessTest, RunAndWaitLeavesAProgramRunningAfterItsTimeOut)
{
    stubs.Add(QStringLiteral("slow"), QStringLiteral("sleep 2"));
    QString line = QStringLiteral("slow x");
    Process::RunAndWait(appDir.path(), line, false, 50);
    EXPECT_TRUE(stubs.Runs(QStringLiteral("slow")).isEmpty()) << "returned at the time-out";
    EXPECT_EQ(stubs.WaitForRuns(QStringLiteral("slow"), 1, 20000).size(), 1) << "and the program was not stopped";
}

TEST_F(ProcessTest, RunAndWaitReturnsAtOnceWhenNothingCanBeStarted)
{
    QString line = QStringLiteral(" NoSuchProgram ");
    Process::RunAndWait(appDir.path(), line, true, 0);
    EXPECT_EQ(line, QStringLiteral("NoSuchProgram"));
}

} // namespace
