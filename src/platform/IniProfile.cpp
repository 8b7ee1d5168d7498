#include "platform/IniProfile.h"

#include "platform/Ansi.h"
#include "platform/FileIo.h"

#include <QFileInfo>
#include <QList>

namespace IniProfile {
namespace {

const QString kNewLine = QStringLiteral("\r\n");

// One line of the file with its own line end ("\r\n", "\n", "\r", or "" for a last line
// without one), so that lines we do not touch are written back exactly as they were.
struct Line
{
    QString text;
    QString end;
};

enum class Kind { Ignored, Comment, Section, Key };

// What one line is, with the names and value the INI functions see in it.
struct Parsed
{
    Kind kind = Kind::Ignored;
    QString name;   // section name or key name, surrounding blanks and tabs removed
    QString value;  // key value, trimmed; hasValue false when the line has no '='
    bool hasValue = false;
};

bool IsBlankOrTab(QChar c) { return c == u' ' || c == u'\t'; }
bool IsValueSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; }

QString TrimBy(const QString &text, bool (*isSpace)(QChar))
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isSpace(text.at(start)))
        ++start;
    while (end > start && isSpace(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

QString TrimBlanks(const QString &text)
{
    return TrimBy(text, [](QChar c) { return c == u' '; });
}

QList<Line> SplitKeepingEnds(const QString &text)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        const qsizetype endLength = (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        lines.append({text.mid(start, i - start), text.mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < n)
        lines.append({text.mid(start), QString()});
    return lines;
}

Parsed ParseLine(const QString &line)
{
    Parsed p;
    const QString trimmed = TrimBy(line, IsBlankOrTab);
    if (trimmed.isEmpty())
        return p;
    if (trimmed.startsWith(u';')) {
        p.kind = Kind::Comment;
        return p;
    }
    if (trimmed.startsWith(u'[')) {
        // Text after the first ']' is ignored. A '[' without ']' is no section header; it
        // is read like any other line of the section it stands in.
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            p.kind = Kind::Section;
            p.name = TrimBy(trimmed.mid(1, close - 1), IsBlankOrTab);
            return p;
        }
    }
    p.kind = Kind::Key;
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0) {
        // A bare name counts as a key without value: reading it gives the default,
        // writing it gives it one.
        p.name = trimmed;
        return p;
    }
    p.name = TrimBy(trimmed.left(eq), IsBlankOrTab);
    p.value = TrimBy(trimmed.mid(eq + 1), IsValueSpace);
    p.hasValue = true;
    return p;
}

bool SameName(const QString &a, const QString &b)
{
    return a.size() == b.size() && Ansi::Lower(a) == Ansi::Lower(b);
}

// Where a key stands in the file: the first section of that name and the first key of
// that name in it (duplicates after the first are never seen).
struct Location
{
    qsizetype sectionLine = -1;
    qsizetype lastKeyLine = -1; // last key line of the section, or -1 when it has none
    qsizetype keyLine = -1;
    Parsed key;
};

Location Find(const QList<Line> &lines, const QString &section, const QString &key)
{
    Location loc;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == Kind::Section) {
            if (inSection)
                break;
            if (loc.sectionLine < 0 && SameName(p.name, section)) {
                loc.sectionLine = i;
                inSection = true;
            }
            continue;
        }
        if (!inSection || p.kind != Kind::Key)
            continue;
        loc.lastKeyLine = i;
        if (loc.keyLine < 0 && SameName(p.name, key)) {
            loc.keyLine = i;
            loc.key = p;
        }
    }
    return loc;
}

QString Unquote(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString CutToBuffer(const QString &text, int size)
{
    return size <= 0 ? QString() : text.left(size - 1);
}

QString Join(const QList<Line> &lines)
{
    QString text;
    for (const Line &l : lines)
        text += l.text + l.end;
    return text;
}

// A line we put after another needs that one to end; a last line without an end gets CR LF.
void EnsureEnded(QList<Line> &lines, qsizetype index)
{
    if (index >= 0 && index < lines.size() && lines[index].end.isEmpty())
        lines[index].end = kNewLine;
}

} // namespace

QString GetProfileStringIn(const QString &text, const QString &section, const QString &key,
                           const QString &defaultValue, int size)
{
    QString defaultTrimmed = defaultValue;
    while (defaultTrimmed.endsWith(u' '))
        defaultTrimmed.chop(1);

    const Location loc = Find(SplitKeepingEnds(text), TrimBlanks(section), TrimBlanks(key));
    if (loc.keyLine < 0 || !loc.key.hasValue)
        return CutToBuffer(defaultTrimmed, size);
    return CutToBuffer(Unquote(loc.key.value), size);
}

QString GetPrivateProfileString(const QString &section, const QString &key,
                                const QString &defaultValue, int size, const QString &path)
{
    // A file that cannot be read has no keys: the default.
    const Result<QString> text = FileIo::ReadAnsiText(path);
    return GetProfileStringIn(text ? text.value() : QString(), section, key, defaultValue, size);
}

Result<QString> WithProfileString(const QString &text, const QString &section, const QString &key,
                                  const QString &value)
{
    const QString sectionName = TrimBlanks(section);
    const QString keyName = TrimBlanks(key);
    // A line end inside a name or value would make lines of its own, and text 1252 cannot
    // hold would come back as something else: refuse both before anything is changed.
    for (const QString *part : {&sectionName, &keyName, &value}) {
        if (part->contains(u'\r') || part->contains(u'\n') || !Ansi::CanEncode(*part))
            return Failure{ErrorNumber::InvalidValue,
                             QStringLiteral("A line break or a character Windows-1252 lacks in a profile entry")};
    }

    QList<Line> lines = SplitKeepingEnds(text);
    const Location loc = Find(lines, sectionName, keyName);
    if (loc.keyLine >= 0) {
        // Replaced in place; the key keeps the spelling it has in the file.
        lines[loc.keyLine].text = loc.key.name + u'=' + value;
    } else if (loc.sectionLine >= 0) {
        // After the section's last key line, so that blank lines and comments that close
        // the section stay where they are.
        const qsizetype after = loc.lastKeyLine >= 0 ? loc.lastKeyLine : loc.sectionLine;
        EnsureEnded(lines, after);
        lines.insert(after + 1, {keyName + u'=' + value, kNewLine});
    } else {
        EnsureEnded(lines, lines.size() - 1);
        lines.append({u'[' + sectionName + u']', kNewLine});
        lines.append({keyName + u'=' + value, kNewLine});
    }
    return Join(lines);
}

bool WritePrivateProfileString(const QString &section, const QString &key,
                               const QString &value, const QString &path, const FileSystem &fs)
{
    QString text;
    if (QFileInfo::exists(path)) {
        const Result<QString> read = FileIo::ReadAnsiText(path);
        if (!read)
            return false;
        text = read.value();
    }
    const Result<QString> written = WithProfileString(text, section, key, value);
    return written && FileIo::WriteFileAtomic(path, Ansi::Encode(written.value()), fs).ok();
}

} // namespace IniProfile
