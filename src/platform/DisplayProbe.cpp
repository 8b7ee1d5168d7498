#include "platform/DisplayProbe.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QList>

#include <cerrno>
#include <cstring>
#include <utility>
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
    int Release() { return std::exchange(m_fd, -1); }

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

QByteArray UserAuthority()
{
    QByteArray path = qgetenv("XAUTHORITY");
    if (path.isEmpty())
        path = qgetenv("HOME") + "/.Xauthority";
    QFile file(QFile::decodeName(path));
    // A cookie file is small; a larger one is no authority file.
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 20) : QByteArray();
}

std::pair<QByteArray, QByteArray> CookieFor(const QByteArray &authority, const QByteArray &hostName,
                                            const QByteArray &number)
{
    // Entries of family, then address, number, name and data, each counted by a big-endian
    // 16-bit length; the first that fits wins, as libxcb takes it.
    constexpr quint16 FamilyLocal = 256, FamilyWild = 65535;
    qsizetype at = 0;
    const auto field16 = [&](quint16 &out) {
        if (at + 2 > authority.size())
            return false;
        out = quint16((quint8(authority[at]) << 8) | quint8(authority[at + 1]));
        at += 2;
        return true;
    };
    const auto counted = [&](QByteArray &out) {
        quint16 length = 0;
        if (!field16(length) || at + length > authority.size())
            return false;
        out = authority.mid(at, length);
        at += length;
        return true;
    };
    for (;;) {
        quint16 family = 0;
        QByteArray address, entryNumber, name, data;
        if (!field16(family) || !counted(address) || !counted(entryNumber) || !counted(name) || !counted(data))
            return {};
        const bool thisHost = family == FamilyWild || (family == FamilyLocal && address == hostName);
        if (thisHost && (entryNumber.isEmpty() || entryNumber == number))
            return {name, data};
    }
}

X11Connection ConnectX11(const QByteArray &display, const QByteArray &authority, int timeoutMs)
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
        return {};
    const QByteArray host = rest.left(colon);
    const QByteArray numberText = rest.mid(colon + 1).split('.').value(0);
    bool ok = false;
    const int number = numberText.toInt(&ok);
    if (!ok || number < 0)
        return {};

    int fd = -1;
    const bool local = (host.isEmpty() || host == "unix") && protocol != "tcp";
    if (local) {
        const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(number);
        fd = ConnectLocal('\0' + path, deadline);
        if (fd < 0)
            fd = ConnectLocal(path, deadline);
    } else {
        fd = ConnectTcp(host.isEmpty() || host == "unix" ? QByteArray("localhost") : host, 6000 + number, deadline);
    }
    if (fd < 0)
        return {};
    Socket socket(fd);

    // Connection set-up, little-endian, protocol 11.0, with the cookie when there is one:
    // every X server replies to it with Failed, Success or Authenticate.
    char hostName[256] = {};
    ::gethostname(hostName, sizeof hostName - 1);
    const auto [name, data] = local ? CookieFor(authority, hostName, numberText) : std::pair<QByteArray, QByteArray>();
    const auto padded = [](QByteArray bytes) { return bytes.append(QByteArray((4 - bytes.size() % 4) % 4, '\0')); };
    QByteArray request("l\0\x0b\0\0\0", 6);
    for (const qsizetype length : {name.size(), data.size()})
        request.append(char(length & 0xff)).append(char((length >> 8) & 0xff));
    request.append(2, '\0').append(padded(name)).append(padded(data));
    if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size())
        return {};
    if (!WaitFor(fd, POLLIN, deadline))
        return {};
    char reply = 0;
    if (::recv(fd, &reply, 1, 0) != 1 || reply < 0 || reply > 2)
        return {};
    if (reply != 1)
        return {X11Connection::Reply::Refused, -1};
    return {X11Connection::Reply::Accepted, socket.Release()};
}

bool X11Answers(const QByteArray &display, int timeoutMs)
{
    const X11Connection connection = ConnectX11(display, QByteArray(), timeoutMs);
    if (connection.fd >= 0)
        ::close(connection.fd);
    return connection.reply != X11Connection::Reply::None;
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
