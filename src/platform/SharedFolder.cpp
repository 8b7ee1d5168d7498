#include "platform/SharedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace SharedFolder {
namespace {

constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;

// The names in the folder open at fd, "." and ".." left out; none when it cannot be listed.
std::optional<QList<QByteArray>> EntriesOf(int fd)
{
    const int listed = ::dup(fd);
    DIR *dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return std::nullopt;
    }
    ::rewinddir(dir); // the duplicate shares its position with fd
    QList<QByteArray> names;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    return names;
}

QByteArray Native(const QString &name) { return QFile::encodeName(name); }

// Nothing but the permission bits: a set-user-ID or set-group-ID bit is never given to a file.
mode_t FileBits(mode_t mode) { return mode & 0777; }

} // namespace

Wording KindWording(mode_t mode)
{
    if (S_ISLNK(mode))
        return Wording("CS_KIND_LINK");
    if (S_ISFIFO(mode))
        return Wording("CS_KIND_FIFO");
    if (S_ISSOCK(mode))
        return Wording("CS_KIND_SOCKET");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Wording("CS_KIND_DEVICE");
    if (S_ISDIR(mode))
        return Wording("CS_KIND_FOLDER");
    if (S_ISREG(mode))
        return Wording("CS_KIND_REGULAR");
    return Wording("CS_KIND_NOT_REGULAR");
}

Descriptor::~Descriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Descriptor::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

Result<Folder> Folder::Open(const QString &path)
{
    const int fd = path.isEmpty() ? -1 : ::open(Native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int err = path.isEmpty() ? ENOENT : errno;
        return Failure{err == ENOENT || err == ENOTDIR ? ErrorNumber::PathNotFound : ErrorNumber::PathFileAccess,
                       QStringLiteral("%1: %2").arg(err == ENOENT || err == ENOTDIR ? QStringLiteral("Path not found")
                                                                                   : qt_error_string(err),
                                                    QDir::toNativeSeparators(path))};
    }
    return Folder(path, std::make_shared<Descriptor>(fd));
}

QString Folder::PathOf(const QString &name) const { return m_path + u'/' + name; }

struct stat Folder::Status() const
{
    struct stat st {};
    ::fstat(Fd(), &st);
    return st;
}

std::optional<struct stat> Folder::Look(const QString &name) const
{
    struct stat st {};
    if (::fstatat(Fd(), Native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return st;
}

Failure Folder::Refused(const QString &name, int err) const
{
    const QString path = QDir::toNativeSeparators(PathOf(name));
    if (err == ENOENT)
        return {ErrorNumber::FileNotFound, QStringLiteral("File not found: ") + path};
    // Whatever the call said, what the name is tells the operator most.
    if (const std::optional<struct stat> st = Look(name); st && (err == ELOOP || err == ENOTDIR || err == EISDIR
                                                                 || err == ENXIO || err == 0))
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_SHARED_NOT_REGULAR", {path, KindWording(st->st_mode)}));
    return {ErrorNumber::PathFileAccess, QStringLiteral("%1: %2").arg(qt_error_string(err), path)};
}

Result<Folder> Folder::Sub(const QString &name) const
{
    const int fd = ::openat(Fd(), Native(name).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        const int err = errno;
        const std::optional<struct stat> st = Look(name);
        if (err != ENOENT && st && !S_ISDIR(st->st_mode))
            return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_SHARED_NOT_A_FOLDER", {QDir::toNativeSeparators(PathOf(name)),
                                                                                                 KindWording(st->st_mode)}));
        return Refused(name, err);
    }
    return Folder(PathOf(name), std::make_shared<Descriptor>(fd));
}

Result<Folder> Folder::MakeSub(const QString &name) const
{
    if (::mkdirat(Fd(), Native(name).constData(), 0700) != 0) {
        if (errno != EEXIST)
            return Failure{ErrorNumber::PathFileAccess,
                           QStringLiteral("%1: %2").arg(qt_error_string(errno), QDir::toNativeSeparators(PathOf(name)))};
        return Sub(name);
    }
    Result<Folder> made = Sub(name);
    if (made) {
        // Made 0700 first, so that no one uses it before it has its group and mode.
        [[maybe_unused]] const int ignored = ::fchown(made->Fd(), uid_t(-1), Status().st_gid);
        ::fchmod(made->Fd(), kFolderMode);
    }
    return made;
}

int OpenEntry(const QString &path)
{
    return ::open(Native(path).constData(), O_RDONLY | kOpenFlags);
}

