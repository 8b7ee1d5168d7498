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

Result<void> StartRecordedProgram(Session &session, RunKind kind, const QStringList &configFiles,
                                  const QString &section, const QString &commandLine)
{
    QString notRecorded;
    const Result<RunRecord> started =
        RunRegister::StartRecorded(session.AppDir(), kind, configFiles, section, commandLine, &notRecorded);
    if (!started)
        return started.error();
    if (!notRecorded.isEmpty())
        session.MsgBox(QStringLiteral("%1 was started (pid %2), but it could not be recorded, so this window will not "
                                      "show it running or stop it:\r\n%3")
                           .arg(commandLine)
                           .arg(started.value().pid)
                           .arg(notRecorded),
                       MsgIcon::Exclamation, MsgButtons::Ok);
    return {};
}

bool StartServerConsoleProgram(Session &session, const QString &commandLine, const QString &configFile,
                               const QString &section)
{
    const Result<void> started = StartRecordedProgram(session, RunKind::Console, {configFile}, section, commandLine);
    if (started)
        return true;
    QString text = session.GetText(QStringLiteral("SLBL0126"));
    text.replace(QStringLiteral("%1"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("%2"), started.error().description);
    session.MsgBox(text, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

Result<void> StartJavaServerProgram(Session &session, const QString &argumentText, const QStringList &configFiles)
{
    return StartRecordedProgram(session, RunKind::JavaServer, configFiles, QString(), JavaServerCommandLine(argumentText));
}
