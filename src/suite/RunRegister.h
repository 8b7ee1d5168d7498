#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class LocalisedText;

// What the window started, shared by every instance and operator of one application
// directory through a file under log/. A record names its process by pid and the start time
// the system gives that pid, so a later process that got the same pid is never taken for it.

enum class RunKind { Console, JavaServer, Dispatcher };
// Its name in the register, the logs' names and the command line's output: "console", "java",
// "dispatcher".
const char *KindName(RunKind kind);

struct RunRecord
{
    qint64 pid = 0;
    quint64 startTime = 0;
    uint uid = 0;
    QString user;
    QDateTime started;
    RunKind kind = RunKind::Console;
    // The configuration's full path; a joint file's section ("FMK", "RST") for its consoles,
    // the publisher bus component for a dispatcher.
    QString configFile;
    QString section;
    QString commandLine;
    QString logFile;
    // The configuration the program belongs to now: configFile until a rename moves it (made
    // here, or found by the file's identity), marked deleted once deleted here. A later file
    // of the same name is another configuration.
    QString file;
    bool fileDeleted = false;
    // The identity (device, inode) of that file when started or last followed; 0 when unknown.
    quint64 fileDevice = 0, fileInode = 0;
    // Read's finding, never stored: no file of that name is there now (deleted or moved outside).
    bool fileMissing = false;

    // Its file is gone: the programs are shown on a row of their own.
    bool Orphaned() const { return fileDeleted || fileMissing; }
};

namespace RunRegister {

QString RegisterPath(const QString &appDir);
// Where a program of this configuration writes: log/<file>.<kind>[-<section>].log; a second
// one of the same kind started while the first runs writes log/<file>.<kind>[-<section>].2.log
// (copy 2), so that no two programs' lines mix in one log.
QString LogFileFor(const QString &appDir, RunKind kind, const QString &configFile, const QString &section = {},
                   int copy = 1);

// Every record in the file, running or not. A missing register is an empty one.
Result<QList<RunRecord>> Load(const QString &appDir);
// True while the record's pid runs and is still the process that was started.
bool IsRunning(const RunRecord &record);
// The records of Load that still run, and the programs this folder started that no record
// names (FindUnrecorded).
Result<QList<RunRecord>> Read(const QString &appDir);
// The programs of this user that carry the mark StartRecorded gives (this application folder)
// and are not among recorded: a window killed between a start and its record leaves one. Each
// is made a record as StartRecorded would have written it, and only when Verify proves it.
QList<RunRecord> FindUnrecorded(const QString &appDir, const QList<RunRecord> &recorded);
// Follows a configuration file renamed (to) or deleted (to empty) here: the programs started
// for it stay with it, and a later file under its old name is another configuration.
Result<void> FileMoved(const QString &appDir, const QString &from, const QString &to);
// Where each record's file is now: a file renamed outside is followed by its identity (and
// the register told so); a name missing is fileMissing. The records' folders are looked at
// only when a name no longer holds the recorded file.
void Place(const QString &appDir, QList<RunRecord> &records);

// Adds records under the register's lock, dropping those no longer running, so that two
// instances adding at once both keep theirs. The file is replaced whole, mode 0660.
Result<void> Add(const QString &appDir, const QList<RunRecord> &records);

// Starts commandLine in appDir with its output appended to the log of the first
// configuration, and records it for each of configFiles (a Java server serves several).
// A start that succeeds but cannot be recorded is still a start: the record's pid is set
// and recorded tells why it is not in the register.
struct StartedRun
{
    RunRecord record;
    Result<void> recorded;
};
Result<StartedRun> StartRecorded(const QString &appDir, RunKind kind, const QStringList &configFiles,
                                 const QString &section, const QString &commandLine);

// Whether this user may signal the record's process group: the pid is above 1 and /proc says
// the process is this user's (its owner read there, never the record's uid), started at the
// recorded time, leads its own process group, runs in appDir, and is the recorded program
// started by this application folder for the recorded file (its command line and the mark
// StartRecorded gives its environment). The reason otherwise; for another user's program the
// reason names that user. Nothing read from the shared register counts as proof.
Result<void> Verify(const QString &appDir, const RunRecord &record);
// True when Verify's refusal is that another user's process it is.
bool BelongsToAnother(const RunRecord &record);

// The command line as it may be shown or written: every password field of the Java server's
// values ("<product>;<server>;<user>;<password>;<platform>") and of the directory tool's
// ("<admin>;<password>;...") replaced by "****".
QString Masked(const QString &commandLine);

// Appends a line to the configuration's program log in appDir's log/ when that log exists.
void AppendToLog(const QString &appDir, const RunRecord &record, const QString &line);

// How the record's program ended, as its log's last line about it says: "exit status 0",
// "signal 9"; empty while no such line is there (not yet written, or no watcher saw it end).
QString HowEnded(const QString &appDir, const RunRecord &record);

// The program logs of the configuration in log/, the newest last.
QStringList LogFilesOf(const QString &appDir, const QString &configFile);

// The login name of this process's user.
QString CurrentUser();

} // namespace RunRegister

// What runs for the configurations, as the list and the questions tell it.
namespace RunningState {

// The records of the configuration at path.
QList<RunRecord> Of(const QList<RunRecord> &records, const QString &configFile);
// One line for the list: "console since 10:02, op2"; a joint file's
// "consoles FMK, RST since 10:02, op2; Java server since 10:02, op2; dispatchers PUB since 10:03, op2".
// Times of another day carry the date. Empty when nothing runs.
// Words from texts, or the built-in English without.
QString Summary(const QList<RunRecord> &ofOneConfiguration, const QDateTime &now = QDateTime::currentDateTime(),
                LocalisedText *texts = nullptr);
// The row of the list the record is shown on: its file's name, or for a file that is gone
// "<name> (deleted)" (a name no configuration file can have).
QString RowName(const RunRecord &record);
// The same name taken back: the file name of an orphan row, empty for any other name.
QString OrphanedFileName(const QString &rowName);
// The records of configDirectory's files by RowName.
QMap<QString, QList<RunRecord>> ByRow(const QList<RunRecord> &records, const QString &configDirectory);
// The summary of each row that has something running, by RowName.
QHash<QString, QString> SummariesByFileName(const QList<RunRecord> &records, const QString &configDirectory,
                                            LocalisedText *texts = nullptr);
// One line per program, for a question or a message: what, pid, since when, started by whom.
QString Details(const QList<RunRecord> &records, LocalisedText *texts = nullptr);
// The text of label from texts, or the built-in English without.
QString Text(LocalisedText *texts, const char *label);

} // namespace RunningState
