#pragma once

#include "suite/RunRegister.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

class QTimer;

// Ends programs of the register: SIGTERM to each one's process group, SIGKILL to the groups
// still there after the grace period. Only a record RunRegister::Verify proves is signalled,
// and only its process group: a program another user runs is named with that user and left
// alone; any other record is "not verifiable", left alone, and its program log says why.
class RunStopper final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunStopper)
public:
    // appDir: the application folder whose programs these are (they run there).
    // texts: the words of what it tells; the built-in English without.
    RunStopper(const QString &appDir, QList<RunRecord> records, int graceMs = 10000, QObject *parent = nullptr,
               LocalisedText *texts = nullptr);
    ~RunStopper() override;

    // Sends SIGTERM and starts watching; Finished follows (at once when nothing was signalled).
    void Start();
    // Stops waiting: what still runs got SIGTERM and is left so.
    void Cancel();

    // One line per program left alone or that could not be signalled, with the reason.
    const QStringList &Refused() const { return m_refused; }
    // How many of Refused are records that could not be proved to be a program started here.
    int NotVerifiable() const { return m_notVerifiable; }
    // The signalled programs still running.
    QList<RunRecord> Remaining() const;
    bool Killed() const { return m_killed; }

signals:
    // "Stopping 2 programs: 3 s of 10" while waiting.
    void Progress(const QString &text);
    // What was stopped, what was left, what was refused.
    void Finished(const QString &outcome);

private:
    void Check();
    void Finish(bool cancelled);

    int Signal(const RunRecord &r, int signal) const;

    QString Text(const char *label) const { return RunningState::Text(m_texts, label); }

    QString m_appDir;
    LocalisedText *m_texts;
    QList<RunRecord> m_signalled;
    int m_notVerifiable = 0;
    QStringList m_refused;
    int m_graceMs;
    bool m_killed = false;
    bool m_done = false;
    QElapsedTimer m_clock;
    QTimer *m_timer;
};
