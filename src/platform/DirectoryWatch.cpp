#include "platform/DirectoryWatch.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO
                                  | IN_ATTRIB;
constexpr uint32_t kFolderEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

DirectoryWatch::DirectoryWatch(QObject *parent) : QObject(parent)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DirectoryWatch::ReadEvents);
}

DirectoryWatch::~DirectoryWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool DirectoryWatch::Watch(const QString &folder)
{
    if (m_fd < 0)
        return false;
    if (m_watch >= 0 && folder == m_folder)
        return true;
    if (m_watch >= 0)
        ::inotify_rm_watch(m_fd, m_watch);
    m_folder = folder;
    m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), kEntryEvents | kFolderEvents);
    return m_watch >= 0;
}

void DirectoryWatch::ReadEvents()
{
    QSet<QString> names;
    bool lost = false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (const char *p = buffer; p < buffer + n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(p);
            p += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                lost = true;
                continue;
            }
            if (event->wd != m_watch)
                continue; // left over from a folder watched before
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                // The watch no longer follows the folder's path: the next Watch makes it anew.
                lost = true;
                if (m_watch >= 0 && !(event->mask & IN_IGNORED))
                    ::inotify_rm_watch(m_fd, m_watch);
                m_watch = -1;
                continue;
            }
            if (event->len > 0)
                names.insert(QFile::decodeName(event->name));
        }
    }
    if (lost)
        emit LostTrack();
    else if (!names.isEmpty())
        emit Changed(names);
}
