#include "suite/BusComponent.h"

#include "platform/FileIo.h"
#include "platform/FileLock.h"

#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The directory tool's logs decide the outcome; the tool gets one argument with only host and
// port trimmed, runs in a private folder of its own (the user's run-time folder, else the log
// folder) that is gone afterwards, and finds its classes in the application directory first.
TEST(BusComponent, LogsInTheToolsOwnFolderDecideTheOutcome)
{
    // Logs: nullptr when the tool does not write it. No tool: neither in the application
    // directory nor on the search path. runtimeDir: XDG_RUNTIME_DIR is set; classPath: the
    // CLASSPATH the program was given.
    struct Case { const char *name, *failureLog, *successLog; bool tool, result; QString message; bool runtimeDir; const char *classPath; };
    const QString failed = QStringLiteral("Creation of Bus Component ' Pub ' Encountered Errors!\r\n");
    const QByteArray path = qgetenv("PATH");
    const Case cases[] = {
        {"failure over several lines", "line one\r\nline two\r\n", nullptr, true, false, failed + "line one\r\nline two\r\n", true, nullptr},
        {"success", nullptr, "ok", true, true, QStringLiteral("Bus Component  Pub  created successfully!"), false, "/adm/a.jar:/adm"},
        {"both: only the failure counts", "refused", "ok", true, false, failed + "refused", true, "/adm"},
        {"empty failure log", "", nullptr, true, false, failed, false, nullptr},
        {"no log at all", nullptr, nullptr, true, false,
         QStringLiteral("Bus Component ' Pub ' was not created.\r\nThe directory tool ended without leaving"), false, nullptr},
        {"no tool", nullptr, nullptr, false, false, QStringLiteral("\"java\" was not found"), true, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestAppDir app;
        QTemporaryDir runtime;
        StubPrograms stubs(app.path());
        // The tool writes its logs where it runs, read-only or not, and tells what it was given.
        QString shell = QStringLiteral("printf '%s\\n' \"$CLASSPATH\" \"$(stat -c %a .)\" > '%1/tool.env'\n").arg(app.path());
        if (c.failureLog)
            shell += QStringLiteral("printf '%1' > faliure.log; chmod a-w faliure.log\n")
                         .arg(QString::fromLatin1(c.failureLog).replace("\r\n", "\\r\\n"));
        if (c.successLog)
            shell += QStringLiteral("printf '%1' > success.log\n").arg(QLatin1String(c.successLog));
        if (c.tool)
            stubs.Add(QStringLiteral("java"), shell);
        // A log in the application directory is no outcome of this run.
        app.writeFile(QStringLiteral("success.log"), "old");
        qputenv("PATH", c.tool ? path : QByteArray("/nonexistent"));
        c.runtimeDir ? qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8()) : qunsetenv("XDG_RUNTIME_DIR");
        c.classPath ? qputenv("CLASSPATH", c.classPath) : qunsetenv("CLASSPATH");
        EXPECT_EQ(CreateBusComponent(app.session().Messenger(), app.path(), app.path() + QStringLiteral("/log"),
                                     QStringLiteral("  mnshost "), QStringLiteral(" 4711  "),
                                     QStringLiteral(" admin "), QStringLiteral("p w"), QStringLiteral(" Pub ")),
                  c.result);
        qputenv("PATH", path);
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("CLASSPATH");
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].contains(c.message)) << app.shownTexts()[0].toStdString();
        const QString parent = c.runtimeDir ? runtime.path() : app.path() + QStringLiteral("/log");
        EXPECT_TRUE(QDir(parent).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty()); // the folder is gone
        if (!c.tool)
            continue;
        const auto runs = stubs.Runs(QStringLiteral("java")); // the run is over when the call returns
        ASSERT_EQ(runs.size(), 1);
        EXPECT_EQ(runs[0].arguments, QStringList({"MyLDAP", " admin ;p w;3; Pub ;socket://mnshost:4711;0"}));
        EXPECT_EQ(QFileInfo(runs[0].workingDirectory).dir().canonicalPath(), QDir(parent).canonicalPath());
        const QString classPath = c.classPath ? app.path() + u':' + QLatin1String(c.classPath) : app.path();
        EXPECT_EQ(FileIo::SplitLines(FileIo::ReadAnsiText(app.path() + QStringLiteral("/tool.env")).value()),
                  QStringList({classPath, "700"}));
    }
}

} // namespace

// The working folders of runs that ended without removing their own go at the next start, with
// what the tool left in them; a folder a run holds, and one of no run, stay.
TEST(BusComponent, FoldersOfEarlierRunsAreRemovedUnlessARunHoldsThem)
{
    TestAppDir app;
    qunsetenv("XDG_RUNTIME_DIR");
    for (const char *name : {"directory-tool-Ab12Cd/success.log", "directory-tool-Held01/x", "mine/x"})
        app.writeFile(QStringLiteral("log/") + name, "left");
    const auto held = FileLock::LockFolder(app.path() + "/log/directory-tool-Held01");
    ASSERT_TRUE(held);
    EXPECT_TRUE(RemoveEarlierToolFolders(app.path() + "/log").isEmpty());
    EXPECT_EQ(QDir(app.path() + "/log").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"directory-tool-Held01", "mine"}));
}
