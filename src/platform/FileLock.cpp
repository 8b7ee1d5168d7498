#include "platform/FileLock.h"

#include "platform/FileIo.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace FileLock {
namespace {

int g_waitLimitMs = 5000;

} // namespace

Held::~Held() { ::close(m_fd); }

int WaitLimitMs() { return g_waitLimitMs; }
void SetWaitLimitMs(int ms) { g_waitLimitMs = ms; }

namespace {

// Takes the lock on the open fd, trying every 20 ms for waitMs; the fd is closed on failure.
// what names the locked thing in the message.
Result<std::unique_ptr<Held>> Acquire(int fd, int waitMs, const Wording &what,
                                      const std::function<void()> &whileWaiting)
{
    const QDeadlineTimer deadline(waitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err != EWOULDBLOCK || deadline.hasExpired()) {
            ::close(fd);
            const Wording why = err == EWOULDBLOCK ? Wording("CS_LOCK_HELD", {QString::number(waitMs / 1000.0)})
                                                   : Wording(qt_error_string(err));
            return Failure::Worded(ErrorNumber::PermissionDenied, Wording("CS_LOCK_LOCKED", {what, why}));
        }
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(20);
    }
    return std::make_unique<Held>(fd);
}

Failure CannotLock(const Wording &what, const Wording &why)
{
    return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_LOCK_CANNOT", {what, why}));
}

} // namespace

Result<std::unique_ptr<Held>> LockFolder(const QString &folder, const std::function<void()> &whileWaiting)
{
    const Wording what("CS_LOCK_FOLDER", {QDir::toNativeSeparators(folder)});
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return CannotLock(what, qt_error_string(errno));
    return Acquire(fd, g_waitLimitMs, what, whileWaiting);
}

Result<std::unique_ptr<Held>> LockFile(const QString &lockFile, int waitMs)
{
    const Wording what(QDir::toNativeSeparators(lockFile));
    // In a shared folder: never a link, never a FIFO (which would freeze the open).
    Result<SharedFolder::Handle> opened = FileIo::OpenAppend(lockFile);
    if (!opened)
        return CannotLock(what, opened.error().Text());
    return Acquire(opened.value()->Release(), waitMs, what, {});
}

} // namespace FileLock
