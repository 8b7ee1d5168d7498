#include "cli/ConfigurationStates.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>

namespace ConfigurationStates {

namespace {

QString OrDash(const QString &value) { return value.isEmpty() ? QStringLiteral("-") : value; }

QString Application(const State &s, const AppNames &appNames)
{
    const QString name = appNames(s.listed.shownProduct);
    if (!s.listed.joint)
        return name;
    return name.isEmpty() ? QStringLiteral("joint") : name + QStringLiteral(" (joint)");
}

// Rows of cells in columns as wide as their widest cell, the last one as it is.
QString Aligned(const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (qsizetype i = 0; i + 1 < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    return text;
}

} // namespace

Result<Folder> ReadFolder(const QString &configDirectory, const QList<RunRecord> &records)
{
    const Result<ConfigList::Listing> listing = ConfigList::ListFolder(configDirectory);
    if (!listing)
        return listing.error();
    QHash<QString, QList<RunRecord>> byFile;
    for (const RunRecord &r : records)
        byFile[r.configFile] << r;
    Folder folder;
    folder.leftOut = listing.value().leftOut;
    folder.states.reserve(listing.value().files.size());
    for (const DirectoryListing::Entry &file : listing.value().files) {
        ConfigList::ListedFile listed = ConfigList::ReadFile(configDirectory, file.name, file.kind);
        if (listed.presence != ConfigList::ListedFile::Presence::Listed)
            continue; // gone or become a folder since the listing
        folder.states << State{file.name, std::move(listed), byFile.value(configDirectory + u'/' + file.name)};
    }
    return folder;
}

Result<QString> NameOf(const QString &configDirectory, const ConfigList::Listing &listing, const QString &argument)
{
    QString name = argument;
    if (argument.contains(u'/')) {
        const QFileInfo info(argument);
        name = info.fileName();
        if (info.absoluteDir().canonicalPath() != QDir(configDirectory).canonicalPath())
            name.clear();
    }
    for (const QString &candidate : {name, name + QStringLiteral(".tsy")}) {
        for (const DirectoryListing::Entry &file : listing.files) {
            if (!name.isEmpty() && file.name == candidate)
                return candidate;
        }
    }
    return Failure{ErrorNumber::FileNotFound,
                   QStringLiteral("%1: no such configuration in %2").arg(argument, QDir::toNativeSeparators(configDirectory))};
}

QJsonObject ToJson(const State &s, const QString &configDirectory, const AppNames &appNames)
{
    QJsonArray programs;
    for (const RunRecord &r : s.running)
        programs.append(QJsonObject{
            {"kind", QLatin1String(KindName(r.kind))},
            {"section", r.section},
            {"pid", r.pid},
            {"uid", qint64(r.uid)},
            {"user", r.user},
            {"since", r.started.toUTC().toString(Qt::ISODate)},
            {"logFile", r.logFile},
        });
    const ConfigList::ListedFile &l = s.listed;
    return QJsonObject{
        {"file", s.name},
        {"path", configDirectory + u'/' + s.name},
        {"application", appNames(l.shownProduct)},
        {"productCode", l.shownProduct},
        {"joint", l.joint},
        {"dsn", l.entry.Dsn},
        {"database", l.database},
        {"user", l.entry.User},
        {"busComponent", l.busComponent},
        {"logDirectory", l.logDirectory},
        {"readable", l.unreadable.isEmpty()},
        {"reason", l.unreadable},
        {"state", s.running.isEmpty() ? "stopped" : "running"},
        {"programs", programs},
    };
}

QString ProgramsText(const QList<RunRecord> &running)
{
    QStringList parts;
    for (const RunRecord &r : running) {
        QString what = QLatin1String(KindName(r.kind));
        if (!r.section.isEmpty())
            what += u' ' + r.section;
        parts << QStringLiteral("%1 pid %2 by %3 since %4")
                     .arg(what)
                     .arg(r.pid)
                     .arg(r.user, r.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return parts.join(QStringLiteral("; "));
}

QString ListText(const QList<State> &states, const AppNames &appNames)
{
    QList<QStringList> rows;
    rows.reserve(states.size() + 1);
    rows << QStringList{"FILE", "APPLICATION", "DSN", "DATABASE", "USER", "STATE", "PROGRAMS"};
    for (const State &s : states) {
        const QString state = !s.running.isEmpty()            ? QStringLiteral("running")
                              : !s.listed.unreadable.isEmpty() ? QStringLiteral("unreadable")
                                                               : QStringLiteral("stopped");
        QString detail = ProgramsText(s.running);
        if (!s.listed.unreadable.isEmpty())
            detail = s.listed.unreadable + (detail.isEmpty() ? QString() : QStringLiteral("; ") + detail);
        rows << QStringList{s.name,
                            OrDash(Application(s, appNames)),
                            OrDash(s.listed.entry.Dsn),
                            OrDash(s.listed.database),
                            OrDash(s.listed.entry.User),
                            state,
                            detail};
    }
    return Aligned(rows);
}

QString StatusText(const QList<State> &states)
{
    QList<QStringList> rows;
    for (const State &s : states)
        rows << QStringList{s.name, s.running.isEmpty() ? QStringLiteral("stopped") : QStringLiteral("running"),
                            ProgramsText(s.running)};
    return Aligned(rows);
}

} // namespace ConfigurationStates
