#include "platform/FileIo.h"

#include "platform/Ansi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {
namespace {

InjectedFault g_fault = InjectedFault::None;

// A description with the file it is about, so that a message says which file failed.
QString Named(const QString &description, const QString &path)
{
    return description + QStringLiteral(": ") + QDir::toNativeSeparators(path);
}

// The original's file error numbers, so that messages read as users know them.
Vb::Error FileError(const QString &path, const QString &description)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        return {76, Named(QStringLiteral("Path not found"), path)};
    if (!info.exists())
        return {53, Named(QStringLiteral("File not found"), path)};
    return {75, Named(description.isEmpty() ? QStringLiteral("Path/File access error") : description, path)};
}

Vb::Error WriteError(const QString &path, int err)
{
    if (err == ENOSPC || err == EDQUOT || err == EFBIG)
        return {61, Named(QStringLiteral("Disk full"), path)};
    return {57, Named(qt_error_string(err), path)};
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

// Windows' read-only attribute is the owner's missing write permission; checked apart from
// access rights so that it holds for an administrator (root) too.
bool MayWrite(const QFileInfo &info)
{
    return info.isWritable() && (info.permissions() & QFileDevice::WriteOwner);
}

} // namespace

bool ReadBytes(const QString &path, QByteArray *bytes, Vb::Error *error, qint64 maxBytes)
{
    auto fail = [&](const Vb::Error &e) {
        if (error)
            *error = e;
        return false;
    };
    // Looked at before it is opened: opening a FIFO blocks and a device never ends.
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(FileError(path, QString()));
    if (const QString why = WhyNotRead(st, maxBytes); !why.isEmpty())
        return fail({75, Named(why, path)});
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fail(FileError(path, qt_error_string(errno)));
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    // The name may have been replaced since the look: what was opened is what counts.
    if (::fstat(fd, &st) != 0)
        return fail(FileError(path, qt_error_string(errno)));
    if (const QString why = WhyNotRead(st, maxBytes); !why.isEmpty())
        return fail({75, Named(why, path)});
    *bytes = maxBytes >= 0 ? file.read(maxBytes + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail({57, Named(file.errorString(), path)});
    if (maxBytes >= 0 && bytes->size() > maxBytes) {
        bytes->clear();
        return fail({75, Named(TooLarge(maxBytes), path)});
    }
    return true;
}

bool ReadAnsiText(const QString &path, QString *text, Vb::Error *error, qint64 maxBytes)
{
    QByteArray bytes;
    if (!ReadBytes(path, &bytes, error, maxBytes))
        return false;
    *text = Ansi::Decode(bytes);
    return true;
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

bool WriteFileAtomic(const QString &path, const QByteArray &bytes, Vb::Error *error)
{
    auto fail = [&](const Vb::Error &e) {
        if (error)
            *error = e;
        return false;
    };
    const QFileInfo info(path);
    if (!info.dir().exists())
        return fail({76, Named(QStringLiteral("Path not found"), path)});
    if (info.isDir() || (info.exists() && !MayWrite(info)) || g_fault == InjectedFault::ReadOnly)
        return fail({70, Named(QStringLiteral("Permission denied"), path)});
    struct stat old {};
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0;

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail({75, Named(file.errorString(), path)});
    // Written here and not through QSaveFile's buffer: its commit does not notice a failed
    // flush of a small file and would rename an empty file over the old one.
    const int fd = file.handle();
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        ssize_t n = -1;
        if (g_fault == InjectedFault::DiskFull)
            errno = ENOSPC;
        else
            n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n == 0 ? ENOSPC : errno;
            file.cancelWriting();
            return fail(WriteError(path, err));
        }
        data += n;
        left -= n;
    }
    if (replacing) {
        // The group first: changing it may clear the set-group-ID bit the mode restores. A
        // user outside the group cannot keep it; the file then gets the user's group.
        [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    if (::fsync(fd) != 0) {
        const int err = errno;
        file.cancelWriting();
        return fail(WriteError(path, err));
    }
    if (!file.commit())
        return fail({57, Named(file.errorString(), path)});
    return true;
}

bool RenameFile(const QString &from, const QString &to, Vb::Error *error)
{
    QFile file(from);
    if (g_fault != InjectedFault::None || !file.rename(to)) {
        if (error)
            *error = g_fault == InjectedFault::DiskFull ? Vb::Error{61, Named(QStringLiteral("Disk full"), from)}
                : g_fault == InjectedFault::ReadOnly    ? Vb::Error{70, Named(QStringLiteral("Permission denied"), from)}
                                                        : Vb::Error{75, Named(file.errorString(), from)};
        return false;
    }
    return true;
}

bool DeleteFile(const QString &path, Vb::Error *error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        if (error)
            *error = {53, Named(QStringLiteral("File not found"), path)};
        return false;
    }
    if (!MayWrite(info) || g_fault == InjectedFault::ReadOnly) {
        if (error)
            *error = {70, Named(QStringLiteral("Permission denied"), path)};
        return false;
    }
    QFile file(path);
    if (!file.remove()) {
        if (error)
            *error = {70, Named(file.errorString(), path)};
        return false;
    }
    return true;
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

void InjectFault(InjectedFault fault) { g_fault = fault; }

} // namespace FileIo
