#include "suite/ServerCommands.h"

#include "app/LocalisedText.h"
#include "app/Messages.h"
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

Result<void> StartRecordedProgram(const SuiteContext &suite, RunKind kind, const QStringList &configFiles,
                                  const QString &section, const QString &commandLine)
{
    const Result<RunRegister::StartedRun> started =
        RunRegister::StartRecorded(suite.appDir, kind, configFiles, section, commandLine);
    if (!started)
        return started.error();
    if (const Result<void> &recorded = started.value().recorded; !recorded)
        Tell(suite.messages,
             suite.messages.Text("CS_RUN_NOT_RECORDED")
                 .arg(started.value().record.commandLine, QString::number(started.value().record.pid),
                      suite.messages.Text(recorded.error().Text())),
             MsgIcon::Exclamation, MsgButtons::Ok);
    return {};
}

bool StartServerConsoleProgram(const SuiteContext &suite, const QString &commandLine, const QString &configFile,
                               const QString &section)
{
    const Result<void> started = StartRecordedProgram(suite, RunKind::Console, {configFile}, section, commandLine);
    if (started)
        return true;
    QString text = suite.texts.GetText(QStringLiteral("SLBL0126"));
    text.replace(QStringLiteral("%1"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("%2"), started.error().description);
    Tell(suite.messages, text, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

Result<void> StartJavaServerProgram(const SuiteContext &suite, const QString &argumentText,
                                    const QStringList &configFiles)
{
    return StartRecordedProgram(suite, RunKind::JavaServer, configFiles, QString(), JavaServerCommandLine(argumentText));
}
