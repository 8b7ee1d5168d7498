#include "config/MergeSplitJournal.h"

#include "platform/DirectoryListing.h"
#include "platform/FileIo.h"
#include "platform/Process.h"
#include "platform/SharedFolder.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <unistd.h>

namespace MergeSplitJournal {
namespace {

const QString Prefix = QStringLiteral("merge-and-split.");
const QString Suffix = QStringLiteral(".journal");

QString LogFolder(const QString &appDir) { return QDir(appDir).filePath(QStringLiteral("log")); }

const char *const StepNames[] = {"begun", "directory tool", "Fieldmark committed", "Rostrum committed",
                                 "joint file written"};

} // namespace

Wording StepText(Step step)
{
    switch (step) {
    case Step::Begun: return Wording("CS_JOURNAL_BEGUN");
    case Step::DirectoryTool: return Wording("CS_JOURNAL_DIRECTORY_TOOL");
    case Step::FieldmarkCommitted: return Wording("CS_JOURNAL_FIELDMARK_COMMITTED");
    case Step::RostrumCommitted: return Wording("CS_JOURNAL_ROSTRUM_COMMITTED");
    case Step::JointFileWritten: return Wording("CS_JOURNAL_JOINT_FILE_WRITTEN");
    }
    return {};
}

QString PathFor(const QString &appDir, const QString &jointFile)
{
    return LogFolder(appDir) + u'/' + Prefix + jointFile + Suffix;
}

QByteArray ToBytes(const Entry &e)
{
    const QJsonObject o{
        {"jointFile", e.jointFile},
        {"fieldmark", e.pick[0]},
        {"rostrum", e.pick[1]},
        {"publisher", e.publisher},
        {"host", e.host},
        {"port", e.port},
        {"admin", e.admin},
        {"user", e.user},
        {"started", e.started.toUTC().toString(Qt::ISODate)},
        {"pid", e.pid},
        {"startTime", QString::number(e.startTime)},
        {"reached", QLatin1String(StepNames[int(e.reached)])},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<Entry> FromBytes(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    Entry e;
    e.jointFile = o.value("jointFile").toString();
    e.pick = {o.value("fieldmark").toString(), o.value("rostrum").toString()};
    e.publisher = o.value("publisher").toString();
    e.host = o.value("host").toString();
    e.port = o.value("port").toString();
    e.admin = o.value("admin").toString();
    e.user = o.value("user").toString();
    e.started = QDateTime::fromString(o.value("started").toString(), Qt::ISODate).toLocalTime();
    e.pid = o.value("pid").toInteger();
    e.startTime = o.value("startTime").toString().toULongLong();
    const QString reached = o.value("reached").toString();
    int step = 0;
    while (step < int(std::size(StepNames)) && reached != QLatin1String(StepNames[step]))
        ++step;
    // A file name that would leave lib/ is no journal of this program.
    if (step == int(std::size(StepNames)) || !FileIo::IsValidFileName(e.jointFile))
        return std::nullopt;
    e.reached = Step(step);
    return e;
}

Result<void> Write(const QString &appDir, const Entry &entry)
{
    return FileIo::WriteFileAtomic(PathFor(appDir, entry.jointFile), ToBytes(entry));
}

Result<void> Remove(const QString &appDir, const QString &jointFile)
{
    const Result<SharedFolder::Folder> log = SharedFolder::Folder::Open(LogFolder(appDir));
    if (!log)
        return log.error();
    return log->Remove(Prefix + jointFile + Suffix);
}

Found Interrupted(const QString &appDir)
{
    Found found;
    const QString folder = LogFolder(appDir);
    const Result<QList<DirectoryListing::Entry>> entries = DirectoryListing::Files(folder);
    if (!entries)
        return found;
    for (const DirectoryListing::Entry &file : entries.value()) {
        if (!file.name.startsWith(Prefix) || !file.name.endsWith(Suffix) || SharedFolder::IsTemporaryName(file.name))
            continue;
        const QString path = folder + u'/' + file.name;
        const Result<QByteArray> bytes = FileIo::ReadBytes(path, FileIo::kTextFileLimit);
        if (!bytes) {
            if (bytes.error().number != ErrorNumber::FileNotFound) // finished meanwhile
                found.unreadable << bytes.error().description;
            continue;
        }
        std::optional<Entry> entry = FromBytes(bytes.value());
        if (!entry) {
            found.unreadable << QStringLiteral("%1: not a Merge and Split journal of this program")
                                    .arg(QDir::toNativeSeparators(path));
            continue;
        }
        // Still running in a window (this one's own, or another's that /proc shows).
        if (entry->pid > 0 && Process::StartTimeOf(entry->pid) == entry->startTime)
            continue;
        found.interrupted << *entry;
    }
    return found;
}

Wording Describe(const Entry &e)
{
    return Wording("CS_JOURNAL_INTERRUPTED", {e.jointFile, e.pick[0], e.pick[1], e.publisher, e.user,
                                              e.started.toString(QStringLiteral("d MMM yyyy HH:mm:ss")),
                                              StepText(e.reached)});
}

} // namespace MergeSplitJournal
