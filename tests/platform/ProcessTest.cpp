#include "platform/Process.h"
#include "support/QtPrinters.h"
#include "support/StubPrograms.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Process, SplitCommandLineFollowsTheWindowsRulesAndUndoesQuoteArgument)
{
    const std::pair<QString, QStringList> cases[] = {
        // Blanks and tabs separate: an unquoted path with blanks falls apart.
        {"prog\tmy app \t arg2\t", {"prog", "my", "app", "arg2"}},
        // The program name: quoted up to the next quote, no backslash rules.
        {"\"C:\\Program Files\\x.exe\" a", {"C:\\Program Files\\x.exe", "a"}},
        {"\"my prog\"arg", {"my prog", "arg"}},
        {"a\\\"b c", {"a\\\"b", "c"}},
        {"\"unclosed name", {"unclosed name"}},
        // Quotes toggle; "" inside quotes is a quote.
        {"p \"a b\" c\"d e\"f", {"p", "a b", "cd ef"}},
        {"p \"\" x", {"p", "", "x"}},
        {"p \"say \"\"hi\"\"\"", {"p", "say \"hi\""}},
        // Backslashes count only before a quote.
        {"p a\\\\b\\c", {"p", "a\\\\b\\c"}},
        {"p a\\\"b", {"p", "a\"b"}},
        {"p a\\\\\"b c\"", {"p", "a\\b c"}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},
        {"", {""}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(Process::SplitCommandLine(line), expected) << line.toStdString();

    // A quoted value is undone exactly by the splitting: whatever a value holds, the child
    // receives exactly it. A value with nothing to protect stands as it is, unless it is to
    // be quoted always.
    for (const QString plain : {"4009;db;u;p;0", "a\\b\\"})
        EXPECT_EQ(Process::QuoteArgument(plain), plain);
    for (const QString value : {"4009;db;u;p;0", "a\\b\\", "/my app/a b.tsy", "", "tab\there", "p\"w",
                                "c:\\dir with blank\\", "x\\\"y z", "ends in quote\""}) {
        const QString quoted = Process::QuoteArgument(value);
        EXPECT_EQ(Process::SplitCommandLine("prog " + quoted), QStringList({"prog", value})) << quoted.toStdString();
    }
    EXPECT_EQ(Process::QuoteArgument("1028;ORCL;sa;pw;2", Process::Quote::Always), "\"1028;ORCL;sa;pw;2\"");
}

// Programs are found in the application directory, then in PATH, and run there with the
// split arguments; a program that is not there is named.
// (FaultInjection starts a file that is there but cannot run.)
TEST(Process, FindProgramAndStart)
{
    QTemporaryDir appDir, pathDir;
    StubPrograms stubs(appDir.path()), onPath(pathDir.path());
    onPath.Add("only-on-path");
    onPath.Add("TessHost.exe");
    const QString inApp = stubs.Add("TessHost.exe");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(pathDir.path()) + ':' + oldPath);
    EXPECT_EQ(Process::FindProgram(appDir.path(), "TessHost.exe"), inApp);
    EXPECT_EQ(Process::FindProgram(appDir.path(), "only-on-path"), pathDir.filePath("only-on-path"));
    EXPECT_EQ(Process::FindProgram(appDir.path(), "TessHost"), QString()) << "the name as given";
    EXPECT_EQ(Process::FindProgram(QString(), pathDir.filePath("TessHost.exe")), pathDir.filePath("TessHost.exe"));
    qputenv("PATH", oldPath);

    ASSERT_TRUE(Process::Start(appDir.path(), "TessHost.exe  /F \"a b\" c"));
    const auto runs = stubs.WaitForRuns("TessHost.exe");
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, QStringList({"/F", "a b", "c"}));
    EXPECT_EQ(runs[0].workingDirectory, appDir.path());
    const Result<void> started = Process::Start(appDir.path(), "NoSuchProgram.exe /x");
    ASSERT_FALSE(started);
    EXPECT_TRUE(started.error().description.contains("NoSuchProgram.exe")) << started.error().description.toStdString();
}

// A program started with a log: how it ended is appended there, with the local time, whoever
// its parent is now.
TEST(Process, TheLogSaysHowAStartedProgramEnded)
{
    QTemporaryDir appDir;
    const std::pair<const char *, QByteArray> cases[] = {
        {"exit 3", "exit status 3"},
        {"kill -9 $$", "signal 9"},
        {"kill -TERM $$", "signal 15"},
    };
    for (const auto &[script, how] : cases) {
        SCOPED_TRACE(script);
        QFile program(appDir.filePath("ends.sh"));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly | QIODevice::Truncate));
        program.write(QByteArray("#!/bin/sh\n") + script + "\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString log = appDir.filePath("ends.log");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const Result<Process::Started> started = Process::Spawn(appDir.path(), "ends.sh", log, {}, "console FMK");
        ASSERT_TRUE(started);
        const QByteArray mark = "console FMK" + Process::EndedMark(started->pid) + how + '\n';
        QByteArray text;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            QFile f(log);
            text = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            return text.endsWith(mark);
        }, 5000)) << text.toStdString();
        const QDateTime at = QDateTime::fromString(QString::fromUtf8(text.mid(text.lastIndexOf("==== ") + 5, 19)), Qt::ISODate);
        EXPECT_TRUE(at >= before && at <= QDateTime::currentDateTime()) << text.toStdString();
    }
}

int g_waiting = 0;

TEST(Process, BusyWaitShowsTheWaitHooksWhileItLasts)
{
    Process::SetWaitHooks([] { ++g_waiting; }, [] { --g_waiting; });
    auto busy = std::make_unique<Process::BusyWait>();
    EXPECT_EQ(g_waiting, 1);
    busy.reset();
    EXPECT_EQ(g_waiting, 0);
    Process::SetWaitHooks(nullptr, nullptr);
}

} // namespace
