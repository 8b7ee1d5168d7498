#include "config/ReadBackCheck.h"

#include "config/ConfigFormat.h"
#include "config/ConfigRecord.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"

#include <QHash>

namespace ReadBackCheck {
namespace {

// The servers' buffer for one value; the value ends at a NUL as in that buffer.
constexpr int ServerBufferSize = 255;

QString AsServersRead(const QString &text, const QString &section, const QString &key)
{
    QString value = IniProfile::GetProfileStringIn(text, section, key, QString(), ServerBufferSize);
    if (const qsizetype nul = value.indexOf(QChar(u'\0')); nul >= 0)
        value.truncate(nul);
    return value;
}

// The section a line opens under the INI rules (blanks and tabs around the name dropped),
// or a null string for a line that opens none.
QString SectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    const qsizetype close = trimmed.indexOf(u']');
    if (!trimmed.startsWith(u'[') || close < 0)
        return QString();
    return trimmed.mid(1, close - 1).trimmed().toUpper();
}

Wording WhyJointFileChanged(const QString &text)
{
    // Each section's keys as the list's line rules read them: the later line wins.
    QHash<QString, QHash<QString, QString>> lineRules;
    QString section;
    for (const QString &line : FileIo::SplitLines(text)) {
        if (const QString opened = SectionOf(line); !opened.isNull()) {
            section = opened;
            continue;
        }
        QString key, value;
        if (!section.isEmpty() && ConfigFormat::SplitLine(line, &key, &value) == ConfigFormat::LineKind::KeyValue)
            lineRules[section][key] = value;
    }
    for (const QString &joint : JointSections) {
        for (const ConfigKey &k : ConfigKeys) {
            const QString key = QString(k.written).toLower();
            if (AsServersRead(text, joint, key) != lineRules.value(joint).value(key))
                return Wording("CS_CHECK_SERVERS_READ_OTHER", {joint, QString(k.written), QString::number(ServerBufferSize - 1)});
        }
    }
    return Wording();
}

} // namespace

Wording WhyChanged(const QString &text)
{
    const QStringList lines = FileIo::SplitLines(text);
    for (const QString &line : lines) {
        if (ConfigFormat::IsJointFileMarker(line))
            return WhyJointFileChanged(text);
    }
    ConfigRecord record;
    const ConfigFormat::RecordRead read = ConfigFormat::ReadRecord(text, &record);
    if (!read.complete())
        return Wording("CS_CHECK_NO_EQUALS", {QString::number(read.stopLine), QString::number(read.unreadLines)});
    return ConfigFormat::WhyNotWritable(record);
}

} // namespace ReadBackCheck
