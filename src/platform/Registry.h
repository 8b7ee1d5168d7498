#pragma once

#include "platform/VbText.h"
#include "platform/Wording.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QtGlobal>

// The few registry values the program reads, from a file "registry.reg" in the application
// directory, written in the format the Windows registry editor exports. The calls follow
// the ANSI registry functions: error codes, value types, buffers of a given size.
namespace Registry {

// Predefined root keys, as the Windows handle values.
using Hkey = quint32;
constexpr Hkey HKEY_CLASSES_ROOT = 0x80000000;
constexpr Hkey HKEY_CURRENT_USER = 0x80000001;
constexpr Hkey HKEY_LOCAL_MACHINE = 0x80000002;
constexpr Hkey HKEY_USERS = 0x80000003;
constexpr Hkey HKEY_CURRENT_CONFIG = 0x80000005;

// Access masks.
constexpr quint32 KEY_READ = 0x20019;
constexpr quint32 KEY_ALL_ACCESS = 0x2003F;

// Value types.
constexpr quint32 REG_NONE = 0;
constexpr quint32 REG_SZ = 1;
constexpr quint32 REG_EXPAND_SZ = 2;
constexpr quint32 REG_BINARY = 3;
constexpr quint32 REG_DWORD = 4;
constexpr quint32 REG_MULTI_SZ = 7;

// Error codes.
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;

// One value as the ANSI functions return it: text types in Windows-1252 with their
// terminating zero byte.
struct Value
{
    quint32 type = REG_NONE;
    QByteArray data;
};

// The parsed file: key paths ("HKEY_LOCAL_MACHINE\SOFTWARE\...") to their values, both
// keyed in lower case. Keys that only lead to listed keys exist too.
struct Contents
{
    QHash<QString, QHash<QString, Value>> keys;
};

// Parses the text of an export; false (and nothing) when the header is not one of the
// registry editor's. Value lines the parser cannot read are skipped.
bool Parse(const QByteArray &fileBytes, Contents *contents);

// The path of the registry file of an application directory.
QString FilePath(const QString &appDir);

// An open key. Opening reads the registry file; closing forgets it.
class Key
{
public:
    // root\subKey. Nothing is ever written through a key, so it opens for reading whatever
    // access is asked: the file is read-only after a package install, and full access must
    // still read it.
    long Open(const QString &appDir, Hkey root, const QString &subKey, quint32 access);
    // Copies the value into data (*size bytes available) and sets *type and *size. A value
    // larger than the buffer gives ERROR_MORE_DATA with the size it needs. An empty name is
    // the key's default value.
    long QueryValue(const QString &valueName, quint32 *type, char *data, quint32 *size) const;
    long Close();
    bool IsOpen() const { return m_open; }

private:
    bool m_open = false;
    QHash<QString, Value> m_values;
};

// Why a registry file that exists is not read (not a regular file, or larger than a
// registry export of a few values can be), naming the file; empty when it is read.
Wording WhyFileRefused(const QString &appDir);

// The suite's "Solution" value as text, or "" when it is missing or not text.
QString ReadRegistryValue(const QString &appDir);

// Reads one value opened with full access. REG_SZ gives its text, REG_DWORD "&h" and the
// hexadecimal codes of its characters from the last; other types leave keyVal as it was.
// False (keyVal "") when the key or value cannot be read; an error (Invalid procedure call)
// for a value of zero bytes, which has no text to cut.
Result<bool> GetKeyValue(const QString &appDir, Hkey keyRoot, const QString &keyName, const QString &subKeyRef,
                         QString &keyVal);

} // namespace Registry
