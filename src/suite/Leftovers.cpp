#include "suite/Leftovers.h"

#include "platform/SharedFolder.h"
#include "suite/BusComponent.h"

#include <QDir>

QStringList RemoveLeftovers(const QString &appDir, const QString &logDirectory)
{
    QStringList stay;
    for (const char *name : {"lib", "log"}) {
        if (const Result<SharedFolder::Folder> folder = SharedFolder::Folder::Open(QDir(appDir).filePath(QLatin1String(name))))
            stay << folder->RemoveLeftTemporaries();
    }
    return stay + RemoveEarlierToolFolders(logDirectory);
}
