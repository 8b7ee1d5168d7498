#include "suite/RunCommand.h"

#include "suite/Launching.h"

#include <QSet>

QList<RunRecord> RunningAlready(const QList<RunRecord> &records, const QString &configFile, bool jointFile)
{
    QList<RunRecord> running = RunningState::Of(records, configFile);
    if (!jointFile)
        running.removeIf([](const RunRecord &r) { return r.kind != RunKind::Console; });
    return running;
}

RunOutcome RunConfiguration(const SuiteContext &suite, const QString &configFile, bool jointFile,
                            const std::function<bool(const QList<RunRecord> &)> &startAgain)
{
    const QList<RunRecord> before = RunningState::Of(RunRegister::Read(suite.appDir).value_or({}), configFile);
    if (const QList<RunRecord> running = RunningAlready(before, configFile, jointFile);
        !running.isEmpty() && !startAgain(running))
        return {RunOutcome::Verdict::RunningAlready, running};
    const bool started = RunServerConsole(suite, configFile, jointFile);
    // What was started is what the register holds now and did not hold before.
    QSet<std::pair<qint64, quint64>> known;
    for (const RunRecord &r : before)
        known.insert({r.pid, r.startTime});
    QList<RunRecord> programs = RunningState::Of(RunRegister::Read(suite.appDir).value_or({}), configFile);
    programs.removeIf([&](const RunRecord &r) { return known.contains({r.pid, r.startTime}); });
    return {started ? RunOutcome::Verdict::Started : RunOutcome::Verdict::NotAllStarted, programs};
}
