#include "suite/BusComponent.h"

#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The directory tool's logs decide the outcome and are deleted; the tool gets one argument
// with only host and port trimmed, in the application directory wherever the program was
// started from.
TEST(BusComponent, LogsDecideTheOutcomeAndAreDeleted)
{
    // Logs: nullptr when the tool does not write it. No tool: neither in the application
    // directory nor on the search path.
    struct Case { const char *name, *failureLog, *successLog; bool tool, result; QString message; bool successLogStays; };
    const QString failed = QStringLiteral("Creation of Bus Component ' Pub ' Encountered Errors!\r\n");
    const QByteArray path = qgetenv("PATH");
    const Case cases[] = {
        {"failure over several lines", "line one\r\nline two\r\n", nullptr, true, false, failed + "line one\r\nline two\r\n", false},
        {"success", nullptr, "ok", true, true, QStringLiteral("Bus Component  Pub  created successfully!"), false},
        {"both: only the failure counts", "refused", "ok", true, false, failed + "refused", true},
        {"empty failure log", "", nullptr, true, false, failed, false},
        {"no log at all", nullptr, nullptr, true, false,
         QStringLiteral("Bus Component ' Pub ' was not created.\r\nThe directory tool ended without leaving"), false},
        {"no tool", nullptr, nullptr, false, false, QStringLiteral("\"java\" was not found"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestAppDir app;
        StubPrograms stubs(app.path());
        // The tool writes its logs while it runs; they must be there when the wait ends.
        QString shell;
        if (c.failureLog)
            shell += QStringLiteral("printf '%1' > '%2/faliure.log'; chmod a-w '%2/faliure.log'\n")
                         .arg(QString::fromLatin1(c.failureLog).replace("\r\n", "\\r\\n"), app.path());
        if (c.successLog)
            shell += QStringLiteral("printf '%1' > '%2/success.log'\n").arg(QLatin1String(c.successLog), app.path());
        if (c.tool)
            stubs.Add(QStringLiteral("java"), shell);
        // Logs of an earlier run are gone before the tool starts.
        app.writeFile(QStringLiteral("success.log"), "old");
        app.writeFile(QStringLiteral("faliure.log"), "old");
        qputenv("PATH", c.tool ? path : QByteArray("/nonexistent"));
        EXPECT_EQ(CreateBusComponent(app.session(), QStringLiteral("  mnshost "), QStringLiteral(" 4711  "),
                                     QStringLiteral(" admin "), QStringLiteral("p w"), QStringLiteral(" Pub ")),
                  c.result);
        qputenv("PATH", path);
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].contains(c.message)) << app.shownTexts()[0].toStdString();
        EXPECT_FALSE(QFile::exists(app.path() + QStringLiteral("/faliure.log"))); // read-only or not
        EXPECT_EQ(QFile::exists(app.path() + QStringLiteral("/success.log")), c.successLogStays);
        if (!c.tool)
            continue;
        const auto runs = stubs.Runs(QStringLiteral("java")); // the run is over when the call returns
        ASSERT_EQ(runs.size(), 1);
        EXPECT_EQ(runs[0].arguments, QStringList({"MyLDAP", " admin ;p w;3; Pub ;socket://mnshost:4711;0"}));
        EXPECT_EQ(QDir(runs[0].workingDirectory).canonicalPath(), QDir(app.path()).canonicalPath());
    }
}

} // namespace
