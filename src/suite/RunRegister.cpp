#include "suite/RunRegister.h"

#include "app/LocalisedText.h"

#include "config/ConfigListReader.h"
#include "config/ConfigStore.h"
#include "platform/DirectoryListing.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/FileTail.h"
#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <functional>

#include <cerrno>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

const char *KindName(RunKind kind)
{
    switch (kind) {
    case RunKind::Console: return "console";
    case RunKind::JavaServer: return "java";
    case RunKind::Dispatcher: return "dispatcher";
    }
    return "console";
}

namespace {

std::optional<RunKind> KindOf(const QString &name)
{
    for (RunKind kind : {RunKind::Console, RunKind::JavaServer, RunKind::Dispatcher}) {
        if (name == QLatin1String(KindName(kind)))
            return kind;
    }
    return std::nullopt;
}

QJsonObject ToJson(const RunRecord &r)
{
    return QJsonObject{
        {"pid", r.pid},
        // As text: a double holds only 53 bits.
        {"startTime", QString::number(r.startTime)},
        {"uid", qint64(r.uid)},
        {"user", r.user},
        {"started", r.started.toUTC().toString(Qt::ISODate)},
        {"kind", QLatin1String(KindName(r.kind))},
        {"configFile", r.configFile},
        {"section", r.section},
        {"commandLine", r.commandLine},
        {"logFile", r.logFile},
        {"file", r.file},
        {"fileDeleted", r.fileDeleted},
        {"fileId", QStringLiteral("%1:%2").arg(r.fileDevice).arg(r.fileInode)},
    };
}

std::optional<RunRecord> FromJson(const QJsonObject &o)
{
    RunRecord r;
    r.pid = o.value("pid").toInteger();
    bool ok = false;
    r.startTime = o.value("startTime").toString().toULongLong(&ok);
    const std::optional<RunKind> kind = KindOf(o.value("kind").toString());
    // A record this program cannot have written is no record: never signal its pid.
    if (r.pid <= 0 || !ok || !kind)
        return std::nullopt;
    r.kind = *kind;
    r.uid = uint(o.value("uid").toInteger());
    r.user = o.value("user").toString();
    r.started = QDateTime::fromString(o.value("started").toString(), Qt::ISODate).toLocalTime();
    r.configFile = o.value("configFile").toString();
    r.section = o.value("section").toString();
    r.commandLine = o.value("commandLine").toString();
    r.logFile = o.value("logFile").toString();
    // A register written before files were followed: the file it was started for.
    r.file = o.value("file").toString();
    if (r.file.isEmpty())
        r.file = r.configFile;
    r.fileDeleted = o.value("fileDeleted").toBool();
    const QStringList id = o.value("fileId").toString().split(u':');
    r.fileDevice = id.value(0).toULongLong();
    r.fileInode = id.value(1).toULongLong();
    return r;
}

void SetIdentity(RunRecord &r)
{
    const QFileInfo info(r.file);
    const ConfigList::FileIdentity id = ConfigList::IdentityOf(info.path(), info.fileName());
    r.fileDevice = id.exists ? id.device : 0;
    r.fileInode = id.exists ? id.inode : 0;
}

// The same program recorded for the same configuration.
bool SameRecord(const RunRecord &a, const RunRecord &b)
{
    return a.pid == b.pid && a.startTime == b.startTime && a.configFile == b.configFile;
}

// Replaces the register, under its lock, with what change makes of its live records, the
// programs no record names and added.
Result<void> Rewrite(const QString &appDir, const std::function<void(QList<RunRecord> &)> &change,
                     const QList<RunRecord> &added = {})
{
    // The register is replaced by a rename, so the lock is a file beside it that stays.
    // Another instance holds it for a few milliseconds; one that hangs is not waited for long.
    const auto lock = FileLock::LockFile(RunRegister::RegisterPath(appDir) + QStringLiteral(".lock"), 2000);
    if (!lock)
        return lock.error();
    // A register that cannot be read is replaced: the processes it named are found no more,
    // which is better than recording nothing from now on.
    QList<RunRecord> records = RunRegister::Load(appDir).value_or({});
    records.removeIf([](const RunRecord &r) { return !RunRegister::IsRunning(r); });
    // Programs no record names are recorded with these; one being recorded now is not found.
    records << RunRegister::FindUnrecorded(appDir, records + added);
    records << added;
    change(records);
    QJsonArray array;
    for (const RunRecord &r : std::as_const(records))
        array.append(ToJson(r));
    // Every operator of the group replaces it in turn: 0660, whoever made it.
    return FileIo::WriteFileAtomic(RunRegister::RegisterPath(appDir), QJsonDocument(array).toJson(QJsonDocument::Indented));
}

Failure RegisterFailure(const QString &path, const QString &why)
{
    return {ErrorNumber::PathFileAccess, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why)};
}

} // namespace

