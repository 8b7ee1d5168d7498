#include "suite/ServerCommands.h"

#include "app/Session.h"
#include "platform/Process.h"

QString ServerConsoleCommandLine(const QString &configPath)
{
    return QStringLiteral("TessHost.exe") + u' ' + QStringLiteral(" /F ") + Process::QuoteArgument(configPath);
}

QString ServerConsoleCommandLine(const QString &jointFilePath, const QString &section)
{
    return ServerConsoleCommandLine(jointFilePath + QStringLiteral("/C")) + u' ' + section;
}

QString JavaServerValue(const QString &product, const QString &server, const QString &user,
                        const QString &password, const QString &platform)
{
    return Process::QuoteArgument(product + u';' + server + u';' + user + u';' + password + u';' + platform,
                                  Process::Quote::Always);
}

QString JavaServerArgument(const ConfigEntry &entry, const QString &server)
{
    return JavaServerValue(QString::number(entry.ProductCode), server, entry.User, entry.Password,
                           QString::number(entry.Platform))
           + u' ';
}

QString JavaServerCommandLine(const QString &argumentText) { return QStringLiteral("RunServer.bat ") + argumentText; }

bool StartServerConsoleProgram(Session &session, const QString &commandLine)
{
    Vb::Error error;
    if (Process::Start(session.AppDir(), commandLine, Process::WindowStyle::NormalFocus, &error))
        return true;
    QString text = session.GetText(QStringLiteral("SLBL0126"));
    text.replace(QStringLiteral("%1"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("%2"), error.description);
    session.MsgBox(text, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

bool StartJavaServerProgram(Session &session, const QString &argumentText, Vb::Error *error)
{
    return Process::Start(session.AppDir(), JavaServerCommandLine(argumentText), Process::WindowStyle::MinimizedNoFocus,
                          error);
}
