#include "suite/Launching.h"

#include "app/Session.h"
#include "suite/MergeSplitLaunch.h"
#include "suite/BackendChecks.h"
#include "suite/ServerCommands.h"

bool RunServerConsole(Session &session, const QString &selectedConfigPath, bool isMergeSplitSelected)
{
    if (isMergeSplitSelected)
        return RunMergeAndSplit(session, selectedConfigPath);
    return StartServerConsoleProgram(session, ServerConsoleCommandLine(selectedConfigPath), selectedConfigPath);
}

void RunJavaServer(Session &session, const QList<ConfigEntry> &selectedEntries)
{
    QString arguments;
    QStringList served;
    for (const ConfigEntry &entry : selectedEntries) {
        if (const Product *product = ProductWithCode(entry.ProductCode); product && !product->runsJavaServer)
            continue;
        const std::optional<QString> server =
            entry.Platform == ServerNamePlatform ? getTNSName(session, entry.Dsn, entry.User, entry.Password) : entry.Dsn;
        // A cancelled wait starts nothing. The check has shown its own message, if any; the
        // command ends without another.
        if (!server || !CheckBackendVersion(session, *server, entry.User, entry.Password))
            return;
        // Each argument goes in front: the Java server reads them in the reverse of list order.
        arguments = JavaServerArgument(entry, *server) + arguments;
        served << session.ConfigDirectory + u'/' + entry.FileName;
    }
    const Result<void> started = StartJavaServerProgram(session, arguments, served);
    if (!started)
        session.MsgBox(QStringLiteral("Java Server Could Not be started...") + QStringLiteral("\r\n")
                           + QStringLiteral("Reason :") + started.error().description,
                       MsgIcon::None, MsgButtons::Ok);
}
