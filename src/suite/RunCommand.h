#pragma once

#include "app/SuiteContext.h"
#include "suite/RunRegister.h"

#include <QList>
#include <QString>

#include <functional>

// Run, as the window and the command line both do it: the rule for a second start, then
// what the configuration starts (a joint file: its consoles, the Java server after the
// database checks, its dispatchers; any other: its server console).

// The records of what runs that a Run of configFile would start again: its server console,
// or for a joint file anything of it.
QList<RunRecord> RunningAlready(const QList<RunRecord> &records, const QString &configFile, bool jointFile);

struct RunOutcome
{
    enum class Verdict { Started, NotAllStarted, RunningAlready };
    Verdict verdict = Verdict::Started;
    // RunningAlready: what runs. Otherwise what this Run started and still runs.
    QList<RunRecord> programs;
};

// Runs configFile. When something of it runs already, startAgain is given what runs and
// nothing starts unless it answers true. Each failure is told through suite's messages.
RunOutcome RunConfiguration(const SuiteContext &suite, const QString &configFile, bool jointFile,
                            const std::function<bool(const QList<RunRecord> &running)> &startAgain);
