#include "platform/FileLock.h"

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

Result<std::unique_ptr<Held>> LockFolder(const QString &folder, const std::function<void()> &whileWaiting)
{
    const QString shown = QDir::toNativeSeparators(folder);
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Vb::Error{Vb::ErrorNumber::PathFileAccess,
                         QStringLiteral("The folder %1 cannot be locked: %2").arg(shown, qt_error_string(errno))};
    const QDeadlineTimer deadline(g_waitLimitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err != EWOULDBLOCK || deadline.hasExpired()) {
            ::close(fd);
            const QString why = err == EWOULDBLOCK
                                    ? QStringLiteral("another program has held it for more than %1 seconds")
                                          .arg(g_waitLimitMs / 1000.0)
                                    : qt_error_string(err);
            return Vb::Error{Vb::ErrorNumber::PermissionDenied,
                             QStringLiteral("The folder %1 is locked: %2. Nothing was written; try again.")
                                 .arg(shown, why)};
        }
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(20);
    }
    return std::make_unique<Held>(fd);
}

} // namespace FileLock
