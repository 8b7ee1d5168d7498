#pragma once

#include "platform/VbText.h"
#include "app/SuiteContext.h"

#include <QList>
#include <QString>

// Starts everything that serves a joint configuration: a server console per section, the
// Java server for both, one event dispatcher per publisher bus component. True only when
// every one of them started; each failure is reported.
bool RunMergeAndSplit(const SuiteContext &suite, const QString &jointFilePath);

// The server console of one section ("FMK" or "RST"); a failed start is reported.
bool StartServerConsole(const SuiteContext &suite, const QString &jointFilePath, const QString &section);

// The Java server's quoted argument for one section: application; server; user; password;
// platform. Platform 2 asks the database for its server name. Fails when the section's
// platform is not a number, or (kind ServerNameUnknown) when the server name cannot be read.
Result<QString> BuildMnSJavaArgument(Messages &messages, const QString &jointFilePath, const QString &section);
// The same from the joint file's text as one reading found it.
Result<QString> BuildMnSJavaArgumentFromText(Messages &messages, const QString &jointText, const QString &section);

// One publisher bus component and the consumers it publishes for, ";"-separated.
struct DispatcherRecord
{
    QString PublisherBusComp;
    QString ClientBusComp;
    bool operator==(const DispatcherRecord &) const = default;
};

// Adds one row of a database to the list: a new publisher gets a record of its own, a known
// one gets the consumer appended unless the client list already names it (exact names).
void AddDispatcherRow(QList<DispatcherRecord> &list, const QString &publisher, const QString &consumer);

// Why a bus component name cannot stand in a dispatcher's properties file (a line break, a
// character the file cannot carry, a ";" that would split the consumer list), in the language
// of messages; empty when it can.
QString WhyNotPropertiesName(Messages &messages, const QString &name);
// The same, and why it cannot name the dispatcher's folder: for a publisher.
QString WhyNotBusComponentName(Messages &messages, const QString &name);

// Prepares a folder per publisher under OAComponents from the templates there and starts
// its dispatcher. True when every dispatcher was started.
bool ExecuteDispatcher(const SuiteContext &suite, const QString &jointFilePath);
// The same with the values of both sections taken from jointText, the file as one reading found it.
bool ExecuteDispatcherFromText(const SuiteContext &suite, const QString &jointFilePath, const QString &jointText);

// One dispatcher: its folder under OAComponents/ made (never through a link), the templates
// copied into it when no account but root and this user could have changed them, and its start
// file started, recorded for jointFilePath. Fails naming the file or folder refused and why.
Result<void> PrepareAndStartDispatcher(const SuiteContext &suite, const QString &jointFilePath,
                                       const DispatcherRecord &record);
