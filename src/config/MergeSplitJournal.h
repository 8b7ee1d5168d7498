#pragma once

#include "config/MergeSplitPair.h"
#include "platform/Result.h"

#include "platform/Wording.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Merge and Split changes three things one after the other (the directory service, the two
// databases, the joint file); a window killed between them leaves some done and some not.
// Its journal in log/ says how far one got: written before the first step and after each,
// removed at the end, so that an interrupted one is found and told at the next start.
namespace MergeSplitJournal {

// The steps, in their order; the journal names the last one done.
enum class Step { Begun, DirectoryTool, FieldmarkCommitted, RostrumCommitted, JointFileWritten };
// "not begun", "the bus component created", ...: what the operator is told was done.
Wording StepText(Step step);

struct Entry
{
    QString jointFile; // its file name in lib/
    MergeSplitPick pick;
    QString publisher, host, port, admin; // the dialog's values; passwords are never kept
    QString user;
    QDateTime started;
    qint64 pid = 0;          // the window that runs it, and that process's start time:
    quint64 startTime = 0;   // a journal of a window still running is not interrupted
    Step reached = Step::Begun;
};

// log/merge-and-split.<joint file>.journal of appDir.
QString PathFor(const QString &appDir, const QString &jointFile);
// The entry replaces the joint file's journal whole (0660, the folder's group).
Result<void> Write(const QString &appDir, const Entry &entry);
// Removes the joint file's journal; one already gone is no failure.
Result<void> Remove(const QString &appDir, const QString &jointFile);

// The journals of log/ whose window no longer runs: each an interrupted Merge and Split.
// A journal that cannot be read is told in unreadable, naming it and why.
struct Found
{
    QList<Entry> interrupted;
    QStringList unreadable;
};
Found Interrupted(const QString &appDir);
// One line for a message or --check: the joint file, who started it when, the step reached.
Wording Describe(const Entry &entry);

// The bytes of a journal and back; none when bytes are not one.
QByteArray ToBytes(const Entry &entry);
std::optional<Entry> FromBytes(const QByteArray &bytes);

} // namespace MergeSplitJournal
