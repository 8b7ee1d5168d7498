#include "suite/RunStop.h"

#include <QSet>
#include <QTimer>

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace {

QString Named(const RunRecord &r)
{
    return RunningState::Details({r});
}

// The process group of the recorded process, if it still is that process.
int SignalGroup(const RunRecord &r, int signal)
{
    if (!RunRegister::IsRunning(r))
        return 0;
    return ::kill(-pid_t(r.pid), signal) == 0 ? 0 : errno;
}

} // namespace

RunStopper::RunStopper(QList<RunRecord> records, int graceMs, QObject *parent)
    : QObject(parent), m_graceMs(graceMs), m_timer(new QTimer(this))
{
    QSet<qint64> seen;
    for (const RunRecord &r : records) {
        // One program recorded for several configurations is signalled once.
        if (seen.contains(r.pid))
            continue;
        seen.insert(r.pid);
        if (r.uid != ::getuid())
            m_refused << Named(r) + QStringLiteral(": left running, it belongs to %1").arg(r.user);
        else
            m_signalled << r;
    }
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &RunStopper::Check);
}

RunStopper::~RunStopper() = default;

void RunStopper::Start()
{
    for (qsizetype i = 0; i < m_signalled.size();) {
        if (const int error = SignalGroup(m_signalled[i], SIGTERM); error) {
            m_refused << Named(m_signalled[i]) + QStringLiteral(": ") + qt_error_string(error);
            m_signalled.removeAt(i);
        } else {
            ++i;
        }
    }
    m_clock.start();
    m_timer->start();
    Check();
}

void RunStopper::Cancel() { Finish(true); }

QList<RunRecord> RunStopper::Remaining() const
{
    QList<RunRecord> running;
    for (const RunRecord &r : m_signalled) {
        if (RunRegister::IsRunning(r))
            running << r;
    }
    return running;
}

void RunStopper::Check()
{
    if (m_done)
        return;
    const QList<RunRecord> running = Remaining();
    if (running.isEmpty())
        return Finish(false);
    if (m_clock.elapsed() >= m_graceMs) {
        if (m_killed)
            return; // the kernel is taking them down
        for (const RunRecord &r : running)
            SignalGroup(r, SIGKILL);
        m_killed = true;
        return;
    }
    emit Progress(QStringLiteral("Stopping %1 of %2 program(s): %3 s of %4, then they are killed")
                      .arg(running.size())
                      .arg(m_signalled.size())
                      .arg(m_clock.elapsed() / 1000)
                      .arg(m_graceMs / 1000));
}

void RunStopper::Finish(bool cancelled)
{
    if (m_done)
        return;
    m_done = true;
    m_timer->stop();
    const qsizetype left = Remaining().size();
    const qsizetype stopped = m_signalled.size() - left;
    QStringList parts;
    parts << QStringLiteral("%1 program(s) stopped").arg(stopped);
    if (m_killed)
        parts << QStringLiteral("killed after %1 s").arg(m_graceMs / 1000);
    if (cancelled && left > 0)
        parts << QStringLiteral("%1 still running (waiting cancelled)").arg(left);
    if (!m_refused.isEmpty())
        parts << QStringLiteral("%1 not stopped").arg(m_refused.size());
    emit Finished(parts.join(QStringLiteral(", ")));
}
