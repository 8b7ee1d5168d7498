#include "config/ConfigFileRename.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFileInfo>

Result<void> RenameConfigFile(const QString &folder, const QString &fromName, const QString &toName)
{
    const QString from = folder + u'/' + fromName;
    const QString to = folder + u'/' + toName;
    if (!QFileInfo::exists(from))
        return Failure::Worded(ErrorNumber::FileNotFound, Wording("CS_RENAME_GONE", {QDir::toNativeSeparators(from)}));
    if (FileIo::PathExists(to))
        return Failure::Worded(ErrorNumber::FileAlreadyExists,
                               Wording("CS_RENAME_TAKEN", {QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)}));
    return FileIo::RenameFile(from, to);
}