namespace RunRegister {

QString RegisterPath(const QString &appDir)
{
    return ConfigStore::DefaultLogDirectory(appDir) + QStringLiteral("/running-programs.json");
}

QString LogFileFor(const QString &appDir, RunKind kind, const QString &configFile, const QString &section, int copy)
{
    QString name = QFileInfo(configFile).fileName();
    if (name.isEmpty())
        name = QStringLiteral("no-configuration");
    name += u'.' + QLatin1String(KindName(kind));
    if (!section.isEmpty())
        name += u'-' + section;
    if (copy > 1)
        name += u'.' + QString::number(copy);
    return ConfigStore::DefaultLogDirectory(appDir) + u'/' + name + QStringLiteral(".log");
}

Result<QList<RunRecord>> Load(const QString &appDir)
{
    const QString path = RegisterPath(appDir);
    const Result<QByteArray> bytes = FileIo::ReadBytes(path, 16 * 1024 * 1024);
    if (!bytes && bytes.error().number == ErrorNumber::FileNotFound)
        return QList<RunRecord>(); // a missing register is an empty one
    if (!bytes)
        return bytes.error();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.value(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return RegisterFailure(path, QStringLiteral("not a register of started programs (%1)").arg(error.errorString()));
    QList<RunRecord> records;
    for (const QJsonValue &value : document.array()) {
        if (const std::optional<RunRecord> record = FromJson(value.toObject()))
            records << *record;
    }
    return records;
}

bool IsRunning(const RunRecord &record)
{
    const std::optional<quint64> startTime = Process::StartTimeOf(record.pid);
    return startTime && *startTime == record.startTime;
}

Result<QList<RunRecord>> Read(const QString &appDir)
{
    Result<QList<RunRecord>> records = Load(appDir);
    if (records) {
        records.value().removeIf([](const RunRecord &r) { return !IsRunning(r); });
        // A window killed between a start and its record leaves a program no record names.
        records.value() << FindUnrecorded(appDir, records.value());
        Place(appDir, records.value());
    }
    return records;
}

Result<void> Add(const QString &appDir, const QList<RunRecord> &added)
{
    return Rewrite(appDir, [](QList<RunRecord> &) {}, added);
}

Result<void> FileMoved(const QString &appDir, const QString &from, const QString &to)
{
    return Rewrite(appDir, [&](QList<RunRecord> &records) {
        for (RunRecord &r : records) {
            if (r.file != from || r.fileDeleted)
                continue;
            if (to.isEmpty()) {
                r.fileDeleted = true;
            } else {
                r.file = to;
                SetIdentity(r);
            }
        }
    });
}

void Place(const QString &appDir, QList<RunRecord> &records)
{
    // Each folder's names by the inode its listing gives, read once and only when needed:
    // one listing, no look at each of thousands of files each second.
    QHash<QString, QMultiHash<quint64, QString>> folders;
    auto nameOf = [&](const QString &folder, quint64 device, quint64 inode) {
        auto it = folders.find(folder);
        if (it == folders.end()) {
            QMultiHash<quint64, QString> names;
            for (const DirectoryListing::Entry &e : DirectoryListing::Files(folder).value_or({}))
                names.insert(e.inode, e.name);
            it = folders.insert(folder, names);
        }
        // A candidate is proved by its device and inode as stat gives them.
        for (auto name = it->constFind(inode); name != it->cend() && name.key() == inode; ++name) {
            const ConfigList::FileIdentity id = ConfigList::IdentityOf(folder, name.value());
            if (id.exists && id.device == device && id.inode == inode)
                return folder + u'/' + name.value();
        }
        return QString();
    };
    QList<RunRecord> followed;
    for (RunRecord &r : records) {
        if (r.fileDeleted || r.file.isEmpty())
            continue;
        const QFileInfo info(r.file);
        const ConfigList::FileIdentity now = ConfigList::IdentityOf(info.path(), info.fileName());
        if (r.fileInode == 0 || (now.exists && now.device == r.fileDevice && now.inode == r.fileInode)) {
            r.fileMissing = !now.exists;
            continue;
        }
        // The recorded file under another name: renamed outside; the programs go with it.
        const QString movedTo = nameOf(info.path(), r.fileDevice, r.fileInode);
        if (!movedTo.isEmpty()) {
            r.file = movedTo;
        } else if (now.exists) {
            // Another file under the name and the recorded one nowhere: a save replaced it.
            r.fileDevice = now.device;
            r.fileInode = now.inode;
        } else {
            // Gone for now; a file that comes back under the name (a restore) is theirs again.
            r.fileMissing = true;
            continue;
        }
        followed << r;
    }
    if (followed.isEmpty())
        return;
    // Told to the register, so that a file made later under the old name is not taken for it.
    [[maybe_unused]] const Result<void> told = Rewrite(appDir, [&](QList<RunRecord> &stored) {
        for (RunRecord &s : stored) {
            for (const RunRecord &f : std::as_const(followed)) {
                if (SameRecord(s, f) && !s.fileDeleted) {
                    s.file = f.file;
                    s.fileDevice = f.fileDevice;
                    s.fileInode = f.fileInode;
                }
            }
        }
    });
}

QString HowEnded(const QString &appDir, const RunRecord &record)
{
    // Only a log of the log folder: the shared register may name any file.
    if (record.logFile.isEmpty() || QFileInfo(record.logFile).path() != ConfigStore::DefaultLogDirectory(appDir))
        return {};
    const QByteArray tail = FileTail(record.logFile, 64 * 1024).ReadNew(64 * 1024);
    const QByteArray mark = Process::EndedMark(record.pid);
    const qsizetype at = tail.lastIndexOf(mark);
    if (at < 0)
        return {};
    const qsizetype from = at + mark.size(), end = tail.indexOf('\n', from);
    // Only a whole line: one being written is read again.
    return end < 0 ? QString() : QString::fromUtf8(tail.mid(from, end - from));
}

QStringList LogFilesOf(const QString &appDir, const QString &configFile)
{
    const QString name = QFileInfo(configFile).fileName();
    if (name.isEmpty())
        return {};
    QStringList files;
    const QFileInfoList found = QDir(ConfigStore::DefaultLogDirectory(appDir))
                                    .entryInfoList({name + QStringLiteral(".*.log")}, QDir::Files | QDir::NoSymLinks,
                                                   QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : found) {
        // Only the names this program gives: "<file>.<kind>[-<section>].log".
        const QString kind = info.fileName().mid(name.size() + 1).section(u'.', 0, 0).section(u'-', 0, 0);
        if (KindOf(kind))
            files << info.absoluteFilePath();
    }
    return files;
}

QString CurrentUser()
{
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(::getuid());
}

namespace {

const QByteArray MarkerName = QByteArrayLiteral("CONFIGURATION_SELECTOR_STARTED");

QString ProgramName(const QString &commandLine)
{
    return QFileInfo(Process::SplitCommandLine(commandLine).value(0)).fileName();
}

// The mark a started program carries in its environment: the application folder, the kind,
// the program and the configurations, one a line.
QByteArray Marker(const QString &appDir, RunKind kind, const QString &commandLine, const QStringList &configFiles)
{
    const QString canonical = QFileInfo(appDir).canonicalFilePath();
    return MarkerName + '='
           + QFile::encodeName(QStringList{canonical, QLatin1String(KindName(kind)), ProgramName(commandLine)}
                                   .join(u'\n')
                               + u'\n' + configFiles.join(u'\n'));
}

// Masks the password of one ";"-separated value: the fields from first to the one before last
// (a password may hold ";" itself).
QString MaskFields(const QString &value, int first, int fromEnd)
{
    QStringList fields = value.split(u';');
    if (fields.size() < first + fromEnd + 1)
        return value;
    fields = fields.mid(0, first) + QStringList{QStringLiteral("****")} + fields.mid(fields.size() - fromEnd);
    return fields.join(u';');
}

} // namespace

QString Masked(const QString &commandLine)
{
    QStringList parts = Process::SplitCommandLine(commandLine);
    bool changed = false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString before = parts[i];
        const qsizetype fields = before.count(u';') + 1;
        if (fields >= 5 && QFileInfo(parts[0]).fileName().compare(QLatin1String("java"), Qt::CaseInsensitive) == 0)
            parts[i] = MaskFields(before, 1, 4); // the directory tool: admin;password;3;name;endpoint;0
        else if (fields >= 5)
            parts[i] = MaskFields(before, 3, 1); // product;server;user;password;platform
        changed = changed || parts[i] != before;
    }
    if (!changed)
        return commandLine;
    QString line = Process::QuoteArgument(parts[0]);
    for (qsizetype i = 1; i < parts.size(); ++i)
        line += u' ' + Process::QuoteArgument(parts[i], parts[i].contains(u';') ? Process::Quote::Always
                                                                              : Process::Quote::WhenNeeded);
    return line;
}

QList<RunRecord> FindUnrecorded(const QString &appDir, const QList<RunRecord> &recorded)
{
    QList<RunRecord> found;
    const QString folder = QFileInfo(appDir).canonicalFilePath();
    QSet<qint64> known;
    for (const RunRecord &r : recorded)
        known.insert(r.pid);
    for (const qint64 pid : Process::GroupLeadersOfThisUser()) {
        if (known.contains(pid) || pid == ::getpid())
            continue;
        const std::optional<Process::Facts> facts = Process::FactsOf(pid);
        const std::optional<QByteArray> marker =
            facts ? Process::EnvironmentValue(facts->environment, MarkerName) : std::nullopt;
        const QStringList mark = marker ? QFile::decodeName(*marker).split(u'\n') : QStringList();
        const std::optional<RunKind> kind = mark.size() >= 4 ? KindOf(mark[1]) : std::nullopt;
        if (!kind || mark[0] != folder)
            continue;
        // The command line from the recorded program on (a start file runs through its shell).
        const qsizetype first =
            facts->arguments.size() > 1 && QFileInfo(facts->arguments[0]).fileName() != mark[2] ? 1 : 0;
        const QStringList arguments = facts->arguments.mid(first);
        QString commandLine;
        for (const QString &argument : arguments)
            commandLine += (commandLine.isEmpty() ? QString() : QStringLiteral(" ")) + Process::QuoteArgument(argument);
        RunRecord r;
        r.pid = pid;
        r.startTime = facts->startTime;
        r.uid = ::getuid();
        r.user = CurrentUser();
        r.started = Process::StartedAt(facts->startTime);
        r.kind = *kind;
        r.commandLine = Masked(commandLine);
        // What the start gave: a joint file's console names its section last, a dispatcher
        // runs from its publisher's folder.
        if (r.kind == RunKind::Console && arguments.size() >= 4 && arguments[arguments.size() - 2].endsWith(QLatin1String("/C")))
            r.section = arguments.last();
        else if (r.kind == RunKind::Dispatcher && !arguments.isEmpty())
            r.section = QFileInfo(arguments[0]).dir().dirName();
        for (const QString &file : mark.mid(3)) {
            if (file.isEmpty())
                continue;
            r.configFile = file;
            r.file = file;
            SetIdentity(r);
            // The log it writes: a second program of a kind has a log of its own.
            r.logFile = LogFileFor(appDir, r.kind, file, r.section);
            const QString logFolder = QFileInfo(r.logFile).path();
            if (const QFileInfo output(facts->output); output.path() == QFileInfo(logFolder).canonicalFilePath())
                r.logFile = logFolder + u'/' + output.fileName();
            if (Verify(appDir, r))
                found << r;
        }
    }
    return found;
}

Result<void> Verify(const QString &appDir, const RunRecord &r)
{
    auto no = [](const QString &why) { return Failure{ErrorNumber::PermissionDenied, why}; };
    if (r.pid <= 1)
        return no(QStringLiteral("pid %1 cannot be a program this folder started").arg(r.pid));
    const std::optional<Process::Facts> facts = Process::FactsOf(r.pid);
    if (!facts)
        return no(QStringLiteral("no process %1 runs").arg(r.pid));
    if (facts->uid != ::getuid()) {
        const passwd *owner = ::getpwuid(facts->uid);
        return no(QStringLiteral("it belongs to %1")
                      .arg(owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(facts->uid)));
    }
    if (facts->startTime != r.startTime)
        return no(QStringLiteral("process %1 started at another time than the recorded one").arg(r.pid));
    if (facts->group != r.pid)
        return no(QStringLiteral("process %1 does not lead a process group of its own").arg(r.pid));
    const QString folder = QFileInfo(appDir).canonicalFilePath();
    if (facts->workingFolder != folder)
        return no(QStringLiteral("process %1 runs in %2, not in %3").arg(r.pid).arg(facts->workingFolder, folder));
    const std::optional<QByteArray> marker = Process::EnvironmentValue(facts->environment, MarkerName);
    const QStringList mark = marker ? QFile::decodeName(*marker).split(u'\n') : QStringList();
    if (mark.size() < 4 || mark[0] != folder || mark[1] != QLatin1String(KindName(r.kind))
        || !mark.mid(3).contains(r.configFile))
        return no(QStringLiteral("process %1 was not started from this folder as the %2 of %3")
                      .arg(r.pid)
                      .arg(QLatin1String(KindName(r.kind)), QDir::toNativeSeparators(r.configFile)));
    // The mark names the program; the record must claim the same one. The process's own command
    // line is not asked to: a suite script that execs its server (java) keeps the mark, which
    // no other account can put into this user's processes, but not its name.
    const QString program = mark[2];
    if (ProgramName(r.commandLine) != program)
        return no(QStringLiteral("the command line of process %1 is not the recorded program %2").arg(r.pid).arg(program));
    return {};
}

bool BelongsToAnother(const RunRecord &record)
{
    const std::optional<Process::Facts> facts = Process::FactsOf(record.pid);
    return record.pid > 1 && facts && facts->uid != ::getuid();
}

void AppendToLog(const QString &appDir, const RunRecord &record, const QString &line)
{
    // Only a log that is there: a record may name any file, and none is made for it.
    const QString path = LogFileFor(appDir, record.kind, record.configFile, record.section);
    if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink())
        return;
    if (const Result<SharedFolder::Handle> log = FileIo::OpenAppend(path)) {
        const QByteArray bytes = line.toLocal8Bit() + '\n';
        [[maybe_unused]] const ssize_t n = ::write(log.value()->Fd(), bytes.constData(), size_t(bytes.size()));
    }
}

