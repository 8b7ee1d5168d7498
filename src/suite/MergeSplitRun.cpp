#include "suite/MergeSplitRun.h"

#include "platform/Process.h"
#include "suite/RunRegister.h"

#include <QDateTime>

#include <unistd.h>

using MergeSplitJournal::Step;

MergeSplitRun::MergeSplitRun(QString appDir, MergeSplitJournal::Entry entry)
    : m_appDir(std::move(appDir)), m_entry(std::move(entry))
{
}

Result<void> MergeSplitRun::Begin()
{
    std::lock_guard lock(m_lock);
    m_entry.user = RunRegister::CurrentUser();
    m_entry.started = QDateTime::currentDateTime();
    m_entry.pid = ::getpid();
    m_entry.startTime = Process::StartTimeOf(m_entry.pid).value_or(0);
    m_entry.reached = Step::Begun;
    return MergeSplitJournal::Write(m_appDir, m_entry);
}

bool MergeSplitRun::Reached(Step step)
{
    std::lock_guard lock(m_lock);
    m_entry.reached = step;
    (void)MergeSplitJournal::Write(m_appDir, m_entry);
    return true;
}

void MergeSplitRun::Committed(int which)
{
    Reached(which == 0 ? Step::FieldmarkCommitted : Step::RostrumCommitted);
}

void MergeSplitRun::End(bool done)
{
    if (done)
        Reached(Step::JointFileWritten);
    std::lock_guard lock(m_lock);
    if (done || m_entry.reached < Step::FieldmarkCommitted)
        (void)MergeSplitJournal::Remove(m_appDir, m_entry.jointFile);
}

Step MergeSplitRun::ReachedStep() const
{
    std::lock_guard lock(m_lock);
    return m_entry.reached;
}