Result<OpenedFile> Folder::OpenRead(const QString &name) const
{
    const int fd = ::openat(Fd(), Native(name).constData(), O_RDONLY | kOpenFlags);
    if (fd < 0)
        return Refused(name, errno);
    OpenedFile opened{std::make_unique<Descriptor>(fd), {}};
    if (::fstat(fd, &opened.st) != 0)
        return Refused(name, errno);
    if (!S_ISREG(opened.st.st_mode))
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_SHARED_NOT_REGULAR", {QDir::toNativeSeparators(PathOf(name)),
                                                                                            KindWording(opened.st.st_mode)}));
    return opened;
}

Result<Handle> Folder::OpenAppend(const QString &name) const
{
    const int fd = ::openat(Fd(), Native(name).constData(), O_WRONLY | O_APPEND | O_CREAT | kOpenFlags, kFileMode);
    if (fd < 0)
        return Refused(name, errno);
    Handle handle = std::make_unique<Descriptor>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Refused(name, errno);
    if (!S_ISREG(st.st_mode))
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_SHARED_NOT_REGULAR", {QDir::toNativeSeparators(PathOf(name)),
                                                                                            KindWording(st.st_mode)}));
    if (st.st_uid == ::geteuid()) {
        // The group first: changing it may clear bits the mode then sets.
        [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), Status().st_gid);
        ::fchmod(fd, kFileMode);
    }
    // Blocking again for whoever writes to it (a program's output).
    ::fcntl(fd, F_SETFL, O_WRONLY | O_APPEND);
    return handle;
}

Result<void> Folder::Replace(const QString &name, const QByteArray &bytes, mode_t mode, const FileSystem &fs) const
{
    const QString path = QDir::toNativeSeparators(PathOf(name));
    if (const std::optional<struct stat> old = Look(name); old && !S_ISREG(old->st_mode))
        return Failure::Worded(S_ISDIR(old->st_mode) ? ErrorNumber::PermissionDenied : ErrorNumber::PathFileAccess,
                               Wording("CS_SHARED_NOT_WRITTEN", {path, KindWording(old->st_mode)}));
    QString temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = TemporaryNameFor(name);
        fd = ::openat(Fd(), Native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
        if (fd < 0)
            continue;
        // Held until the rename: a listing removes only the temporary files no writer holds. One
        // removed in the instant between the create and the lock is given up for another.
        struct stat st {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            ::close(fd);
            fd = -1;
            errno = EEXIST;
        }
    }
    if (fd < 0)
        return Failure{errno == EACCES || errno == EPERM || errno == EROFS ? ErrorNumber::PermissionDenied
                                                                           : ErrorNumber::PathFileAccess,
                       QStringLiteral("%1: %2").arg(qt_error_string(errno), path)};
    fs.Reached(FileSystem::Point::Created);
    const QByteArray native = Native(temporary);
    auto fail = [&](int err) {
        ::unlinkat(Fd(), native.constData(), 0);
        ::close(fd);
        if (err == ENOSPC || err == EDQUOT || err == EFBIG)
            return Failure{ErrorNumber::DiskFull, QStringLiteral("Disk full: ") + path};
        if (err == EACCES || err == EPERM || err == EROFS)
            return Failure{ErrorNumber::PermissionDenied, QStringLiteral("Permission denied: ") + path};
        return Failure{ErrorNumber::DeviceIo, QStringLiteral("%1: %2").arg(qt_error_string(err), path)};
    };
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = fs.Write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n == 0 ? ENOSPC : errno);
        data += n;
        left -= n;
    }
    // The group first: changing it may clear bits the mode then sets. A user outside the
    // folder's group keeps their own.
    [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), Status().st_gid);
    ::fchmod(fd, FileBits(mode));
    if (fs.Sync(fd) != 0)
        return fail(errno);
    fs.Reached(FileSystem::Point::Written);
    // Decided now, by what stands there now: a file that went away meanwhile is written anew; a
    // read-only one that is still there is refused.
    if (const std::optional<struct stat> before = Look(name); !fs.MayWrite(QFileInfo(PathOf(name)))) {
        const bool vanished = before && !Look(name);
        if (!vanished)
            return fail(EACCES);
    }
    fs.Reached(FileSystem::Point::BeforeRename);
    if (::renameat(Fd(), native.constData(), Fd(), Native(name).constData()) != 0)
        return fail(errno);
    fs.Reached(FileSystem::Point::Renamed);
    // After the rename: the lock ends with the descriptor, and a close error can no longer
    // lose anything (the bytes were synced).
    ::close(fd);
    return {};
}

