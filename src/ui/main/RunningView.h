#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include "suite/RunRegister.h"

class LocalisedText;

class QFileSystemWatcher;
class QTimer;

// The main window's view of the run register: what runs for each configuration of the lib
// folder, kept current. The register's folder is watched, so another instance's start shows
// at once; /proc is looked at each second only while something runs.
class RunningView final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RunningView)
public:
    RunningView(const QString &appDir, const QString &configDirectory, LocalisedText &texts, QObject *parent);

    // What runs for each file of the lib folder that has something running, by file name.
    const QHash<QString, QString> &Summaries() const { return m_summaries; }
    // The rows of programs whose file was deleted ("a.tsy (deleted)"), in name order.
    const QStringList &Orphans() const { return m_orphans; }
    // Reads the register now.
    void Reload();

signals:
    void Changed();
    // A program shown as running has ended, by a Stop or from outside: "console of a.tsy ended,
    // signal 9, 07:14"; without how, when its log does not tell within a second.
    void Ended(const QString &note);

private:
    void Check();
    // Tells the ended programs whose log tells how, or whose time to tell it is up.
    void TellEnded();

    QString m_appDir;
    QString m_configDirectory;
    LocalisedText &m_texts;
    QHash<QString, QString> m_summaries;
    QStringList m_orphans;
    // The records shown, to notice one ending.
    QList<RunRecord> m_live;
    // Ended, waiting for the line its watcher writes to the log, until the deadline.
    struct Ending
    {
        RunRecord record;
        QDateTime ended;
        qint64 deadline;
    };
    QList<Ending> m_ending;
    QFileSystemWatcher *m_watcher;
    QTimer *m_poll;
    QTimer *m_settle;
    QTimer *m_endings;
};
