#include "suite/RunStop.h"

#include <QDateTime>
#include <QSet>
#include <QTimer>

#include <cerrno>
#include <csignal>

#include <unistd.h>

RunStopper::RunStopper(const QString &appDir, QList<RunRecord> records, int graceMs, QObject *parent,
                       LocalisedText *texts)
    : QObject(parent), m_appDir(appDir), m_texts(texts), m_graceMs(graceMs), m_timer(new QTimer(this))
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
            m_refused << Text("CS_STOP_LEFT_RUNNING").arg(RunningState::Details({r}, m_texts), proved.error().description);
        } else {
            ++m_notVerifiable;
            m_refused << Text("CS_STOP_NOT_VERIFIABLE_LEFT").arg(RunningState::Details({r}, m_texts), proved.error().description);
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
            m_refused << RunningState::Details({m_signalled[i]}, m_texts) + QStringLiteral(": ") + qt_error_string(error);
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
    emit Progress(Text("CS_STOP_PROGRESS")
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
    parts << Text("CS_STOP_STOPPED").arg(stopped);
    if (m_killed)
        parts << Text("CS_STOP_KILLED_AFTER").arg(m_graceMs / 1000);
    if (cancelled && left > 0)
        parts << Text("CS_STOP_STILL_RUNNING").arg(left);
    if (m_refused.size() > m_notVerifiable)
        parts << Text("CS_STOP_NOT_STOPPED").arg(m_refused.size() - m_notVerifiable);
    if (m_notVerifiable > 0)
        parts << Text("CS_STOP_NOT_VERIFIABLE").arg(m_notVerifiable);
    emit Finished(parts.join(QStringLiteral(", ")));
}
