#include "app/CommandLineMessages.h"
#include "app/CommandLineMode.h"
#include "app/GuiModule.h"
#include "app/Session.h"

#include <QFileInfo>
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

} // namespace

int main(int argc, char **argv)
{
    const QString arguments = ArgumentText(argc, argv);
    const QString appDir = ProgramDirectory();
    if (arguments.isEmpty())
        return GuiModule::RunInteractive(appDir, argc, argv);

    // The silent mode runs before any GUI object exists and loads no GUI library. No
    // application object is made either, so Qt takes none of its options from the fields.
    CommandLineMessages messages(appDir);
    Session session(appDir, messages);
    return RunCommandLineMode(session, arguments, CommandName(argv));
}
