#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <QString>

// The Windows INI profile functions over Windows-1252 files with CR LF line ends: names
// without regard to case, values trimmed and unquoted on reading, writes that change only
// the one line they touch (each write atomic).
namespace IniProfile {

// The value of key in section, or defaultValue (trailing blanks removed) when absent; cut
// to size - 1 characters, as the Windows buffer of size characters does.
QString GetPrivateProfileString(const QString &section, const QString &key,
                                const QString &defaultValue, int size, const QString &path);

// Replaces the key's value in place, or adds the key after the section's last key, or adds
// the section at the end; creates a missing file. False when the file cannot be written.
bool WritePrivateProfileString(const QString &section, const QString &key,
                               const QString &value, const QString &path, const FileSystem &fs = FileSystem::Real());

// The same two over a file's text in memory (as read, Windows-1252 decoded): the value
// GetPrivateProfileString finds in text, and the text WritePrivateProfileString would
// write, or InvalidValue for a name or value it refuses.
QString GetProfileStringIn(const QString &text, const QString &section, const QString &key,
                           const QString &defaultValue, int size);
Result<QString> WithProfileString(const QString &text, const QString &section, const QString &key,
                                  const QString &value);

} // namespace IniProfile
