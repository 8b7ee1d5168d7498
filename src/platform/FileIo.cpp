#include "platform/FileIo.h"

#include "platform/Ansi.h"
#include "platform/SharedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIo {
namespace {

// A description with the file it is about, so that a message says which file failed.
QString Named(const QString &description, const QString &path)
{
    return description + QStringLiteral(": ") + QDir::toNativeSeparators(path);
}

Wording TooLarge(qint64 maxBytes) { return Wording("CS_FILE_TOO_LARGE", {QString::number(maxBytes)}); }

// Why a file that stat describes is not read, or empty when it may be.
Wording WhyNotRead(const struct stat &st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        return Wording("CS_FILE_NOT_REGULAR");
    if (maxBytes >= 0 && st.st_size > maxBytes)
        return TooLarge(maxBytes);
    return Wording();
}

// The folder of path and the name in it; the folder's own path is followed as it stands.
Result<std::pair<SharedFolder::Folder, QString>> Split(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.fileName().isEmpty())
        return Failure{ErrorNumber::FileNotFound, Named(QStringLiteral("File not found"), path)};
    Result<SharedFolder::Folder> folder = SharedFolder::Folder::Open(info.path());
    if (!folder)
        return Failure{folder.error().number, folder.error().number == ErrorNumber::PathNotFound
                                                  ? Named(QStringLiteral("Path not found"), path)
                                                  : folder.error().description};
    return std::pair{std::move(folder.value()), info.fileName()};
}

// The bytes of an opened regular file: by the size fstat saw, one byte more showing a file
// grown since (a buffer of the limit would cost a megabyte for every small file).
Result<QByteArray> ReadOpened(const SharedFolder::OpenedFile &opened, const QString &path, qint64 maxBytes)
{
    if (Wording why = WhyNotRead(opened.st, maxBytes); !why.IsEmpty())
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_FILE_NAMED", {std::move(why), QDir::toNativeSeparators(path)}));
    QFile file;
    file.open(opened.handle->Fd(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    QByteArray bytes = maxBytes >= 0 ? file.read(qMin(qint64(opened.st.st_size), maxBytes) + 1) : file.readAll();
    if (maxBytes >= 0 && bytes.size() > opened.st.st_size && file.error() == QFileDevice::NoError)
        bytes += file.read(maxBytes + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return Failure{ErrorNumber::DeviceIo, Named(file.errorString(), path)};
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_FILE_NAMED", {TooLarge(maxBytes), QDir::toNativeSeparators(path)}));
    return bytes;
}

} // namespace

Result<QByteArray> ReadBytes(const QString &path, qint64 maxBytes, Links links)
{
    if (links == Links::Follow) {
        // Only for the administrator's files beside the program, which the package links to /etc.
        const QFileInfo info(path);
        if (info.isSymLink() && info.exists())
            return ReadBytes(info.canonicalFilePath(), maxBytes, Links::Refuse);
    }
    const auto at = Split(path);
    if (!at)
        return at.error();
    const Result<SharedFolder::OpenedFile> opened = at->first.OpenRead(at->second);
    if (!opened)
        return opened.error();
    return ReadOpened(opened.value(), path, maxBytes);
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
    return WriteFileAtomic(path, bytes, SharedFolder::kFileMode, fs);
}

Result<void> WriteFileAtomic(const QString &path, const QByteArray &bytes, mode_t mode, const FileSystem &fs)
{
    const auto at = Split(path);
    if (!at)
        return at.error();
    return at->first.Replace(at->second, bytes, mode, fs);
}

Result<SharedFolder::Handle> OpenAppend(const QString &path)
{
    const auto at = Split(path);
    if (!at)
        return at.error();
    return at->first.OpenAppend(at->second);
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
    const auto at = Split(path);
    if (!at)
        return at.error();
    if (!at->first.Look(at->second))
        return version;
    // One open: the bytes, the time and the owner are of the same file.
    const Result<SharedFolder::OpenedFile> opened = at->first.OpenRead(at->second);
    if (!opened)
        return opened.error();
    const Result<QByteArray> bytes = ReadOpened(opened.value(), path, maxBytes);
    if (!bytes)
        return bytes.error();
    version.exists = true;
    version.bytes = bytes.value();
    const struct stat &st = opened->st;
    version.modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    const passwd *account = ::getpwuid(st.st_uid);
    version.owner = account ? QString::fromLocal8Bit(account->pw_name) : QString::number(st.st_uid);
    return version;
}

bool SameVersion(const FileVersion &a, const FileVersion &b)
{
    return a.exists == b.exists && a.bytes == b.bytes;
}

} // namespace FileIo
