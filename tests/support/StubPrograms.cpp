#include "StubPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtCore/qtestsupport_core.h>

#include <map>

namespace {

qint64 PidMax()
{
    QFile f(QStringLiteral("/proc/sys/kernel/pid_max"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 32768;
}

} // namespace

StubPrograms::StubPrograms(const QString &dir) : m_dir(QDir(dir).absolutePath())
{
    QDir().mkpath(recordDir());
}

QString StubPrograms::recordDir() const { return m_dir + QStringLiteral("/.stub-records"); }

QString StubPrograms::Add(const QString &name, const QString &extraShell) const
{
    // A run is written to a temporary name and renamed when the program is done, so a
    // reader never sees half a record. The name carries the process id: programs started
    // one after the other get rising ids, while the moment each script gets to run can
    // come in either order.
    // The script is started by its absolute path: its records lie beside it.
    const QString script = QStringLiteral(
                               "#!/bin/sh\n"
                               "record=\"$(dirname \"$0\")/.stub-records/$(basename \"$0\").$$\"\n"
                               "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$record.part\"\n"
                               "%1\n"
                               "mv \"$record.part\" \"$record.run\"\n")
                               .arg(extraShell);
    const QString path = m_dir + u'/' + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(script.toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return path;
}

QList<StubPrograms::Run> StubPrograms::Runs(const QString &name) const
{
    // Runs of name are "<name>.<pid>.run"; ordered by process id, the order they were started.
    const QRegularExpression own(QStringLiteral("^%1\\.(\\d+)\\.run$").arg(QRegularExpression::escape(name)));
    std::map<qint64, Run> byPid;
    for (const QString &file : QDir(recordDir()).entryList(QDir::Files)) {
        const QRegularExpressionMatch match = own.match(file);
        QFile f(recordDir() + u'/' + file);
        if (!match.hasMatch() || !f.open(QIODevice::ReadOnly))
            continue;
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        lines.removeLast(); // after the last line's end
        byPid[match.captured(1).toLongLong()] = Run{lines.takeFirst(), lines};
    }
    // Process ids wrap around at pid_max: when the ids span both ends of the range, the
    // small ones came after the wrap.
    const qint64 half = PidMax() / 2;
    const bool wrapped = !byPid.empty() && byPid.rbegin()->first - byPid.begin()->first > half;
    QList<Run> runs, afterWrap;
    for (const auto &[pid, run] : byPid)
        (wrapped && pid < half ? afterWrap : runs) << run;
    return runs + afterWrap;
}

QList<StubPrograms::Run> StubPrograms::WaitForRuns(const QString &name, int count, int timeoutMs) const
{
    (void)QTest::qWaitFor([&] { return Runs(name).size() >= count; }, timeoutMs);
    return Runs(name);
}

bool StubPrograms::NoneRunsIn(const QString &dir)
{
    const QString root = QFileInfo(dir).canonicalFilePath();
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        // Other users' processes and ended ones (zombies) give no working directory.
        const QString cwd = QFileInfo(QStringLiteral("/proc/") + pid + QStringLiteral("/cwd")).symLinkTarget();
        if (!cwd.isEmpty() && (cwd == root || cwd.startsWith(root + u'/')))
            return false;
    }
    return true;
}

void StubPrograms::Clear() const
{
    QDir(recordDir()).removeRecursively();
    QDir().mkpath(recordDir());
}
