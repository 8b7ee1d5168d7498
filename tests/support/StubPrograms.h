#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Stand-ins for the suite's outside programs (TessHost.exe, RunServer.bat, java, …):
// executable "#!/bin/sh" scripts that record how they were started — working directory and
// arguments, one per line — so a test can read back exactly what the program was given.
class StubPrograms final
{
public:
    struct Run
    {
        QString workingDirectory;
        QStringList arguments;
    };

    // Scripts are written into dir (usually the application directory); records go to a
    // folder of their own beside them.
    explicit StubPrograms(const QString &dir);

    // Writes the executable script dir/name. extraShell (sh text) runs in the started
    // program's working directory before its run is recorded as finished, e.g. "sleep 1" or
    // "echo done > success.log". Returns the script's path.
    QString Add(const QString &name, const QString &extraShell = QString()) const;

    // Every finished run of name so far, in the order the programs were started.
    QList<Run> Runs(const QString &name) const;
    // Waits (processing events) until name has run count times or timeoutMs passed;
    // returns Runs(name).
    QList<Run> WaitForRuns(const QString &name, int count = 1, int timeoutMs = 10000) const;
    // Forgets every recorded run.
    void Clear() const;

    // True when no process but this one works in dir or below it: every program started
    // there has ended. A program started detached is running from its start's return on, so
    // this waits for what it does, and proves that nothing started there does more.
    static bool NoneRunsIn(const QString &dir);

private:
    QString recordDir() const;

    QString m_dir;
};
