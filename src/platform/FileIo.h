#pragma once

#include "platform/FileSystem.h"
#include "platform/SharedFolder.h"
#include "platform/VbText.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Whole-file reading and writing of the suite's single-byte text files. Every write goes
// through WriteFileAtomic: a crash or a full disk leaves the old file whole.
namespace FileIo {

// The largest text file the program reads whole: its configuration, profile and registry
// files are a few kilobytes; a larger one is refused rather than read into memory.
inline constexpr qint64 kTextFileLimit = 1024 * 1024;

// Whether the last part of a path may be a link. The shared folders' files never are; only
// the administrator's files beside the program (the registry file the package links to /etc).
enum class Links { Refuse, Follow };

// The whole file as bytes / as Windows-1252 text. The file is looked up in its folder and only
// a regular file is opened: a link (unless Follow), device, FIFO or socket is refused without
// blocking, as is a file of more than maxBytes (negative: no limit); the description then
// names the file and what it is.
Result<QByteArray> ReadBytes(const QString &path, qint64 maxBytes = -1, Links links = Links::Refuse);
Result<QString> ReadAnsiText(const QString &path, qint64 maxBytes = kTextFileLimit);
// Lines without their ends (CR LF, LF or CR); a final line end gives no empty last line.
QStringList SplitLines(const QString &text);

// Replaces (or creates) path with bytes. A read-only file, a missing directory or a full
// disk fails, with a description that names the file, and leaves everything as it was. The
// file gets mode (0660 unless given; never a set-ID bit) in the folder's group when the user
// belongs to it, whatever the umask and whatever the old file had. A path that is a link, a
// FIFO, a folder or anything but a regular file is refused, never written through.
Result<void> WriteFileAtomic(const QString &path, const QByteArray &bytes, const FileSystem &fs = FileSystem::Real());
Result<void> WriteFileAtomic(const QString &path, const QByteArray &bytes, mode_t mode,
                             const FileSystem &fs = FileSystem::Real());

// path opened for appending (a program's log), made 0660 in the folder's group when missing;
// only a regular file, never through a link, never blocking.
Result<SharedFolder::Handle> OpenAppend(const QString &path);

// Renames a file within the file system; fails with a description that names both files.
Result<void> RenameFile(const QString &from, const QString &to, const FileSystem &fs = FileSystem::Real());

// Deletes one file, not forced: a read-only file is not deleted.
Result<void> DeleteFile(const QString &path, const FileSystem &fs = FileSystem::Real());

// A directory lookup with directories included: an existing directory or file.
bool PathExists(const QString &path);

// A name that may stand as a file name on Windows and here: not empty, none of
// \ / : * ? " < > | and no control characters, not "." or "..".
bool IsValidFileName(const QString &name);

// A file as one read found it, to tell later whether someone changed it meanwhile.
struct FileVersion
{
    bool exists = false;
    QByteArray bytes;
    // Only for telling the user who changed it and when.
    QDateTime modified;
    QString owner; // the account that owns the file, which made it when it was last replaced
};
// What path holds now; a missing file is a version too (exists false), not an error.
Result<FileVersion> ReadVersion(const QString &path, qint64 maxBytes = kTextFileLimit);
// The same text: both absent, or both present with the same bytes.
bool SameVersion(const FileVersion &a, const FileVersion &b);

} // namespace FileIo
