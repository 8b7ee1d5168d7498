#include "suite/RunRegister.h"

#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <cerrno>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *KindName(RunKind kind)
{
    switch (kind) {
    case RunKind::Console: return "console";
    case RunKind::JavaServer: return "java";
    case RunKind::Dispatcher: return "dispatcher";
    }
    return "console";
}

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
    return r;
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

QString LogFileFor(const QString &appDir, RunKind kind, const QString &configFile, const QString &section)
{
    QString name = QFileInfo(configFile).fileName();
    if (name.isEmpty())
        name = QStringLiteral("no-configuration");
    name += u'.' + QLatin1String(KindName(kind));
    if (!section.isEmpty())
        name += u'-' + section;
    return ConfigStore::DefaultLogDirectory(appDir) + u'/' + name + QStringLiteral(".log");
}

Result<QList<RunRecord>> Load(const QString &appDir)
{
    const QString path = RegisterPath(appDir);
    if (!QFileInfo::exists(path))
        return QList<RunRecord>();
    const Result<QByteArray> bytes = FileIo::ReadBytes(path, 16 * 1024 * 1024);
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
    if (records)
        records.value().removeIf([](const RunRecord &r) { return !IsRunning(r); });
    return records;
}

Result<void> Add(const QString &appDir, const QList<RunRecord> &added)
{
    // The register is replaced by a rename, so the lock is a file beside it that stays.
    // Another instance holds it for a few milliseconds; one that hangs is not waited for long.
    const auto lock = FileLock::LockFile(RegisterPath(appDir) + QStringLiteral(".lock"), 2000);
    if (!lock)
        return lock.error();
    // A register that cannot be read is replaced: the processes it named are found no more,
    // which is better than recording nothing from now on.
    QList<RunRecord> records = Read(appDir).value_or({});
    records << added;
    QJsonArray array;
    for (const RunRecord &r : std::as_const(records))
        array.append(ToJson(r));
    const QString path = RegisterPath(appDir);
    const bool existed = QFileInfo::exists(path);
    if (Result<void> written = FileIo::WriteFileAtomic(path, QJsonDocument(array).toJson(QJsonDocument::Indented));
        !written)
        return written;
    // Every operator of the group replaces it in turn.
    if (!existed)
        ::chmod(QFile::encodeName(path).constData(), 0660);
    return {};
}

QStringList LogFilesOf(const QString &appDir, const QString &configFile)
{
    const QString name = QFileInfo(configFile).fileName();
    if (name.isEmpty())
        return {};
    QStringList files;
    const QFileInfoList found = QDir(ConfigStore::DefaultLogDirectory(appDir))
                                    .entryInfoList({name + QStringLiteral(".*.log")}, QDir::Files, QDir::Time | QDir::Reversed);
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

Result<StartedRun> StartRecorded(const QString &appDir, RunKind kind, const QStringList &configFiles,
                                 const QString &section, const QString &commandLine)
{
    const QString configFile = configFiles.value(0);
    RunRecord record;
    record.kind = kind;
    record.configFile = configFile;
    record.section = section;
    record.commandLine = commandLine;
    record.logFile = LogFileFor(appDir, kind, configFile, section);
    record.uid = ::getuid();
    record.user = CurrentUser();
    record.started = QDateTime::currentDateTime();
    // A line before each start, so that the log tells one run from the next.
    if (QFile log(record.logFile); log.open(QIODevice::Append)) {
        log.write(QStringLiteral("==== %1 started by %2: %3\n")
                      .arg(record.started.toString(Qt::ISODate), record.user, commandLine)
                      .toLocal8Bit());
        log.close();
    }
    const Result<Process::Started> started = Process::Spawn(appDir, commandLine, record.logFile);
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
    }
    return StartedRun{record, Add(appDir, records)};
}

} // namespace RunRegister

namespace RunningState {

QList<RunRecord> Of(const QList<RunRecord> &records, const QString &configFile)
{
    QList<RunRecord> of;
    for (const RunRecord &r : records) {
        if (r.configFile == configFile)
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

QString KindText(RunKind kind, bool several)
{
    switch (kind) {
    case RunKind::Console: return several ? QStringLiteral("consoles") : QStringLiteral("console");
    case RunKind::JavaServer: return several ? QStringLiteral("Java servers") : QStringLiteral("Java server");
    case RunKind::Dispatcher: return several ? QStringLiteral("dispatchers") : QStringLiteral("dispatcher");
    }
    return {};
}

} // namespace

QString Summary(const QList<RunRecord> &records, const QDateTime &now)
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
        QString part = KindText(kind, count > 1);
        if (count > 1 && sections.size() < count)
            part = QString::number(count) + u' ' + part;
        if (!sections.isEmpty())
            part += u' ' + sections.join(QStringLiteral(", "));
        parts << part + QStringLiteral(" since ") + Since(earliest, now) + QStringLiteral(", ") + users.join(u'/');
    }
    return parts.join(QStringLiteral("; "));
}

QHash<QString, QString> SummariesByFileName(const QList<RunRecord> &records, const QString &configDirectory)
{
    QMap<QString, QList<RunRecord>> byFile;
    const QString prefix = configDirectory + u'/';
    for (const RunRecord &r : records) {
        if (r.configFile.startsWith(prefix) && r.configFile.indexOf(u'/', prefix.size()) < 0)
            byFile[r.configFile.mid(prefix.size())] << r;
    }
    QHash<QString, QString> summaries;
    const QDateTime now = QDateTime::currentDateTime();
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it)
        summaries.insert(it.key(), Summary(it.value(), now));
    return summaries;
}

QString Details(const QList<RunRecord> &records)
{
    QStringList lines;
    for (const RunRecord &r : records) {
        QString what = KindText(r.kind, false);
        if (!r.section.isEmpty())
            what += u' ' + r.section;
        lines << QStringLiteral("%1 (pid %2) since %3, started by %4")
                     .arg(what)
                     .arg(r.pid)
                     .arg(r.started.toString(QStringLiteral("d MMM yyyy HH:mm:ss")), r.user);
    }
    return lines.join(u'\n');
}

} // namespace RunningState
