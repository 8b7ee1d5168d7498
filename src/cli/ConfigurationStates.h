#pragma once

#include "config/ConfigListReader.h"
#include "platform/Result.h"
#include "suite/RunRegister.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>

// What --list and --status tell of the configurations of lib/: each file as the window's
// list reads it, and what runs for it as the run register says.
namespace ConfigurationStates {

struct State
{
    QString name; // the file name in lib/
    ConfigList::ListedFile listed;
    QList<RunRecord> running;
};

// The display name of a product code, "" for none.
using AppNames = std::function<QString(qint16 productCode)>;

// The configurations of configDirectory in list order (at most the list's number, leftOut
// counting the rest), each with what runs for it among records.
struct Folder
{
    QList<State> states;
    int leftOut = 0;
};
Result<Folder> ReadFolder(const QString &configDirectory, const QList<RunRecord> &records);

// The file of lib/ that argument names: a listed file name, the same without ".tsy", or a
// path to a file of configDirectory. Fails with a message naming the folder.
Result<QString> NameOf(const QString &configDirectory, const ConfigList::Listing &listing, const QString &argument);

// One configuration for scripts, by stable names: file, path, application, productCode,
// joint, dsn, database, user, busComponent, logDirectory, readable, reason, state ("running",
// "stopped"), programs (kind, section, pid, uid, user, since in UTC, logFile).
QJsonObject ToJson(const State &state, const QString &configDirectory, const AppNames &appNames);

// One line per program that runs: "console FMK pid 1234 by op2 since 2026-12-07 10:02:03", joined by "; ".
QString ProgramsText(const QList<RunRecord> &running);

// The lines of --list: a header, then file, application, DSN, database, user, state and
// what runs (or why the file cannot be read) in aligned columns; "-" for an empty value.
QString ListText(const QList<State> &states, const AppNames &appNames);
// The lines of --status: file, "running" or "stopped", what runs.
QString StatusText(const QList<State> &states);

} // namespace ConfigurationStates
