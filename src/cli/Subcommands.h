#pragma once

#include <QString>
#include <QStringList>

class Session;

// The command line's operation of what runs, for operators without a display: --list,
// --status, --run, --stop and --log. They share every rule with the window (the run register
// and its lock, the checks and log files, the second-start rule, Stop and its grace period),
// write results to standard output and messages to standard error, and never show a window.
namespace Subcommands {

enum Status {
    Done = 0,
    Failed = 1,         // not everything started or stopped, a log or folder that cannot be read
    BadCommandLine = 2, // an option or value the subcommand does not take
    NotRunning = 3,     // --status: a configuration named runs nothing
    UnknownFile = 4,    // a file that is no configuration of lib/
    RunningAlready = 5, // --run without --again: something of it runs
};

// True when argument, the first of the command line, names a subcommand.
bool IsSubcommand(const QString &argument);

// Runs the subcommand that arguments (the command line after the program's name) start
// with, on session's application directory; returns the exit status. An event loop must be
// possible (a QCoreApplication).
int Run(Session &session, const QStringList &arguments);

// What each one does (list, status, run, stop, log); the exit statuses above.
int List(Session &session, bool json);
int ShowStatus(Session &session, const QStringList &files, bool json);
int Start(Session &session, const QString &file, bool again, int timeoutSeconds);
int Stop(Session &session, const QString &file, int graceSeconds);
int ShowLog(Session &session, const QString &file, int lines, bool follow);

} // namespace Subcommands
