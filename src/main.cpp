#include "app/CommandLineMode.h"
#include "app/Session.h"
#include "ui/MessageBoxes.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QApplication>
#include <QStringList>

namespace {

// The argument text of the command line: everything after the program name. The shell has
// already split it; joining with blanks gives back what was typed, blanks inside fields too.
QString ArgumentText(int argc, char **argv)
{
    QStringList parts;
    for (int i = 1; i < argc; ++i)
        parts << QString::fromLocal8Bit(argv[i]);
    return parts.join(u' ');
}

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char **argv)
{
    const QString arguments = ArgumentText(argc, argv);
    const bool commandLineMode = !arguments.isEmpty();
    // The silent mode must also work from scripts on machines without a display.
    const bool headless = commandLineMode && !HasDisplay();
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("ConfigurationSelector"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));

    MessageBoxes messages;
    messages.SetSilent(headless);
    messages.SetEchoToStderr(commandLineMode);
    Session session(QCoreApplication::applicationDirPath(), messages);

    if (commandLineMode)
        return RunCommandLineMode(session, arguments);

    frmConfigurationSelector window(session);
    window.Load();
    if (session.QuitRequested())
        return 0;
    window.show();
    return app.exec();
}
