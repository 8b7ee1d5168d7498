#include "config/ConfigFileRename.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFileInfo>

Result<void> RenameConfigFile(const QString &folder, const QString &fromName, const QString &toName)
{
    const QString from = folder + u'/' + fromName;
    const QString to = folder + u'/' + toName;
    if (!QFileInfo::exists(from))
        return Failure{ErrorNumber::FileNotFound,
                       QStringLiteral("Cannot rename %1: it no longer exists").arg(QDir::toNativeSeparators(from))};
    if (FileIo::PathExists(to))
        return Failure{ErrorNumber::FileAlreadyExists, QStringLiteral("Cannot rename %1 to %2: %2 already exists")
                                                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to))};
    return FileIo::RenameFile(from, to);
}
