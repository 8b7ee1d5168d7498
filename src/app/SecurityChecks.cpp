#include "app/SecurityChecks.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SecurityChecks {
namespace {

QString UserName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString GroupName(gid_t gid)
{
    const group *entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

} // namespace

QString ProcWarning(const QByteArray &mounts)
{
    for (const QByteArray &line : mounts.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 4 || fields[1] != "/proc" || fields[2] != "proc")
            continue;
        for (const QByteArray &option : fields[3].split(',')) {
            if (option.startsWith("hidepid=") && option != "hidepid=0" && option != "hidepid=off")
                return QString();
        }
        return QStringLiteral("warning: /proc is mounted without hidepid: every account of this machine can read "
                              "the command lines of the programs started here (the Java server's holds database "
                              "passwords) with ps; mount /proc with hidepid=invisible");
    }
    return QString();
}

QStringList FolderWarnings(const QString &appDir)
{
    QStringList warnings;
    for (const char *name : {"lib", "log", "OAComponents"}) {
        const QString path = QDir(appDir).filePath(QLatin1String(name));
        const mode_t wanted = qstrcmp(name, "OAComponents") == 0 ? 03770 : 02770;
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue; // made when needed, with the layout's mode
        QStringList departures;
        if ((st.st_mode & 07777) != wanted)
            departures << QStringLiteral("mode %1").arg(QString::number(st.st_mode & 07777, 8));
        if (st.st_uid != 0)
            departures << QStringLiteral("owner %1").arg(UserName(st.st_uid));
        if (GroupName(st.st_gid) != QLatin1String(kGroup))
            departures << QStringLiteral("group %1").arg(GroupName(st.st_gid));
        if (!departures.isEmpty())
            warnings << QStringLiteral("warning: %1: %2; the layout that protects the operators is mode %3, owner "
                                       "root, group %4")
                            .arg(QDir::toNativeSeparators(path), departures.join(QStringLiteral(", ")),
                                 QString::number(wanted, 8), QLatin1String(kGroup));
    }
    return warnings;
}

QStringList Warnings(const QString &appDir)
{
    QStringList warnings = FolderWarnings(appDir);
    if (const Result<QByteArray> mounts = FileIo::ReadBytes(QStringLiteral("/proc/self/mounts"), 1024 * 1024)) {
        if (const QString proc = ProcWarning(mounts.value()); !proc.isEmpty())
            warnings.prepend(proc);
    }
    return warnings;
}

} // namespace SecurityChecks
