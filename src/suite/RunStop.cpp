#include "suite/RunStop.h"

#include <QDateTime>
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

} // namespace

RunStopper::RunStopper(const QString &appDir, QList<RunRecord> records, int graceMs, QObject *parent)
    : QObject(parent), m_appDir(appDir), m_graceMs(graceMs), m_timer(new QTimer(this))
{
    QSet<qint64> seen;
    for (const RunRecord &r : records) {
        // One program recorded for several configurations is signalled once.
        if (seen.contains(r.pid))
            continue;
        seen.insert(r.pid);
        if (!RunRegister::IsRunning(r))
            continue; // ended meanwhile: nothing to signal, nothing to say
        const Result<void> proved = RunRegister::Verify(m_appDir, r);
        if (proved) {
            m_signalled << r;
        } else if (RunRegister::BelongsToAnother(r)) {
            m_refused << Named(r) + QStringLiteral(": left running, ") + proved.error().description;
        } else {
            ++m_notVerifiable;
            m_refused << Named(r) + QStringLiteral(": not verifiable, left alone: ") + proved.error().description;
            RunRegister::AppendToLog(m_appDir, r,
                                     QStringLiteral("==== %1 Stop by %2 sent no signal to pid %3: %4")
                                         .arg(QDateTime::currentDateTime().toString(Qt::ISODate),
                                              RunRegister::CurrentUser())
                                         .arg(r.pid)
                                         .arg(proved.error().description));
        }
    }
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &RunStopper::Check);
}

// The verified process group, proved again right before each signal: a pid that ended and
// was given to another process is not signalled. 0 when signalled or gone.
int RunStopper::Signal(const RunRecord &r, int signal) const
{
    if (!RunRegister::IsRunning(r) || !RunRegister::Verify(m_appDir, r))
        return 0;
    return ::kill(-pid_t(r.pid), signal) == 0 ? 0 : errno;
}

RunStopper::~RunStopper() = default;

void RunStopper::Start()
{
    for (qsizetype i = 0; i < m_signalled.size();) {
        if (const int error = Signal(m_signalled[i], SIGTERM); error) {
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
            Signal(r, SIGKILL);
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
    if (m_refused.size() > m_notVerifiable)
        parts << QStringLiteral("%1 not stopped").arg(m_refused.size() - m_notVerifiable);
    if (m_notVerifiable > 0)
        parts << QStringLiteral("%1 not verifiable").arg(m_notVerifiable);
    emit Finished(parts.join(QStringLiteral(", ")));
}
