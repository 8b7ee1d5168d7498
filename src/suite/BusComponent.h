#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Messages;

// Creating a bus component in the directory service through the directory tool
// ("java MyLDAP"), which reports its outcome by leaving "success.log" or "faliure.log"
// in its working folder.

// The tool's command line: one quoted argument "admin;password;3;name;socket://host:port;0".
// Only host and port are trimmed; nothing is escaped.
QString BusComponentCommandLine(const QString &host, const QString &port, const QString &admin,
                                const QString &adminPassword, const QString &componentName);

// Called several times a second while the tool runs, with the whole seconds since it
// started; returning false ends the tool. Once more with ToolEnded when the tool has ended and
// before its outcome is told, so that no "waiting" shows behind that message.
constexpr int ToolEnded = -1;
using ToolWaiting = std::function<bool(int elapsedSeconds)>;

// Runs the tool of appDir hidden in a new folder of its own ($XDG_RUNTIME_DIR, else
// logDirectory), with CLASSPATH the application directory then the CLASSPATH it was given, waits until it
// ends, reports its log and removes the folder. Without waiting, the windows take no input meanwhile;
// with it they do, so that the caller can offer to cancel. True only when the tool reported
// success; a tool that cannot start, is cancelled or leaves no log is reported as a failure.
bool CreateBusComponent(Messages &messages, const QString &appDir, const QString &logDirectory, const QString &host,
                        const QString &port, const QString &admin, const QString &adminPassword,
                        const QString &componentName, const ToolWaiting &waiting = {});

// Removes the working folders of earlier runs of the tool that no run holds any more (their
// window was killed before it removed them). One line for each that stays, naming it and why.
QStringList RemoveEarlierToolFolders(const QString &logDirectory);

// Shows the failure log of folder whole (and deletes it), or else the success message (and
// deletes that log), or else that the tool left no log. True only for the success log.
bool ReportBusComponentResult(Messages &messages, const QString &componentName, const QString &folder);
