// --run and --stop: the window's Run and Stop, with their rules, from the command line.
#include "cli/Subcommands.h"

#include "app/Session.h"
#include "cli/ConfigurationStates.h"
#include "cli/ConsoleMessages.h"
#include "suite/RunCommand.h"
#include "suite/RunStop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

namespace Subcommands {

namespace {

// The configuration that file names, as a path in lib/; empty after the message.
QString PathOf(const Session &session, const QString &file)
{
    const Result<ConfigList::Listing> listing = ConfigList::ListFolder(session.ConfigDirectory());
    if (!listing) {
        PrintError(QStringLiteral("%1 cannot be read: %2")
                       .arg(QDir::toNativeSeparators(session.ConfigDirectory()), listing.error().description));
        return {};
    }
    const Result<QString> name = ConfigurationStates::NameOf(session.ConfigDirectory(), listing.value(), file);
    if (!name) {
        PrintError(name.error().description);
        return {};
    }
    return session.ConfigDirectory() + u'/' + name.value();
}

QList<RunRecord> RunningFor(const Session &session, const QString &path)
{
    return RunningState::Of(RunRegister::Read(session.AppDir()).value_or({}), path);
}

} // namespace

int Start(Session &session, const QString &file, bool again, int timeoutSeconds)
{
    const QString path = PathOf(session, file);
    if (path.isEmpty())
        return QFileInfo(session.ConfigDirectory()).isDir() ? UnknownFile : Failed;
    const QString name = QFileInfo(path).fileName();
    const ConfigList::ListedFile listed = ConfigList::ReadFile(session.ConfigDirectory(), name);
    if (!listed.unreadable.isEmpty()) {
        PrintError(QStringLiteral("%1 cannot be run: %2").arg(name, listed.unreadable));
        return Failed;
    }
    ConsoleMessages messages;
    const DatabaseWaitLimit limit(timeoutSeconds);
    const RunOutcome outcome = RunConfiguration(
        {session.AppDir(), messages, session.Texts()}, path, listed.joint, [&](const QList<RunRecord> &running) {
            if (!again)
                PrintError(QStringLiteral("%1 is running already:\n%2\nNothing was started; --again starts it again.")
                               .arg(name, RunningState::Details(running)));
            return again;
        });
    if (outcome.verdict == RunOutcome::Verdict::RunningAlready)
        return RunningAlready;
    QString started;
    for (const RunRecord &r : outcome.programs)
        started += QStringLiteral("started %1, log %2\n").arg(ConfigurationStates::ProgramsText({r}), r.logFile);
    PrintOutput(started);
    if (outcome.verdict != RunOutcome::Verdict::Started) {
        PrintError(QStringLiteral("%1 was not fully started.").arg(name));
        return Failed;
    }
    return Done;
}

int Stop(Session &session, const QString &file, int graceSeconds)
{
    const QString path = PathOf(session, file);
    if (path.isEmpty())
        return QFileInfo(session.ConfigDirectory()).isDir() ? UnknownFile : Failed;
    const QString name = QFileInfo(path).fileName();
    const QList<RunRecord> records = RunningFor(session, path);
    if (records.isEmpty()) {
        PrintOutput(QStringLiteral("Nothing runs for %1.\n").arg(name));
        return Done;
    }
    RunStopper stopper(session.AppDir(), records, graceSeconds * 1000);
    QEventLoop loop;
    QString outcome, shown;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&stopper, &RunStopper::Progress, [&](const QString &text) {
        // Once a second, not at every look, and only for programs slow to end.
        if (clock.elapsed() >= 1000 && text != std::exchange(shown, text))
            PrintError(text);
    });
    QObject::connect(&stopper, &RunStopper::Finished, [&](const QString &text) {
        outcome = text;
        loop.quit();
    });
    stopper.Start();
    if (outcome.isEmpty())
        loop.exec();
    QString ended;
    for (const RunRecord &r : records) {
        if (!RunRegister::IsRunning(r))
            ended += QStringLiteral("ended %1\n").arg(ConfigurationStates::ProgramsText({r}));
    }
    PrintOutput(ended + outcome + u'\n');
    for (const QString &refused : stopper.Refused())
        PrintError(refused);
    // The register is written again without what ended, so windows on the folder see it at once.
    if (const Result<void> pruned = RunRegister::Add(session.AppDir(), {}); !pruned)
        PrintError(QStringLiteral("The register of started programs was not updated: %1").arg(pruned.error().description));
    if (const QList<RunRecord> left = RunningFor(session, path); !left.isEmpty()) {
        PrintError(QStringLiteral("Still running for %1:\n%2").arg(name, RunningState::Details(left)));
        return Failed;
    }
    return Done;
}

} // namespace Subcommands