Result<StartedRun> StartRecorded(const QString &appDir, RunKind kind, const QStringList &configFiles,
                                 const QString &section, const QString &commandLine)
{
    const QString configFile = configFiles.value(0);
    RunRecord record;
    record.kind = kind;
    record.configFile = configFile;
    record.file = configFile;
    record.section = section;
    // Passwords never reach the register or the log; the program itself gets them.
    record.commandLine = Masked(commandLine);
    // A log another running program of this configuration writes is left to it.
    QSet<QString> taken;
    for (const RunRecord &r : Load(appDir).value_or({})) {
        if (IsRunning(r))
            taken.insert(r.logFile);
    }
    for (int copy = 1; record.logFile.isEmpty() || taken.contains(record.logFile); ++copy)
        record.logFile = LogFileFor(appDir, kind, configFile, section, copy);
    record.uid = ::getuid();
    record.user = CurrentUser();
    record.started = QDateTime::currentDateTime();
    // A line before each start, so that the log tells one run from the next; a log that cannot
    // be opened (a link put in its place) fails the start below, naming it.
    if (const Result<SharedFolder::Handle> log = FileIo::OpenAppend(record.logFile)) {
        const QByteArray line = QStringLiteral("==== %1 started by %2: %3\n")
                                    .arg(record.started.toString(Qt::ISODate), record.user, record.commandLine)
                                    .toLocal8Bit();
        [[maybe_unused]] const ssize_t n = ::write(log.value()->Fd(), line.constData(), size_t(line.size()));
    }
    const QByteArray label = QByteArray(KindName(kind)) + (section.isEmpty() ? QByteArray() : ' ' + section.toUtf8());
    const Result<Process::Started> started =
        Process::Spawn(appDir, commandLine, record.logFile, Marker(appDir, kind, commandLine, configFiles), label);
    if (!started)
        return started.error();
    record.pid = started.value().pid;
    record.startTime = started.value().startTime;
    if (record.startTime == 0 || configFiles.isEmpty())
        return StartedRun{record, {}}; // it has already ended, or serves no configuration: nothing to record
    QList<RunRecord> records;
    for (const QString &file : configFiles) {
        records << record;
        records.last().configFile = file;
        records.last().file = file;
        SetIdentity(records.last());
    }
    return StartedRun{record, Add(appDir, records)};
}

} // namespace RunRegister

