#include "platform/FileIo.h"

#include "platform/Ansi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {
namespace {

// Read and write for the owner and the group, nothing for others.
constexpr mode_t NewFileMode = 0660;

// A description with the file it is about, so that a message says which file failed.
QString Named(const QString &description, const QString &path)
{
    return description + QStringLiteral(": ") + QDir::toNativeSeparators(path);
}

// A failed file operation as a run-time error number and text, so that messages read as
// users know them.
Failure FileError(const QString &path, const QString &description)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        return {ErrorNumber::PathNotFound, Named(QStringLiteral("Path not found"), path)};
    if (!info.exists())
        return {ErrorNumber::FileNotFound, Named(QStringLiteral("File not found"), path)};
    return {ErrorNumber::PathFileAccess, Named(description.isEmpty() ? QStringLiteral("Path/File access error") : description, path)};
}

Failure WriteError(const QString &path, int err)
{
    if (err == ENOSPC || err == EDQUOT || err == EFBIG)
        return {ErrorNumber::DiskFull, Named(QStringLiteral("Disk full"), path)};
    return {ErrorNumber::DeviceIo, Named(qt_error_string(err), path)};
}

QString TooLarge(qint64 maxBytes) { return QStringLiteral("File larger than %1 bytes, not read").arg(maxBytes); }

// Why a file that stat describes is not read, or empty when it may be.
QString WhyNotRead(const struct stat &st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("Not a regular file, not read");
    if (maxBytes >= 0 && st.st_size > maxBytes)
        return TooLarge(maxBytes);
    return QString();
}

} // namespace

Result<QByteArray> ReadBytes(const QString &path, qint64 maxBytes)
{
    // Looked at before it is opened: opening a FIFO blocks and a device never ends.
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return FileError(path, QString());
    if (const QString why = WhyNotRead(st, maxBytes); !why.isEmpty())
        return Failure{ErrorNumber::PathFileAccess, Named(why, path)};
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FileError(path, qt_error_string(errno));
    QFile file;
    file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    // The name may have been replaced since the look: what was opened is what counts.
    if (::fstat(fd, &st) != 0)
        return FileError(path, qt_error_string(errno));
    if (const QString why = WhyNotRead(st, maxBytes); !why.isEmpty())
        return Failure{ErrorNumber::PathFileAccess, Named(why, path)};
    // Read by the size fstat saw, one byte more showing a file grown since: a buffer of the
    // limit would cost a megabyte for every small file.
    QByteArray bytes = maxBytes >= 0 ? file.read(qMin(qint64(st.st_size), maxBytes) + 1) : file.readAll();
    if (maxBytes >= 0 && bytes.size() > st.st_size && file.error() == QFileDevice::NoError)
        bytes += file.read(maxBytes + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return Failure{ErrorNumber::DeviceIo, Named(file.errorString(), path)};
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        return Failure{ErrorNumber::PathFileAccess, Named(TooLarge(maxBytes), path)};
    return bytes;
}

Result<QString> ReadAnsiText(const QString &path, qint64 maxBytes)
{
    const Result<QByteArray> bytes = ReadBytes(path, maxBytes);
    if (!bytes)
        return bytes.error();
    return Ansi::Decode(bytes.value());
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.append(text.mid(start, i - start));
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

Result<void> WriteFileAtomic(const QString &path, const QByteArray &bytes, const FileSystem &fs)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        return Failure{ErrorNumber::PathNotFound, Named(QStringLiteral("Path not found"), path)};
    if (info.isDir() || !fs.MayWrite(info))
        return Failure{ErrorNumber::PermissionDenied, Named(QStringLiteral("Permission denied"), path)};
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0;

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return Failure{ErrorNumber::PathFileAccess, Named(file.errorString(), path)};
    // Written here and not through QSaveFile's buffer: its commit does not notice a failed
    // flush of a small file and would rename an empty file over the old one.
    const int fd = file.handle();
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = fs.Write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n == 0 ? ENOSPC : errno;
            file.cancelWriting();
            return WriteError(path, err);
        }
        data += n;
        left -= n;
    }
    if (replacing) {
        // The group first: changing it may clear the set-group-ID bit the mode restores. A
        // user outside the group cannot keep it; the file then gets the user's group.
        [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        // Configurations hold passwords: a new file is for the folder's group only, whatever
        // the umask of the operator who made it. Without the group (a user outside it, a
        // folder without set-group-ID) the file keeps the user's own group.
        struct stat folder {};
        if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) == 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), folder.st_gid);
        }
        ::fchmod(fd, NewFileMode);
    }
    if (fs.Sync(fd) != 0) {
        const int err = errno;
        file.cancelWriting();
        return WriteError(path, err);
    }
    if (!file.commit())
        return Failure{ErrorNumber::DeviceIo, Named(file.errorString(), path)};
    return {};
}

Result<void> RenameFile(const QString &from, const QString &to, const FileSystem &fs)
{
    if (const Result<void> renamed = fs.Rename(from, to); !renamed)
        return Failure{renamed.error().number,
                       QStringLiteral("Cannot rename %1 to %2: %3")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), renamed.error().description)};
    return {};
}

Result<void> DeleteFile(const QString &path, const FileSystem &fs)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return Failure{ErrorNumber::FileNotFound, Named(QStringLiteral("File not found"), path)};
    if (!fs.MayWrite(info))
        return Failure{ErrorNumber::PermissionDenied, Named(QStringLiteral("Permission denied"), path)};
    QFile file(path);
    if (!file.remove())
        return Failure{ErrorNumber::PermissionDenied, Named(file.errorString(), path)};
    return {};
}

bool PathExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool IsValidFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

Result<FileVersion> ReadVersion(const QString &path, qint64 maxBytes)
{
    FileVersion version;
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 && errno == ENOENT)
        return version;
    const Result<QByteArray> bytes = ReadBytes(path, maxBytes);
    if (!bytes)
        return bytes.error();
    version.exists = true;
    version.bytes = bytes.value();
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        version.modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
        const passwd *account = ::getpwuid(st.st_uid);
        version.owner = account ? QString::fromLocal8Bit(account->pw_name) : QString::number(st.st_uid);
    }
    return version;
}

bool SameVersion(const FileVersion &a, const FileVersion &b)
{
    return a.exists == b.exists && a.bytes == b.bytes;
}

} // namespace FileIo
