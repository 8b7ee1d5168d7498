#include "mergesplit/JointFile.h"

#include "platform/IniProfile.h"

namespace JointFile {

namespace {
constexpr int ReadBufferSize = 255;
}

QString GetAttributeValueFromTSY(const QString &path, const QString &section, const QString &key)
{
    QString value = IniProfile::GetPrivateProfileString(section, key, QString(), ReadBufferSize, path);
    // The Windows buffer ends the value at its first NUL.
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}

bool WriteAttributeValueToTSY(const QString &path, const QString &section, const QString &key,
                              const QString &value)
{
    return IniProfile::WritePrivateProfileString(section, key, value, path);
}

} // namespace JointFile