namespace RunningState {

QList<RunRecord> Of(const QList<RunRecord> &records, const QString &configFile)
{
    QList<RunRecord> of;
    for (const RunRecord &r : records) {
        if (r.file == configFile && !r.Orphaned())
            of << r;
    }
    return of;
}

namespace {

QString Since(const QDateTime &started, const QDateTime &now)
{
    if (started.date() == now.date())
        return started.toString(QStringLiteral("HH:mm"));
    return started.toString(QStringLiteral("d MMM HH:mm"));
}

QString KindText(RunKind kind, bool several, LocalisedText *texts)
{
    switch (kind) {
    case RunKind::Console: return RunningState::Text(texts, several ? "CS_RUN_CONSOLES" : "CS_RUN_CONSOLE");
    case RunKind::JavaServer: return RunningState::Text(texts, several ? "CS_RUN_JAVA_SERVERS" : "CS_RUN_JAVA_SERVER");
    case RunKind::Dispatcher: return RunningState::Text(texts, several ? "CS_RUN_DISPATCHERS" : "CS_RUN_DISPATCHER");
    }
    return {};
}

} // namespace

QString Text(LocalisedText *texts, const char *label)
{
    // Without texts, the one rule of the built-in English (a missing label shows as itself).
    return texts ? texts->GetText(QLatin1String(label)) : Wording(label).English();
}

QString Summary(const QList<RunRecord> &records, const QDateTime &now, LocalisedText *texts)
{
    QStringList parts;
    for (RunKind kind : {RunKind::Console, RunKind::JavaServer, RunKind::Dispatcher}) {
        QStringList sections, users;
        QDateTime earliest;
        int count = 0;
        for (const RunRecord &r : records) {
            if (r.kind != kind)
                continue;
            ++count;
            if (!r.section.isEmpty() && !sections.contains(r.section))
                sections << r.section;
            if (!users.contains(r.user))
                users << r.user;
            if (!earliest.isValid() || r.started < earliest)
                earliest = r.started;
        }
        if (count == 0)
            continue;
        QString part = KindText(kind, count > 1, texts);
        if (count > 1 && sections.size() < count)
            part = QString::number(count) + u' ' + part;
        if (!sections.isEmpty())
            part += u' ' + sections.join(QStringLiteral(", "));
        parts << Text(texts, "CS_RUN_SINCE").arg(part, Since(earliest, now), users.join(u'/'));
    }
    return parts.join(QStringLiteral("; "));
}

namespace {
const QString OrphanMark = QStringLiteral(" (deleted)");
} // namespace

QString RowName(const RunRecord &record)
{
    const QString name = QFileInfo(record.file).fileName();
    return record.Orphaned() ? name + OrphanMark : name;
}

QString OrphanedFileName(const QString &rowName)
{
    return rowName.endsWith(OrphanMark) ? rowName.chopped(OrphanMark.size()) : QString();
}

QMap<QString, QList<RunRecord>> ByRow(const QList<RunRecord> &records, const QString &configDirectory)
{
    QMap<QString, QList<RunRecord>> byRow;
    const QString prefix = configDirectory + u'/';
    for (const RunRecord &r : records) {
        if (r.file.startsWith(prefix) && r.file.indexOf(u'/', prefix.size()) < 0)
            byRow[RowName(r)] << r;
    }
    return byRow;
}

QHash<QString, QString> SummariesByFileName(const QList<RunRecord> &records, const QString &configDirectory,
                                            LocalisedText *texts)
{
    const QMap<QString, QList<RunRecord>> byFile = ByRow(records, configDirectory);
    QHash<QString, QString> summaries;
    const QDateTime now = QDateTime::currentDateTime();
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it)
        summaries.insert(it.key(), Summary(it.value(), now, texts));
    return summaries;
}

QString Details(const QList<RunRecord> &records, LocalisedText *texts)
{
    QStringList lines;
    for (const RunRecord &r : records) {
        QString what = KindText(r.kind, false, texts);
        if (!r.section.isEmpty())
            what += u' ' + r.section;
        lines << Text(texts, "CS_RUN_DETAIL")
                     .arg(what, QString::number(r.pid), r.started.toString(QStringLiteral("d MMM yyyy HH:mm:ss")), r.user);
    }
    return lines.join(u'\n');
}

} // namespace RunningState
