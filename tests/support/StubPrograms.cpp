#include "StubPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <limits>

namespace {

// A text as one sh word.
QString ShellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

qint64 PidMax()
{
    QFile f(QStringLiteral("/proc/sys/kernel/pid_max"));
    const qint64 value = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
    return value > 0 ? value : 32768;
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
    const QString script = QStringLiteral(
                               "#!/bin/sh\n"
                               "record=%1/%2.$$\n"
                               "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$record.part\"\n"
                               "%3\n"
                               "mv \"$record.part\" \"$record.run\"\n")
                               .arg(ShellQuoted(recordDir()), ShellQuoted(name), extraShell);
    const QString path = m_dir + u'/' + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(script.toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                         | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    return path;
}

QList<StubPrograms::Run> StubPrograms::Runs(const QString &name) const
{
    QList<Run> runs;
    // Runs of name are "<name>.<pid>.run"; ordered by process id, the order they were started.
    QStringList files = QDir(recordDir()).entryList({name + QStringLiteral(".*.run")}, QDir::Files);
    const auto pidOf = [&](const QString &file) {
        return file.mid(name.size() + 1).section(u'.', 0, 0).toLongLong();
    };
    // Process ids wrap around at pid_max: when the ids span both ends of the range, the
    // small ones came after the wrap.
    qint64 lowest = std::numeric_limits<qint64>::max(), highest = 0;
    for (const QString &file : files) {
        lowest = std::min(lowest, pidOf(file));
        highest = std::max(highest, pidOf(file));
    }
    const qint64 pidMax = PidMax();
    const bool wrapped = highest - lowest > pidMax / 2;
    const auto order = [&](const QString &file) {
        const qint64 pid = pidOf(file);
        return wrapped && pid < pidMax / 2 ? pid + pidMax : pid;
    };
    std::sort(files.begin(), files.end(), [&](const QString &a, const QString &b) { return order(a) < order(b); });
    for (const QString &file : files) {
        if (file.mid(name.size() + 1).count(u'.') != 1) // another program whose name begins like this one
            continue;
        QFile f(recordDir() + u'/' + file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        Run run;
        if (!lines.isEmpty())
            run.workingDirectory = lines.takeFirst();
        run.arguments = lines;
        runs << run;
    }
    return runs;
}

QList<StubPrograms::Run> StubPrograms::WaitForRuns(const QString &name, int count, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QList<Run> runs = Runs(name);
        if (runs.size() >= count || timer.elapsed() > timeoutMs)
            return runs;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
}

void StubPrograms::Clear() const
{
    QDir records(recordDir());
    for (const QString &file : records.entryList(QDir::Files))
        records.remove(file);
}
