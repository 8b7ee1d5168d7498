#pragma once

#include "platform/VbText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Whole-file reading and writing of the suite's single-byte text files. Every write goes
// through WriteFileAtomic: a crash or a full disk leaves the old file whole.
namespace FileIo {

// The whole file as bytes / as Windows-1252 text.
bool ReadBytes(const QString &path, QByteArray *bytes, Vb::Error *error);
bool ReadAnsiText(const QString &path, QString *text, Vb::Error *error);
// Lines without their ends (CR LF, LF or CR); a final line end gives no empty last line.
QStringList SplitLines(const QString &text);

// Replaces (or creates) path with bytes. A read-only file or a missing directory fails,
// with the platform's description, and leaves everything as it was.
bool WriteFileAtomic(const QString &path, const QByteArray &bytes, Vb::Error *error);

// Deletes one file, not forced: a read-only file is not deleted.
bool DeleteFile(const QString &path, Vb::Error *error);

// A directory lookup with directories included: an existing directory or file.
bool PathExists(const QString &path);

// A name that may stand as a file name on Windows and here: not empty, none of
// \ / : * ? " < > | and no control characters, not "." or "..".
bool IsValidFileName(const QString &name);

} // namespace FileIo