Result<void> Folder::Remove(const QString &name) const
{
    if (::unlinkat(Fd(), Native(name).constData(), 0) != 0 && errno != ENOENT)
        return Failure{errno == EACCES || errno == EPERM ? ErrorNumber::PermissionDenied : ErrorNumber::PathFileAccess,
                       QStringLiteral("%1: %2").arg(qt_error_string(errno), QDir::toNativeSeparators(PathOf(name)))};
    return {};
}

bool IsTemporaryName(const QString &entry)
{
    static const QLatin1StringView mark(".tmp-");
    const qsizetype at = entry.lastIndexOf(mark);
    if (!entry.startsWith(u'.') || at < 2 || at + mark.size() >= entry.size())
        return false;
    for (qsizetype i = at + mark.size(); i < entry.size(); ++i) {
        const QChar c = entry[i];
        if (!(c.isDigit() || (c >= u'a' && c <= u'z')))
            return false;
    }
    return true;
}

QStringList Folder::RemoveLeftTemporaries() const
{
    QStringList stay;
    QStringList names;
    for (const QByteArray &raw : EntriesOf(Fd()).value_or(QList<QByteArray>())) {
        if (const QString entry = QFile::decodeName(raw); IsTemporaryName(entry))
            names << entry;
    }
    for (const QString &entry : std::as_const(names)) {
        const QString path = QDir::toNativeSeparators(PathOf(entry));
        const int fd = ::openat(Fd(), Native(entry).constData(), O_RDONLY | kOpenFlags);
        if (fd < 0) {
            const int err = errno;
            // Another account's, not yet given its group (0600 while written): its lock cannot
            // be asked, so it goes only once far older than any write takes.
            const std::optional<struct stat> st = Look(entry);
            if (err == EACCES && st && S_ISREG(st->st_mode) && st->st_mtim.tv_sec < ::time(nullptr) - 600) {
                if (::unlinkat(Fd(), Native(entry).constData(), 0) == 0 || errno == ENOENT)
                    continue;
            }
            if (err != ENOENT && err != EACCES) // ENOENT: renamed or removed meanwhile
                stay << QStringLiteral("%1: left by an interrupted write and not removed: %2")
                            .arg(path, Refused(entry, err).description);
            continue;
        }
        const Descriptor held(fd);
        struct stat st {};
        struct stat named {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            stay << QStringLiteral("%1 is %2, named like a temporary file of this program: not removed")
                        .arg(path, KindText(st.st_mode));
            continue;
        }
        // A writer holds its file until the rename.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(Fd(), Native(entry).constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || named.st_ino != st.st_ino
            || named.st_dev != st.st_dev)
            continue;
        if (::unlinkat(Fd(), Native(entry).constData(), 0) != 0 && errno != ENOENT)
            stay << QStringLiteral("%1: left by an interrupted write and not removed: %2")
                        .arg(path, qt_error_string(errno));
    }
    return stay;
}

namespace {

// Removes everything in the folder fd (not following links), then nothing more; false when
// something stays. Depth-limited: a run folder holds a few logs.
bool EmptyFolder(int fd, int depth)
{
    const std::optional<QList<QByteArray>> names = EntriesOf(fd);
    if (!names)
        return false;
    bool emptied = true;
    for (const QByteArray &name : *names) {
        if (::unlinkat(fd, name.constData(), 0) == 0 || errno == ENOENT)
            continue;
        if (errno != EISDIR && errno != EPERM) {
            emptied = false;
            continue;
        }
        const int sub = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (sub < 0 || depth <= 0) {
            emptied = false;
            if (sub >= 0)
                ::close(sub);
            continue;
        }
        const bool inner = EmptyFolder(sub, depth - 1);
        ::close(sub);
        emptied = inner && ::unlinkat(fd, name.constData(), AT_REMOVEDIR) == 0 && emptied;
    }
    return emptied;
}

} // namespace

