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
Result<std::unique_ptr<Held>> Acquire(int fd, int waitMs, const QString &what,
                                      const std::function<void()> &whileWaiting)
{
    const QDeadlineTimer deadline(waitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err != EWOULDBLOCK || deadline.hasExpired()) {
            ::close(fd);
            const QString why = err == EWOULDBLOCK
                                    ? QStringLiteral("another program has held it for more than %1 seconds")
                                          .arg(waitMs / 1000.0)
                                    : qt_error_string(err);
            return Failure{ErrorNumber::PermissionDenied,
                             QStringLiteral("%1 is locked: %2. Nothing was written; try again.").arg(what, why)};
        }
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(20);
    }
    return std::make_unique<Held>(fd);
}

Failure CannotLock(const QString &what)
{
    return Failure{ErrorNumber::PathFileAccess,
                     QStringLiteral("%1 cannot be locked: %2").arg(what, qt_error_string(errno))};
}

} // namespace

Result<std::unique_ptr<Held>> LockFolder(const QString &folder, const std::function<void()> &whileWaiting)
{
    const QString what = QStringLiteral("The folder ") + QDir::toNativeSeparators(folder);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return CannotLock(what);
    return Acquire(fd, g_waitLimitMs, what, whileWaiting);
}

Result<std::unique_ptr<Held>> LockFile(const QString &lockFile, int waitMs)
{
    const QString what = QDir::toNativeSeparators(lockFile);
    // In a shared folder: never a link, never a FIFO (which would freeze the open).
    Result<SharedFolder::Handle> opened = FileIo::OpenAppend(lockFile);
    if (!opened)
        return Failure{ErrorNumber::PathFileAccess,
                       QStringLiteral("%1 cannot be locked: %2").arg(what, opened.error().description)};
    return Acquire(opened.value()->Release(), waitMs, what, {});
}

} // namespace FileLock
