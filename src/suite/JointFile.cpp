#include "suite/JointFile.h"

#include "app/Messages.h"
#include "platform/IniProfile.h"

namespace JointFile {

namespace {
constexpr int ReadBufferSize = 255;
}

namespace {

// The Windows buffer ends the value at its first NUL.
QString CutAtNul(QString value)
{
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

} // namespace

QString GetAttributeValueFromTSY(const QString &path, const QString &section, const QString &key)
{
    return CutAtNul(IniProfile::GetPrivateProfileString(section, key, QString(), ReadBufferSize, path));
}

QString GetAttributeValueFromText(const QString &text, const QString &section, const QString &key)
{
    return CutAtNul(IniProfile::GetProfileStringIn(text, section, key, QString(), ReadBufferSize));
}

bool SetAttributeValueInText(QString &text, const QString &section, const QString &key, const QString &value)
{
    Result<QString> written = IniProfile::WithProfileString(text, section, key, value);
    if (!written)
        return false;
    text = written.value();
    return true;
}

QString WhyValueChangesOnReading(Messages &messages, const QString &value)
{
    auto trimmed = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; };
    if (!value.isEmpty() && (trimmed(value.front()) || trimmed(value.back())))
        return messages.Text("CS_VALUE_BLANK_AT_END");
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == u'"' || value.front() == u'\''))
        return messages.Text("CS_VALUE_QUOTED");
    if (value.size() > ReadBufferSize - 1)
        return messages.Text("CS_VALUE_TOO_LONG").arg(ReadBufferSize - 1);
    if (value.contains(QChar(u'\0')))
        return messages.Text("CS_VALUE_NUL");
    return QString();
}

bool WriteAttributeValueToTSY(const QString &path, const QString &section, const QString &key,
                              const QString &value)
{
    return IniProfile::WritePrivateProfileString(section, key, value, path);
}

} // namespace JointFile
