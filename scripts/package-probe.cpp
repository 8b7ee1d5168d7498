// What the package check runs as an operator: the program's own starts and Stop, called
// through the installed libcs_core.so as the window calls them.
//   package-probe run FILE            start the server console of lib/FILE
//   package-probe joint FILE          Run on the joint file lib/FILE
//   package-probe dispatcher FILE PUB prepare and start the dispatcher of PUB for lib/FILE
//   package-probe stop FILE           Stop what runs for lib/FILE (grace 2 s); prints the outcome
#include "app/CommandLineMessages.h"
#include "app/LocalisedText.h"
#include "suite/MergeSplitLaunch.h"
#include "suite/RunStop.h"
#include "suite/ServerCommands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    const QString appDir = QStringLiteral("/opt/configuration-selector");
    CommandLineMessages messages(appDir);
    LocalisedText texts(appDir);
    const SuiteContext suite{appDir, messages, texts};
    if (args.size() < 3)
        return 2;
    const QString file = appDir + QStringLiteral("/lib/") + args[2];
    const QString what = args[1];
    if (what == QLatin1String("run"))
        return StartServerConsoleProgram(suite, ServerConsoleCommandLine(file), file) ? 0 : 1;
    if (what == QLatin1String("joint"))
        return RunMergeAndSplit(suite, file) ? 0 : 1;
    if (what == QLatin1String("dispatcher") && args.size() > 3) {
        const Result<void> started = PrepareAndStartDispatcher(suite, file, {args[3], QStringLiteral("CONSUMER")});
        if (!started)
            std::fprintf(stderr, "%s\n", qPrintable(started.error().description));
        return started ? 0 : 1;
    }
    if (what == QLatin1String("stop")) {
        RunStopper stopper(appDir, RunningState::Of(RunRegister::Read(appDir).value_or({}), file), 2000);
        QObject::connect(&stopper, &RunStopper::Finished, [&](const QString &outcome) {
            std::printf("%s\n", qPrintable(outcome));
            for (const QString &line : stopper.Refused())
                std::printf("%s\n", qPrintable(line));
            application.quit();
        });
        QMetaObject::invokeMethod(&stopper, &RunStopper::Start, Qt::QueuedConnection);
        return application.exec();
    }
    return 2;
}
