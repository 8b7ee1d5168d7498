#include "platform/MakeFolder.h"

#include "platform/SharedFolder.h"

#include <QDir>
#include <QFileInfo>

Result<void> MakeFolderIfMissing(const QString &path)
{
    // The folder itself may be a link: lib/ and log/ of the application folder are the
    // administrator's, and the package links them to /var.
    const QFileInfo info(path);
    if (info.isDir())
        return {};
    // The error's number and name, then what it means here: which folder, and why.
    if (info.exists() || info.isSymLink())
        return Failure{ErrorNumber::FileAlreadyExists,
                       QStringLiteral("File already exists: \"%1\" is not a folder").arg(QDir::toNativeSeparators(path))};
    const Result<SharedFolder::Folder> parent = SharedFolder::Folder::Open(info.path());
    if (!parent)
        return Failure{ErrorNumber::PathNotFound, QStringLiteral("Path not found: the folder \"%1\" cannot be opened to make \"%2\" in it: %3")
                                                      .arg(QDir::toNativeSeparators(info.path()), info.fileName(),
                                                           parent.error().description)};
    // Made for the group (2770) whatever the umask of whoever started the program first.
    if (const Result<SharedFolder::Folder> made = parent->MakeSub(info.fileName()); !made)
        return Failure{ErrorNumber::PathFileAccess, QStringLiteral("Path/File access error: the folder \"%1\" could not be made: %2")
                                                        .arg(QDir::toNativeSeparators(path), made.error().description)};
    return {};
}
