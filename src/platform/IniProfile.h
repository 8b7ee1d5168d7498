#pragma once

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
                               const QString &value, const QString &path);

// The same two on the text of a file held in memory, so that a caller can read a file once
// and replace it whole.
QString GetProfileStringFromText(const QString &text, const QString &section, const QString &key,
                                 const QString &defaultValue, int size);
// False, text unchanged, for a name or value the file cannot hold.
bool WriteProfileStringToText(QString &text, const QString &section, const QString &key, const QString &value);

} // namespace IniProfile
