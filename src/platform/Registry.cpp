#include "platform/Registry.h"

#include "platform/Ansi.h"
#include "platform/FileIo.h"

#include <QFileInfo>
#include <QStringConverter>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <optional>

namespace Registry {
namespace {

const QString kHeaderV5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeaderV4 = QStringLiteral("REGEDIT4");

QString Fold(const QString &name) { return name.toCaseFolded(); }

QString RootName(Hkey root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    case HKEY_CURRENT_CONFIG: return QStringLiteral("HKEY_CURRENT_CONFIG");
    default: return QString();
    }
}

// Key paths in one spelling: folded case, the short root names written out, no
// trailing separators.
QString NormalKeyPath(QString path)
{
    path = path.trimmed();
    while (path.endsWith(u'\\'))
        path.chop(1);
    static const std::pair<const char *, const char *> shortRoots[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"}, {"HKCR", "HKEY_CLASSES_ROOT"},
        {"HKU", "HKEY_USERS"}, {"HKCC", "HKEY_CURRENT_CONFIG"}};
    const QString first = path.section(u'\\', 0, 0);
    for (const auto &[shortName, longName] : shortRoots) {
        if (first.compare(QLatin1String(shortName), Qt::CaseInsensitive) == 0)
            path = QLatin1String(longName) + path.mid(first.size());
    }
    return Fold(path);
}

// The file as text: UTF-16LE with its byte order mark as the registry editor writes it;
// UTF-8 (with or without mark) or ANSI as people write it by hand.
QString DecodeFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xff\xfe")) {
        auto toUtf16 = QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        return toUtf16(bytes.mid(2));
    }
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes.mid(3));
    auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? Ansi::Decode(bytes) : text;
}

// A quoted text with the export's escapes \\ and \"; pos is on the opening quote and ends
// after the closing one.
std::optional<QString> ReadQuoted(const QString &line, qsizetype &pos)
{
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\' && pos + 1 < line.size() && (line.at(pos + 1) == u'\\' || line.at(pos + 1) == u'"'))
            ++pos;
        out += line.at(pos);
    }
    return std::nullopt;
}

std::optional<QByteArray> ReadHexBytes(const QString &text)
{
    QByteArray bytes;
    const QString compact = QString(text).remove(u' ').remove(u'\t');
    if (compact.isEmpty())
        return bytes;
    for (const QString &part : compact.split(u',')) {
        bool ok = false;
        const uint b = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2)
            return std::nullopt;
        bytes.append(char(b));
    }
    return bytes;
}

// Text stored as UTF-16LE in a version 5 file, as the ANSI functions hand it out.
QByteArray Utf16ToAnsi(const QByteArray &utf16)
{
    QString text;
    for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
        text += QChar(char16_t(uchar(utf16[i]) | (uchar(utf16[i + 1]) << 8)));
    return Ansi::Encode(text);
}

// The data after "=": a text, dword:, hex:, hex(N):. Nothing when it cannot be read.
std::optional<Value> ReadData(const QString &data, bool unicodeFile)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        const std::optional<QString> text = ReadQuoted(data, pos);
        if (!text || !data.mid(pos).trimmed().isEmpty())
            return std::nullopt;
        return Value{REG_SZ, Ansi::Encode(*text) + '\0'};
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const quint32 n = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((n >> (8 * i)) & 0xFF);
        return Value{REG_DWORD, bytes};
    }
    if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype colon = data.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QString kind = data.left(colon).toLower();
    quint32 type = REG_BINARY;
    if (kind != QLatin1String("hex")) {
        if (!kind.startsWith(QLatin1String("hex(")) || !kind.endsWith(u')'))
            return std::nullopt;
        bool ok = false;
        type = kind.mid(4, kind.size() - 5).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
    }
    std::optional<QByteArray> bytes = ReadHexBytes(data.mid(colon + 1));
    if (!bytes)
        return std::nullopt;
    if (unicodeFile && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ))
        *bytes = Utf16ToAnsi(*bytes);
    return Value{type, *bytes};
}

// Physical lines joined where a line ends with the continuation mark '\'.
QStringList LogicalLines(const QString &text)
{
    QStringList lines;
    QString pending;
    bool continuing = false;
    for (const QString &raw : FileIo::SplitLines(text)) {
        QString line = continuing ? raw.trimmed() : raw;
        const QString right = line.trimmed();
        const bool single = !continuing && (right.startsWith(u'[') || right.startsWith(u';'));
        if (!single && right.endsWith(u'\\')) {
            pending += right.left(right.size() - 1);
            continuing = true;
            continue;
        }
        lines.append(pending + line);
        pending.clear();
        continuing = false;
    }
    if (continuing)
        lines.append(pending);
    return lines;
}

} // namespace

