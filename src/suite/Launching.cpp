#include "suite/Launching.h"

#include "app/Session.h"
#include "suite/MergeSplitLaunch.h"
#include "platform/Process.h"
#include "suite/BackendChecks.h"

QString ServerConsoleCommandLine(const QString &configPath)
{
    return QStringLiteral("TessHost.exe") + u' ' + QStringLiteral(" /F ") + Process::QuoteArgument(configPath);
}

QString JavaServerArgument(const ConfigEntry &entry, const QString &server)
{
    const QString value = QString::number(entry.ProductCode) + u';' + server + u';' + entry.User + u';'
                          + entry.Password + u';' + QString::number(entry.Platform);
    return Process::QuoteArgument(value, Process::Quote::Always) + u' ';
}

QString JavaServerCommandLine(const QString &argumentText) { return QStringLiteral("RunServer.bat ") + argumentText; }

bool RunServerConsole(Session &session, const QString &selectedConfigPath, bool isMergeSplitSelected)
{
    if (isMergeSplitSelected) {
        RunMergeAndSplit(session, selectedConfigPath);
        return true;
    }
    Vb::Error error;
    if (Process::Start(session.AppDir(), ServerConsoleCommandLine(selectedConfigPath),
                       Process::WindowStyle::NormalFocus, &error))
        return true;
    QString text = session.GetText(QStringLiteral("SLBL0126"));
    text.replace(QStringLiteral("%1"), QStringLiteral("\r\n"));
    text.replace(QStringLiteral("%2"), error.description);
    session.MsgBox(text, MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

void RunJavaServer(Session &session, const QList<ConfigEntry> &selectedEntries)
{
    QString arguments;
    for (const ConfigEntry &entry : selectedEntries) {
        if (const Product *product = ProductWithCode(entry.ProductCode); product && !product->runsJavaServer)
            continue;
        const QString server =
            entry.Platform == 2 ? getTNSName(session, entry.Dsn, entry.User, entry.Password) : entry.Dsn;
        // The check has shown its own message, if any; the command ends without another.
        if (!CheckBackendVersion(session, server, entry.User, entry.Password))
            return;
        // Each argument goes in front: the Java server reads them in the reverse of list order.
        arguments = JavaServerArgument(entry, server) + arguments;
    }
    Vb::Error error;
    if (!Process::Start(session.AppDir(), JavaServerCommandLine(arguments), Process::WindowStyle::MinimizedNoFocus,
                        &error))
        session.MsgBox(QStringLiteral("Java Server Could Not be started...") + QStringLiteral("\r\n")
                           + QStringLiteral("Reason :") + error.description,
                       MsgIcon::None, MsgButtons::Ok);
}
