#pragma once

#include <QString>

class Session;

// Creating a bus component in the directory service through the directory tool
// ("java MyLDAP"), which reports its outcome by leaving "success.log" or "faliure.log"
// in the application directory.

// The tool's command line: one quoted argument "admin;password;3;name;socket://host:port;0".
// Only host and port are trimmed; nothing is escaped.
QString BusComponentCommandLine(const QString &host, const QString &port, const QString &admin,
                                const QString &adminPassword, const QString &componentName);

// Runs the tool hidden and waits until it ends (no time-out), then reports its log.
// True when the tool reported success.
bool CreateBusComponent(Session &session, const QString &host, const QString &port, const QString &admin,
                        const QString &adminPassword, const QString &componentName);

// Shows the failure log whole (and deletes it), or else the success message (and deletes
// that log). False when the failure log is there or neither is.
bool ReportBusComponentResult(Session &session, const QString &componentName);