bool Parse(const QByteArray &fileBytes, Contents *contents)
{
    contents->keys.clear();
    const QStringList lines = LogicalLines(DecodeFile(fileBytes));
    qsizetype first = 0;
    while (first < lines.size() && lines[first].trimmed().isEmpty())
        ++first;
    if (first >= lines.size())
        return false;
    const QString header = lines[first].trimmed();
    const bool unicodeFile = header == kHeaderV5;
    if (!unicodeFile && header != kHeaderV4)
        return false;

    QHash<QString, Value> *current = nullptr;
    for (qsizetype i = first + 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            current = nullptr;
            if (!line.endsWith(u']'))
                continue;
            const QString inner = line.mid(1, line.size() - 2);
            if (inner.startsWith(u'-')) {
                // A removed key takes its sub-keys with it.
                const QString gone = NormalKeyPath(inner.mid(1));
                contents->keys.removeIf([&](const auto &entry) {
                    return entry.key() == gone || entry.key().startsWith(gone + u'\\');
                });
                continue;
            }
            current = &contents->keys[NormalKeyPath(inner)];
            continue;
        }
        if (!current)
            continue;

        qsizetype pos = 0;
        QString name;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            const std::optional<QString> quoted = ReadQuoted(line, pos);
            if (!quoted)
                continue;
            name = *quoted;
        } else {
            continue;
        }
        const QString rest = line.mid(pos).trimmed();
        if (!rest.startsWith(u'='))
            continue;
        const QString data = rest.mid(1).trimmed();
        if (data == QLatin1String("-")) {
            current->remove(Fold(name));
            continue;
        }
        if (const std::optional<Value> value = ReadData(data, unicodeFile))
            current->insert(Fold(name), *value);
    }
    return true;
}

QString FilePath(const QString &appDir) { return appDir + QStringLiteral("/registry.reg"); }

long Key::Open(const QString &appDir, Hkey root, const QString &subKey, quint32 access)
{
    Close();
    const QString rootName = RootName(root);
    if (rootName.isEmpty())
        return ERROR_INVALID_HANDLE;
    const QString file = FilePath(appDir);
    const Result<QByteArray> bytes = FileIo::ReadBytes(file, FileIo::kTextFileLimit, FileIo::Links::Follow);
    Contents contents;
    if (!bytes || !Parse(bytes.value(), &contents))
        return ERROR_FILE_NOT_FOUND;

    const QString path = NormalKeyPath(subKey.isEmpty() ? rootName : rootName + u'\\' + subKey);
    const bool exists = path == Fold(rootName) || contents.keys.contains(path)
        || std::any_of(contents.keys.keyBegin(), contents.keys.keyEnd(),
                       [&](const QString &k) { return k.startsWith(path + u'\\'); });
    if (!exists)
        return ERROR_FILE_NOT_FOUND;
    m_values = contents.keys.value(path);
    m_open = true;
    return ERROR_SUCCESS;
}

long Key::QueryValue(const QString &valueName, quint32 *type, char *data, quint32 *size) const
{
    if (!m_open)
        return ERROR_INVALID_HANDLE;
    const auto it = m_values.constFind(Fold(valueName));
    if (it == m_values.constEnd())
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = it->type;
    const auto needed = quint32(it->data.size());
    if (data) {
        if (!size)
            return 87; // ERROR_INVALID_PARAMETER
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed > 0)
            std::memcpy(data, it->data.constData(), needed);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

long Key::Close()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_values.clear();
    return wasOpen ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

Wording WhyFileRefused(const QString &appDir)
{
    const QString file = FilePath(appDir);
    if (!QFileInfo::exists(file))
        return Wording();
    const Result<QByteArray> bytes = FileIo::ReadBytes(file, FileIo::kTextFileLimit, FileIo::Links::Follow);
    return bytes ? Wording() : bytes.error().Text();
}

QString ReadRegistryValue(const QString &appDir)
{
    Key key;
    // A failed open is not looked at: the query on the closed key fails in its place.
    key.Open(appDir, HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Norwen Global\\Norwen Tessaly"), KEY_READ);
    char buffer[1024] = {};
    quint32 size = sizeof buffer;
    quint32 type = REG_NONE;
    QString result;
    // A value of zero bytes has no text to cut the terminator from; it reads as "".
    if (key.QueryValue(QStringLiteral("Solution"), &type, buffer, &size) == ERROR_SUCCESS
        && (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0)
        result = Ansi::Decode(QByteArray(buffer, qsizetype(size) - 1));
    key.Close();
    return result;
}

Result<bool> GetKeyValue(const QString &appDir, Hkey keyRoot, const QString &keyName, const QString &subKeyRef,
                         QString &keyVal)
{
    Key key;
    if (key.Open(appDir, keyRoot, keyName, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        keyVal.clear();
        key.Close();
        return false;
    }
    QByteArray buffer(1024, '\0');
    quint32 size = quint32(buffer.size());
    quint32 type = REG_NONE;
    if (key.QueryValue(subKeyRef, &type, buffer.data(), &size) != ERROR_SUCCESS) {
        keyVal.clear();
        key.Close();
        return false;
    }
    if (size == 0) {
        // The cut looks at the character at position 0, which a value of zero bytes lacks:
        // a run-time error that the caller handles.
        key.Close();
        return Failure{ErrorNumber::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument")};
    }
    const QByteArray cut = buffer.left(buffer.at(size - 1) != '\0' ? size : size - 1);
    if (type == REG_SZ) {
        keyVal = Ansi::Decode(cut);
    } else if (type == REG_DWORD) {
        QString hex;
        for (qsizetype i = cut.size() - 1; i >= 0; --i)
            hex += QString::number(uchar(cut.at(i)), 16).toUpper();
        keyVal = QStringLiteral("&h") + hex;
    }
    key.Close();
    return true;
}

} // namespace Registry
