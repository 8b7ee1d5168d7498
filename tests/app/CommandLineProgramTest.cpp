// The built program in command-line mode, run as a script would run it.

#include "app/CommandLineMessages.h"
#include "app/CommandLineMode.h"
#include "app/GuiModule.h"
#include "platform/DisplayProbe.h"
#include "support/FakeXServer.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>


namespace {

// Starts a copy of the program in app's directory, so that lib/ there is the one it writes (the
// shared libraries stay where they were built), as a script would: display its only display
// (none when empty), no platform chosen, and the dynamic loader reporting on standard error
// the objects it opens.
// calledAs: a link to the program by which it is started.
void Start(QProcess &process, const TestAppDir &app, const QStringList &arguments, const QString &display,
           const QString &calledAs = QStringLiteral("ConfigurationSelector"))
{
    QFile::copy(QStringLiteral(CS_PROGRAM), app.path() + QStringLiteral("/ConfigurationSelector"));
    QFile::link(app.path() + QStringLiteral("/ConfigurationSelector"), app.path() + u'/' + calledAs);
    for (const char *lib : {CS_GUI_LIBRARY, CS_CORE_LIBRARY})
        QFile::link(QLatin1String(lib), app.path() + u'/' + QFileInfo(QLatin1String(lib)).fileName());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    process.setProcessEnvironment(environment);
    process.start(app.path() + u'/' + calledAs, arguments);
}

} // namespace

// Every run also reads the objects the dynamic loader opens: unless a box is shown, none
// may belong to a GUI. Which fields are refused is CommandLineModeTest's concern.
TEST(CommandLineProgram, EndsWithTheRightStatusAndNeverBlocksOrLoadsAGui)
{
    const QRegularExpression gui(QStringLiteral("file=\\S*(libQt6Gui|libQt6Widgets|libQt6XcbQpa|libX11|libxcb|"
                                                "libfontconfig|libfreetype|libGL|libEGL|libxkbcommon|libcs_gui)"));
    FakeXServer answering(true);
    const QString fake = QString::fromLatin1(answering.display());
    const QString refusedProduct = QStringLiteral("12:::1:::d:::SALES:::m:::u:::p:::c");
    // output: the whole standard output; error: a part of standard error; written: the file
    // expected in lib/, none when empty.
    const struct {
        const char *what; QStringList arguments; QString display; int exitCode; QString output, error, written;
        bool displayAsked = false; QString calledAs = QStringLiteral("ConfigurationSelector");
    } cases[] = {
        {"help", {"--help"}, {}, 0, CommandLineUsage(), "", ""},
        {"short help, called by a link", {"-h"}, {}, 0, CommandLineUsage().replace("ConfigurationSelector", "cs-link"), "", "", false, "cs-link"},
        {"version", {"--version"}, {}, 0, "ConfigurationSelector " CS_VERSION "\n", "", ""},
        {"a Qt option is a field", {"-platform", "bogus"}, {}, 2, "", "holds 1 field", ""},
        // The arguments are joined with a blank; Qt takes no option from the last field.
        {"written on an answering display", {"1028:::1:::d:::SALES:::m:::u:::p:::c", "-reverse"}, fake, 0, "", "",
         "SALES_1028.tsy"},
        // The display answers the probe, then refuses the box: the status stays the same.
        {"display fails half-way", {refusedProduct}, fake, 2, "", "\"12\"", "", true},
        // The window: without a display, or one that is gone or refuses it, a word and a status, no abort.
        {"window without a display", {}, {}, GuiModule::NoDisplayStatus, "", "no display (DISPLAY is not set)", ""},
        {"window on a stale display", {}, ":" + QString::number(UnusedDisplayNumber()), GuiModule::NoDisplayStatus,
         "", "no X server answers at DISPLAY=:", ""},
        {"window refused by the display", {}, fake, GuiModule::NoDisplayStatus, "", "no display could be opened", "", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestAppDir app;
        const int contactsBefore = answering.connections();
        QProcess run;
        Start(run, app, c.arguments, c.display, c.calledAs);
        // Generous: only a program that blocks takes this long.
        ASSERT_TRUE(run.waitForFinished(20000));
        const QString err = QString::fromUtf8(run.readAllStandardError());
        EXPECT_EQ(run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1, c.exitCode) << err.toStdString();
        EXPECT_EQ(QString::fromUtf8(run.readAllStandardOutput()), c.output);
        EXPECT_TRUE(err.contains(c.error)) << err.toStdString();
        ASSERT_TRUE(err.contains("file=")) << "the loader reported nothing";
        EXPECT_EQ(gui.match(err).hasMatch(), c.displayAsked) << gui.match(err).captured().toStdString();
        EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), c.written.isEmpty() ? QStringList() : QStringList{c.written});
        EXPECT_TRUE(c.written.isEmpty() || app.readFile("lib/" + c.written).contains("\r\nlhbuscomponent=c -reverse\r\n"));
        EXPECT_EQ(answering.connections() > contactsBefore, c.displayAsked);
    }
}

TEST(CommandLineMessages, ABoxOnlyOnADisplayThatAnswers)
{
    FakeXServer answering(true);
    const QByteArray fake = answering.display();
    const QByteArray stale = ":" + QByteArray::number(UnusedDisplayNumber());
    const struct { QByteArray platform, display, expected; } cases[] = {
        {"", fake, "xcb"},
        {"xcb:nograb", fake, "xcb:nograb"},
        {"wayland;xcb", fake, "xcb"}, // no Wayland display: Qt goes on to X11
        {"", stale, ""},
        {"xcb", "", ""},
        {"offscreen", fake, ""},
        {"offscreen;xcb", fake, ""}, // Qt takes offscreen first
        {"vnc", fake, ""},           // would wait for a viewer
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageBoxPlatform(c.platform, c.display, "", ""), c.expected)
            << c.platform.constData() << " " << c.display.constData();
}

// On a display that answers the failure is shown in a box, which goes when the program is
// ended from outside.
TEST(CommandLineProgram, ABoxOnADisplayThatAnswers)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "needs Xvfb and xwininfo";
    const QString display = QStringLiteral(":%1").arg(UnusedDisplayNumber(270));
    QProcess server;
    // -noreset: the probe below leaves as the last client, and a reset then could meet the program's connection.
    server.start(QStringLiteral("Xvfb"), {display, "-nolisten", "tcp", "-noreset"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return DisplayProbe::X11Answers(display.toLatin1(), 100); }, 10000));

    TestAppDir app;
    QProcess program;
    Start(program, app, {"12:::1:::d:::SALES:::m:::u:::p:::c"}, display);
    ASSERT_TRUE(program.waitForStarted());
    // The top-level windows of the display, by xwininfo.
    const auto boxShown = [&] {
        QProcess xwininfo;
        xwininfo.start(QStringLiteral("xwininfo"), {"-display", display, "-root", "-tree"});
        xwininfo.waitForFinished(5000);
        return xwininfo.readAllStandardOutput().contains("\"Configuration Selector\"");
    };
    EXPECT_TRUE(QTest::qWaitFor(boxShown, 10000));
    EXPECT_FALSE(program.waitForFinished(100)) << "waits for the box to be answered";
    program.kill();
    program.waitForFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !boxShown(); }, 10000));
    server.terminate();
    server.waitForFinished();
}
