#include "platform/FileSystem.h"

#include <QFile>

#include <unistd.h>

const FileSystem &FileSystem::Real()
{
    static const FileSystem real;
    return real;
}

bool FileSystem::MayWrite(const QFileInfo &target) const
{
    return !target.exists() || (target.isWritable() && (target.permissions() & QFileDevice::WriteOwner));
}

ssize_t FileSystem::Write(int fd, const char *data, size_t size) const { return ::write(fd, data, size); }

int FileSystem::Sync(int fd) const { return ::fsync(fd); }

Result<void> FileSystem::Rename(const QString &from, const QString &to) const
{
    QFile file(from);
    if (!file.rename(to))
        return Failure{ErrorNumber::PathFileAccess, file.errorString()};
    return {};
}
