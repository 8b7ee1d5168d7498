#include "platform/DisplayProbe.h"

#include <QDeadlineTimer>
#include <QList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace DisplayProbe {
namespace {

class Socket final
{
public:
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// Waits for events on fd until the deadline; false on time-out or error.
bool WaitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(deadline.remainingTime()));
        if (n > 0)
            return (p.revents & events) != 0;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

// Connects a non-blocking socket within the deadline.
bool Connect(int fd, const sockaddr *address, socklen_t length, const QDeadlineTimer &deadline)
{
    if (::connect(fd, address, length) == 0)
        return true;
    if (errno != EINPROGRESS && errno != EAGAIN)
        return false;
    if (!WaitFor(fd, POLLOUT, deadline))
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

int NewSocket(int family)
{
    return ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// A local socket by path; abstract when the name starts with a NUL byte.
int ConnectLocal(const QByteArray &name, const QDeadlineTimer &deadline)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = NewSocket(AF_UNIX);
    if (fd < 0)
        return -1;
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size())
                                       + (name.startsWith('\0') ? 0 : 1));
    if (Connect(fd, reinterpret_cast<const sockaddr *>(&address), length, deadline))
        return fd;
    ::close(fd);
    return -1;
}

int ConnectTcp(const QByteArray &host, int port, const QDeadlineTimer &deadline)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (addrinfo *a = found; a && fd < 0 && !deadline.hasExpired(); a = a->ai_next) {
        fd = NewSocket(a->ai_family);
        if (fd >= 0 && !Connect(fd, a->ai_addr, a->ai_addrlen, deadline)) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    return fd;
}

} // namespace

bool X11Answers(const QByteArray &display, int timeoutMs)
{
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    QByteArray rest = display;
    QByteArray protocol;
    if (const qsizetype slash = rest.indexOf('/'); slash >= 0 && slash < rest.indexOf(':')) {
        protocol = rest.left(slash);
        rest = rest.mid(slash + 1);
    }
    const qsizetype colon = rest.lastIndexOf(':');
    if (colon < 0 || (colon > 0 && rest.at(colon - 1) == ':')) // no number, or DECnet
        return false;
    const QByteArray host = rest.left(colon);
    bool ok = false;
    const int number = rest.mid(colon + 1).split('.').value(0).toInt(&ok);
    if (!ok || number < 0)
        return false;

    int fd = -1;
    if ((host.isEmpty() || host == "unix") && protocol != "tcp") {
        const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
        fd = ConnectLocal('\0' + path, deadline);
        if (fd < 0)
            fd = ConnectLocal(path, deadline);
    } else {
        fd = ConnectTcp(host.isEmpty() || host == "unix" ? QByteArray("localhost") : host, 6000 + number, deadline);
    }
    if (fd < 0)
        return false;
    const Socket socket(fd);

    // Connection set-up, little-endian, protocol 11.0, no authorisation: every X server
    // replies to it with Failed, Success or Authenticate.
    const char request[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (::send(fd, request, sizeof request, MSG_NOSIGNAL) != qsizetype(sizeof request))
        return false;
    if (!WaitFor(fd, POLLIN, deadline))
        return false;
    char reply = 0;
    return ::recv(fd, &reply, 1, 0) == 1 && reply >= 0 && reply <= 2;
}

bool WaylandAnswers(const QByteArray &display, const QByteArray &runtimeDir)
{
    QByteArray path = display.isEmpty() ? QByteArray("wayland-0") : display;
    if (!path.startsWith('/')) {
        if (runtimeDir.isEmpty())
            return false;
        path = runtimeDir + '/' + path;
    }
    const int fd = ConnectLocal(path, QDeadlineTimer(1000));
    const Socket socket(fd);
    return fd >= 0;
}

} // namespace DisplayProbe
