#pragma once

#include "platform/VbText.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Starting the suite's programs from Windows-style command lines, never through a shell.
namespace Process {

// Splits a command line by the Windows rules: program name first (quotes without
// backslash rules), then the arguments (quotes, backslashes before quotes, "" inside quotes).
QStringList SplitCommandLine(const QString &commandLine);

enum class Quote { WhenNeeded, Always };
// One argument written so that SplitCommandLine gives it back exactly: in quotes when it
// is empty or holds a blank, tab or quote (or always), with backslashes and quotes escaped.
// WhenNeeded leaves any other value byte for byte as it is.
QString QuoteArgument(const QString &argument, Quote when = Quote::WhenNeeded);

// The program's full path: a name with a directory as it stands; otherwise looked up in
// appDir, then in PATH. Empty when not found.
QString FindProgram(const QString &appDir, const QString &program);

// A started program: its pid, which is also its process group and session, and the start
// time the system gives that pid, which tells it from a later process with the same pid.
struct Started
{
    qint64 pid = 0;
    quint64 startTime = 0;
};

// Starts the command line without waiting, in appDir, in a session and process group of its
// own (so it outlives us and can be stopped as a whole), standard input from /dev/null and
// standard output and error appended to logFile (created 0660 when missing; none: inherited).
// Fails with the platform's description when the program cannot be found or started, or
// the log cannot be opened; a program that cannot be executed is told by the exec's reason.
// marker, when given ("NAME=value"), is added to the program's environment: what it inherits
// and passes on tells later that this program started it (see Facts).
// With a log, a watcher outside this process (nobody's child here) waits for the program and
// appends to the log when it ends: "==== <local time> <label> pid <pid> ended: exit status 3"
// or "...: signal 9"; EndedMark finds that line.
Result<Started> Spawn(const QString &appDir, const QString &commandLine, const QString &logFile = QString(),
                      const QByteArray &marker = QByteArray(), const QByteArray &label = QByteArray());
// What precedes the way the program ended on the line its watcher writes: " pid 1234 ended: ".
QByteArray EndedMark(qint64 pid);

// Spawn without a log, for callers that keep nothing of the start.
Result<void> Start(const QString &appDir, const QString &commandLine);

// Field 22 of /proc/<pid>/stat (clock ticks after boot); none when the process is gone.
std::optional<quint64> StartTimeOf(qint64 pid);

// What /proc tells of a live process, each read there and never taken from a file of ours.
struct Facts
{
    uint uid = 0;            // the owner of /proc/<pid>
    quint64 startTime = 0;   // as StartTimeOf
    qint64 group = 0;        // its process group
    QString workingFolder;   // where it runs, links resolved
    QString output;          // the file its standard output goes to, links resolved; empty when none
    QStringList arguments;   // its command line, argument by argument
    QByteArray environment;  // its environment as it started: NAME=value entries, NUL-separated
};
// None when the process is gone (or a zombie) or /proc does not say.
std::optional<Facts> FactsOf(qint64 pid);
// The processes of this user that lead a process group of their own (as Spawn starts them).
QList<qint64> GroupLeadersOfThisUser();
// The wall-clock time of a start time as StartTimeOf gives it (ticks after boot).
QDateTime StartedAt(quint64 startTime);

// The value of the NAME=value entry of environment; none when absent.
std::optional<QByteArray> EnvironmentValue(const QByteArray &environment, const QByteArray &name);

// Called when a BusyWait begins and ends: the windows show a busy cursor. This layer knows
// no windows; null hooks (the default) show nothing.
void SetWaitHooks(void (*begin)(), void (*end)());

// The wait hooks around a wait of its caller's own; no input reaches the windows meanwhile,
// they still repaint.
class BusyWait final
{
public:
    BusyWait();
    ~BusyWait();
    Q_DISABLE_COPY_MOVE(BusyWait)

private:
    void (*m_end)();
};

} // namespace Process
