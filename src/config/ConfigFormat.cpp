#include "config/ConfigFormat.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"

#include <algorithm>
#include <array>

namespace ConfigFormat {

LineKind SplitLine(const QString &line, QString *key, QString *value)
{
    if (Vb::Trim(line).isEmpty())
        return LineKind::Blank;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return LineKind::NoEquals;
    *key = Ansi::Lower(line.left(eq));
    *value = Vb::Trim(line.mid(eq + 1));
    return LineKind::KeyValue;
}

const QString &JointFileMarker()
{
    static const QString marker = u'[' + JointSections[0] + u']';
    return marker;
}

bool IsJointFileMarker(const QString &line) { return Vb::Trim(line) == JointFileMarker(); }

qint16 ProductCodeOf(const QString &value)
{
    const Product *product = ProductSpelledBy(Vb::Trim(value));
    return product ? product->code : 0;
}

Result<qint16> PlatformOf(const QString &value) { return Vb::CInt(Vb::Trim(value)); }

bool IsComment(const QString &line)
{
    const QString trimmed = Vb::Trim(line);
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

namespace {

// The table's key names in lower case, made once: every line read is compared with them.
const std::array<QString, ConfigKeys.size()> &LowerCaseKeys()
{
    static const auto keys = [] {
        std::array<QString, ConfigKeys.size()> lowered;
        for (size_t i = 0; i < ConfigKeys.size(); ++i)
            lowered[i] = QString(ConfigKeys[i].written).toLower();
        return lowered;
    }();
    return keys;
}

} // namespace

RecordRead ReadRecord(const QString &text, ConfigRecord *config,
                      const std::function<void(QString ConfigRecord::*field)> &fieldRead)
{
    const QStringList lines = FileIo::SplitLines(text);
    for (int number = 0; number < lines.size(); ++number) {
        const QString &line = lines[number];
        QString key, value;
        const LineKind kind = SplitLine(line, &key, &value);
        if (kind == LineKind::Blank)
            continue;
        if (IsComment(line)) {
            config->otherLines.append(line);
            continue;
        }
        if (kind == LineKind::NoEquals)
            return {number + 1, Vb::Trim(line), int(lines.size()) - number - 1};
        const auto &keys = LowerCaseKeys();
        const auto lowered = std::find(keys.begin(), keys.end(), key);
        if (lowered == keys.end()) {
            // Not ours to read, but not ours to drop either.
            config->otherLines.append(line);
            continue;
        }
        const ConfigKey &known = ConfigKeys[size_t(lowered - keys.begin())];
        config->*known.field = known.field == &ConfigRecord::password ? UnscramblePassword(value) : value;
        if (fieldRead)
            fieldRead(known.field);
    }
    return {};
}

bool IsFlagSet(const QString &value) { return Vb::Val(value) == 1.0; }

QByteArray Format(const ConfigRecord &config)
{
    QString text;
    for (const ConfigKey &k : ConfigKeys) {
        QString value = config.*k.field;
        if (k.field == &ConfigRecord::password)
            value = IsFlagSet(config.savepass) ? ScramblePassword(config.password) : QString();
        text += k.written + u'=' + value + QLatin1String("\r\n");
    }
    for (const QString &line : config.otherLines)
        text += line + QLatin1String("\r\n");
    return Ansi::Encode(text);
}

Wording WhyNotWritable(const ConfigRecord &config)
{
    for (const ConfigKey &k : ConfigKeys) {
        const QString &value = config.*k.field;
        qsizetype bad = -1;
        if (!Ansi::CanEncode(value, &bad))
            return Wording("CS_SAVE_CHARACTER", {QString(k.written), value.mid(bad, 1)});
        if (value.contains(u'\r') || value.contains(u'\n'))
            return Wording("CS_SAVE_LINE_BREAK", {QString(k.written)});
    }
    if (IsFlagSet(config.savepass) && !PasswordSurvivesScrambling(config.password))
        return Wording("CS_SAVE_PASSWORD_SCRAMBLED");
    return Wording();
}

Result<void> WriteFile(const QString &path, const ConfigRecord &config, const FileSystem &fs)
{
    if (Wording why = WhyNotWritable(config); !why.IsEmpty())
        return Failure::Worded(ErrorNumber::InvalidValue, std::move(why));
    return FileIo::WriteFileAtomic(path, Format(config), fs);
}

} // namespace ConfigFormat
