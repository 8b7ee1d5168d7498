#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QProcess;

// The built program run from a test's application directory, as a script on a machine
// without a display runs it: a copy of it in dir (so dir's lib/ and log/ are the ones it
// uses; its shared libraries stay where they were built), no DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM, the test's own ODBC files.
namespace ProgramRun {

struct Outcome
{
    int exitCode = -1; // -1: it crashed or did not end in time
    QString out, err;
};

// The environment it runs in; extra is added.
QProcessEnvironment Environment(const QProcessEnvironment &extra = {});
// Starts it with arguments; the caller waits.
void Start(QProcess &process, const QString &dir, const QStringList &arguments,
           const QProcessEnvironment &extra = {});
// Runs it to its end, at most timeoutMs.
Outcome Run(const QString &dir, const QStringList &arguments, int timeoutMs = 30000,
            const QProcessEnvironment &extra = {});

} // namespace ProgramRun
