#pragma once

#include "platform/Result.h"

#include <QString>

#include <functional>
#include <memory>

// An advisory lock (flock) on a folder, shared by every instance of the program and every
// user: whoever holds it may compare a file of the folder with what they loaded and replace
// it, and no one else does so meanwhile. The folder is locked, not the file, because a
// replaced file is a new file: a lock on the old one would not stop the next writer.
namespace FileLock {

class Held final
{
public:
    explicit Held(int fd) : m_fd(fd) {}
    ~Held();
    Held(const Held &) = delete;
    Held &operator=(const Held &) = delete;

private:
    int m_fd;
};

// How long a save waits for a lock that another process holds before it gives up.
int WaitLimitMs();
// Tests shorten it.
void SetWaitLimitMs(int ms);

// Takes the lock on folder, waiting up to WaitLimitMs() while another process holds it;
// whileWaiting runs between tries (a window keeps painting). Fails, naming the folder, when
// the lock stays taken or the folder cannot be opened.
Result<std::unique_ptr<Held>> LockFolder(const QString &folder, const std::function<void()> &whileWaiting = {});

// The same on a lock file, made 0660 when missing, for a file that is itself replaced by a
// rename; waits at most waitMs.
Result<std::unique_ptr<Held>> LockFile(const QString &lockFile, int waitMs);

} // namespace FileLock
