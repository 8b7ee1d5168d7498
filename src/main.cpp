#include "app/CommandLineMessages.h"
#include "app/CommandLineMode.h"
#include "app/GuiModule.h"
#include "app/Session.h"
#include "cli/ConsoleMessages.h"
#include "cli/Subcommands.h"
#include "platform/Worker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

#include <unistd.h>

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

// The directory that holds the program, found without an application object.
QString ProgramDirectory()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

// The program's name as the user called it (a link on the search path, or the program), for help.
QString CommandName(char **argv)
{
    const QString name = argv[0] ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() : QString();
    return name.isEmpty() ? QStringLiteral("ConfigurationSelector") : name;
}

// The subcommands load no GUI library either. Their waits and Stop need an event loop, so
// they get an application object, which takes no option from the command line.
int RunSubcommand(const QString &appDir, int argc, char **argv)
{
    int coreArgc = 1;
    char *coreArgv[] = {argv[0], nullptr};
    QCoreApplication core(coreArgc, coreArgv);
    ConsoleMessages messages;
    Session session(appDir, messages);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const int status = Subcommands::Run(session, arguments);
    // A database given up on still holds its worker; the program ends without waiting for it.
    if (!Worker::WaitForAll(200)) {
        std::fflush(stdout);
        std::fflush(stderr);
        ::_exit(status);
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const QString arguments = ArgumentText(argc, argv);
    const QString appDir = ProgramDirectory();
    if (arguments.isEmpty())
        return GuiModule::RunInteractive(appDir, argc, argv);

    if (argc > 1 && Subcommands::IsSubcommand(QString::fromLocal8Bit(argv[1])))
        return RunSubcommand(appDir, argc, argv);

    // The silent mode runs before any GUI object exists and loads no GUI library. No
    // application object is made either, so Qt takes none of its options from the fields.
    CommandLineMessages messages(appDir);
    Session session(appDir, messages);
    return RunCommandLineMode(session, arguments, CommandName(argv));
}
