#include "suite/BusComponent.h"

#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(BusComponent, ToolGetsOneArgumentWithOnlyHostAndPortTrimmed)
{
    TestAppDir app;
    StubPrograms stubs(app.path());
    stubs.Add(QStringLiteral("java"));
    CreateBusComponent(app.session(), QStringLiteral("  mnshost "), QStringLiteral(" 4711  "), QStringLiteral(" admin "),
                       QStringLiteral("p w"), QStringLiteral(" PubComp "));
    const auto runs = stubs.Runs(QStringLiteral("java"));
    ASSERT_EQ(runs.size(), 1); // waited for: the run is over when the call returns
    EXPECT_EQ(runs[0].arguments,
              QStringList({QStringLiteral("MyLDAP"), QStringLiteral(" admin ;p w;3; PubComp ;socket://mnshost:4711;0")}));
    // In the application directory, wherever the program was started from.
    EXPECT_EQ(QDir(runs[0].workingDirectory).canonicalPath(), QDir(app.path()).canonicalPath());
}

TEST(BusComponent, LogsDecideTheOutcomeAndAreDeleted)
{
    // Logs: nullptr when the tool does not write it.
    struct Case { const char *name, *failureLog, *successLog; bool result; QString message; bool successLogStays; };
    const QString failed = QStringLiteral("Creation of Bus Component 'Pub' Encountered Errors!\r\n");
    const Case cases[] = {
        {"failure over several lines", "line one\r\nline two\r\n", nullptr, false, failed + "line one\r\nline two\r\n", false},
        {"success", nullptr, "ok", true, QStringLiteral("Bus Component Pub created successfully!"), false},
        {"both: only the failure counts", "refused", "ok", false, failed + "refused", true},
        {"empty failure log", "", nullptr, false, failed, false},
        {"no log at all", nullptr, nullptr, false,
         QStringLiteral("Bus Component 'Pub' was not created.\r\nThe directory tool ended without leaving"), false},
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
        stubs.Add(QStringLiteral("java"), shell);
        // Logs of an earlier run are gone before the tool starts.
        app.writeFile(QStringLiteral("success.log"), "old");
        app.writeFile(QStringLiteral("faliure.log"), "old");

        EXPECT_EQ(CreateBusComponent(app.session(), QStringLiteral("h"), QStringLiteral("1"), QStringLiteral("a"),
                                     QStringLiteral("p"), QStringLiteral("Pub")),
                  c.result);
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].startsWith(c.message)) << app.shownTexts()[0].toStdString();
        EXPECT_FALSE(QFile::exists(app.path() + QStringLiteral("/faliure.log"))); // read-only or not
        EXPECT_EQ(QFile::exists(app.path() + QStringLiteral("/success.log")), c.successLogStays);
    }
}

TEST(BusComponent, AToolThatIsNotThereIsReported)
{
    TestAppDir app;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent"); // neither in the application directory nor on the search path
    EXPECT_FALSE(CreateBusComponent(app.session(), QStringLiteral("h"), QStringLiteral("1"), QStringLiteral("a"),
                                    QStringLiteral("p"), QStringLiteral("Pub")));
    qputenv("PATH", path);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("\"java\" was not found"))) << app.shownTexts()[0].toStdString();
}

} // namespace
