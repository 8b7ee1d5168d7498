#include "platform/MakeFolder.h"

#include <QDir>
#include <QFileInfo>

Result<void> MakeFolderIfMissing(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {};
    if (info.exists())
        return Failure{ErrorNumber::FileAlreadyExists, QStringLiteral("File already exists")};
    if (!QDir().mkdir(path))
        return info.dir().exists() ? Failure{ErrorNumber::PathFileAccess, QStringLiteral("Path/File access error")}
                                   : Failure{ErrorNumber::PathNotFound, QStringLiteral("Path not found")};
    return {};
}
