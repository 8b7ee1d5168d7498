#pragma once

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
    // Reads the register now.
    void Reload();

signals:
    void Changed();
    // A program shown as running has ended, by a Stop or from outside: "console of a.tsy ended, 07:14".
    void Ended(const QString &note);

private:
    void Check();

    QString m_appDir;
    QString m_configDirectory;
    LocalisedText &m_texts;
    QHash<QString, QString> m_summaries;
    // The records shown, to notice one ending.
    QList<RunRecord> m_live;
    QFileSystemWatcher *m_watcher;
    QTimer *m_poll;
    QTimer *m_settle;
};