QStringList Folder::RemoveLeftFolders(const QString &prefix) const
{
    QStringList stay;
    QStringList names;
    for (const QByteArray &raw : EntriesOf(Fd()).value_or(QList<QByteArray>())) {
        if (const QString entry = QFile::decodeName(raw); entry.startsWith(prefix) && entry.size() > prefix.size())
            names << entry;
    }
    for (const QString &entry : std::as_const(names)) {
        const int fd = ::openat(Fd(), Native(entry).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue; // not a folder, or gone
        const Descriptor held(fd);
        struct stat st {};
        // Another user's run is theirs to clean; one that runs holds its folder.
        if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
            continue;
        if (!EmptyFolder(fd, 4) || (::unlinkat(Fd(), Native(entry).constData(), AT_REMOVEDIR) != 0 && errno != ENOENT))
            stay << QStringLiteral("%1: the working folder of an earlier run could not be removed: %2")
                        .arg(QDir::toNativeSeparators(PathOf(entry)), qt_error_string(errno));
    }
    return stay;
}

namespace {

bool TrustedOwner(uid_t uid) { return uid == 0 || uid == ::geteuid(); }

} // namespace

Result<QByteArray> Folder::ReadTrusted(const QString &name, qint64 maxBytes) const
{
    Result<OpenedFile> opened = OpenRead(name);
    if (!opened)
        return opened.error();
    const QString path = QDir::toNativeSeparators(PathOf(name));
    const QString folder = QDir::toNativeSeparators(m_path);
    const struct stat &st = opened->st;
    const struct stat dir = Status();
    Wording why;
    if (!TrustedOwner(st.st_uid))
        why = Wording("CS_OWN_OTHER_ACCOUNT", {QString::number(st.st_uid)});
    else if (st.st_mode & 022)
        why = Wording("CS_OWN_WRITABLE");
    else if (!TrustedOwner(dir.st_uid))
        why = Wording("CS_OWN_FOLDER_OTHER_ACCOUNT", {folder, QString::number(dir.st_uid)});
    else if ((dir.st_mode & 022) && !(dir.st_mode & S_ISVTX))
        why = Wording("CS_OWN_FOLDER_REPLACEABLE", {folder});
    if (!why.IsEmpty())
        return Failure::Worded(ErrorNumber::PermissionDenied, Wording("CS_OWN_NOT_RUN", {path, why, folder}));
    if (maxBytes >= 0 && st.st_size > maxBytes)
        return Failure::Worded(ErrorNumber::PathFileAccess,
                               Wording("CS_FILE_NAMED", {Wording("CS_FILE_TOO_LARGE", {QString::number(maxBytes)}), path}));
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype have = 0;
    while (have < bytes.size()) {
        const ssize_t n = ::pread(opened->handle->Fd(), bytes.data() + have, size_t(bytes.size() - have), have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failure{ErrorNumber::DeviceIo, QStringLiteral("%1: %2").arg(qt_error_string(errno), path)};
        if (n == 0)
            break;
        have += n;
    }
    bytes.truncate(have);
    return bytes;
}

Wording Folder::WhyNotOwnProgram(const QString &name) const
{
    const std::optional<struct stat> st = Look(name);
    if (!st)
        return Wording("CS_OWN_MISSING");
    if (!S_ISREG(st->st_mode))
        return Wording("CS_OWN_IS", {KindWording(st->st_mode)});
    if (!TrustedOwner(st->st_uid))
        return Wording("CS_OWN_OTHER_ACCOUNT", {QString::number(st->st_uid)});
    if (st->st_mode & 022)
        return Wording("CS_OWN_WRITABLE");
    return Wording();
}

Result<std::unique_ptr<PrivateFolder>> PrivateFolder::Make(const QString &parent, const QString &prefix)
{
    Result<Folder> in = Folder::Open(parent);
    if (!in)
        return in.error();
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = prefix + u'-' + QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFULL, 36);
        if (::mkdirat(in->Fd(), Native(name).constData(), 0700) != 0) {
            if (errno == EEXIST)
                continue;
            return Failure{ErrorNumber::PathFileAccess, qt_error_string(errno)};
        }
        Result<Folder> made = in->Sub(name);
        if (!made)
            return made.error();
        ::fchmod(made->Fd(), 0700);
        return std::unique_ptr<PrivateFolder>(new PrivateFolder(in.value(), name, made.value()));
    }
    return Failure{ErrorNumber::PathFileAccess, qt_error_string(EEXIST)};
}

PrivateFolder::~PrivateFolder()
{
    // Only what is directly inside: the tool that used it makes files, not folders.
    for (const QByteArray &name : EntriesOf(m_folder.Fd()).value_or(QList<QByteArray>()))
        ::unlinkat(m_folder.Fd(), name.constData(), 0);
    ::unlinkat(m_parent.Fd(), Native(m_name).constData(), AT_REMOVEDIR);
}

QString TemporaryNameFor(const QString &name)
{
    return u'.' + name + QStringLiteral(".tmp-")
           + QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFULL, 36);
}

} // namespace SharedFolder
