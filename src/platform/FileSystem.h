#pragma once

#include "platform/Result.h"

#include <QFileInfo>
#include <QString>

#include <sys/types.h>

// The calls through which FileIo changes files. Everything runs on Real(); a test hands the
// write path another one to meet the faults a machine cannot be made to show on demand (a
// full disk, a short write, a read-only folder for a user who may write anywhere).
class FileSystem
{
public:
    // The system itself.
    static const FileSystem &Real();

    virtual ~FileSystem() = default;

    // Whether target may be replaced or deleted; a name that leads nowhere may be created.
    // Windows' read-only attribute is the owner's missing write permission; it is looked at
    // apart from access rights so that it holds for an administrator (root) too.
    virtual bool MayWrite(const QFileInfo &target) const;
    // write(2) and fsync(2): -1 with errno set on failure.
    virtual ssize_t Write(int fd, const char *data, size_t size) const;
    virtual int Sync(int fd) const;
    // The moments of a replace a test may end the process at, to see what a kill there leaves:
    // the temporary file made, its bytes written and synced, the old file's fate decided, renamed.
    enum class Point { Created, Written, BeforeRename, Renamed };
    virtual void Reached(Point) const {}
    // Renames a file; an existing file of the new name is not replaced. The reason on failure.
    virtual Result<void> Rename(const QString &from, const QString &to) const;
};
