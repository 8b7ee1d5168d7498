#pragma once

#include "config/MergeSplitJournal.h"

#include <QtGlobal>

#include <mutex>

// One run of Merge and Split as a unit of work: its journal is written before the first step
// and after each, and removed at the end. A run that fails where nothing is left half-done
// (before the first commit) removes it too; one that fails between the commits and the joint
// file keeps it, so that the next start tells it.
class MergeSplitRun final
{
public:
    MergeSplitRun(QString appDir, MergeSplitJournal::Entry entry);
    Q_DISABLE_COPY_MOVE(MergeSplitRun)

    // Writes the journal before the first step (who, when, this process); the run is not to
    // begin when it cannot be written.
    Result<void> Begin();
    // Notes a step done; true, so that steps chain. A journal that cannot be written then
    // still names an earlier step, which a re-run repeats.
    bool Reached(MergeSplitJournal::Step step);
    // After which database's commit (0 Fieldmark, 1 Rostrum); safe on a worker thread.
    void Committed(int which);
    // The end: done notes the joint file written; the journal is then removed, as it is after
    // a failure before the first commit.
    void End(bool done);

    MergeSplitJournal::Step ReachedStep() const;

private:
    const QString m_appDir;
    mutable std::mutex m_lock;
    MergeSplitJournal::Entry m_entry;
};
