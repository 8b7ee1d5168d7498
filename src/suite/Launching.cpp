#include "suite/Launching.h"

#include "app/Messages.h"
#include "config/ConfigStore.h"
#include "suite/MergeSplitLaunch.h"
#include "suite/BackendChecks.h"
#include "suite/ServerCommands.h"

bool RunServerConsole(const SuiteContext &suite, const QString &selectedConfigPath, bool isMergeSplitSelected)
{
    if (isMergeSplitSelected)
        return RunMergeAndSplit(suite, selectedConfigPath);
    return StartServerConsoleProgram(suite, ServerConsoleCommandLine(selectedConfigPath), selectedConfigPath);
}

void RunJavaServer(const SuiteContext &suite, const QList<ConfigEntry> &selectedEntries)
{
    QString arguments;
    QStringList served;
    for (const ConfigEntry &entry : selectedEntries) {
        if (const Product *product = ProductWithCode(entry.ProductCode); product && !product->runsJavaServer)
            continue;
        const std::optional<QString> server =
            entry.Platform == ServerNamePlatform ? getTNSName(suite.messages, entry.Dsn, entry.User, entry.Password)
                                                 : entry.Dsn;
        // A cancelled wait starts nothing. The check has shown its own message, if any; the
        // command ends without another.
        if (!server || !CheckBackendVersion(suite.messages, *server, entry.User, entry.Password))
            return;
        // Each argument goes in front: the Java server reads them in the reverse of list order.
        arguments = JavaServerArgument(entry, *server) + arguments;
        served << ConfigStore::ConfigDirectory(suite.appDir) + u'/' + entry.FileName;
    }
    const Result<void> started = StartJavaServerProgram(suite, arguments, served);
    if (!started)
        Tell(suite.messages, suite.messages.Text("CS_RUN_JAVA_NOT_STARTED") + QStringLiteral("\r\n")
                                 + suite.messages.Text("CS_RUN_REASON").arg(suite.messages.Text(started.error().Text())));
}
