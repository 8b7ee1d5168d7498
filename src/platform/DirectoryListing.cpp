#include "platform/DirectoryListing.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DirectoryListing {

Result<QList<Entry>> Files(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return Failure{ErrorNumber::PathFileAccess, qt_error_string(errno)};
    const int dirFd = ::dirfd(dir);
    QList<Entry> entries;
    for (;;) {
        // Set before each entry: a failed look at one entry must not read as a failed listing.
        errno = 0;
        const dirent *e = ::readdir(dir);
        if (!e)
            break;
        const char *raw = e->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        Kind kind = Kind::Unknown;
        switch (e->d_type) {
        case DT_DIR:
            continue;
        case DT_REG:
            kind = Kind::RegularFile;
            break;
        case DT_LNK:
            kind = Kind::Link;
            break;
        case DT_FIFO:
        case DT_CHR:
        case DT_BLK:
        case DT_SOCK:
            kind = Kind::Other;
            break;
        default: {
            // A file system that gives no type: the entry itself decides, never what it leads to.
            struct stat st;
            if (::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
                kind = Kind::Unknown;
            else if (S_ISDIR(st.st_mode))
                continue;
            else if (S_ISLNK(st.st_mode))
                kind = Kind::Link;
            else
                kind = S_ISREG(st.st_mode) ? Kind::RegularFile : Kind::Other;
        }
        }
        entries.append({QFile::decodeName(raw), kind, quint64(e->d_ino)});
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0)
        return Failure{ErrorNumber::PathFileAccess, qt_error_string(err)};
    return entries;
}

} // namespace DirectoryListing
