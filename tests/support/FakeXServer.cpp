#include "FakeXServer.h"

#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

FakeXServer::FakeXServer(bool answers) : m_answers(answers)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    for (int n = 120; n < 400 && m_number < 0; ++n) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(6000 + n));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            m_number = n;
    }
    ::listen(m_listen, 8);
    m_thread = std::thread([this] { Serve(); });
}

FakeXServer::~FakeXServer()
{
    m_stop = true;
    m_thread.join();
    for (int fd : m_open)
        ::close(fd);
    ::close(m_listen);
}

QByteArray FakeXServer::display() const { return "127.0.0.1:" + QByteArray::number(m_number); }

void FakeXServer::Serve()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        ++m_connections;
        if (!m_answers) {
            m_open.push_back(fd);
            continue;
        }
        char request[256];
        pollfd in{fd, POLLIN, 0};
        if (::poll(&in, 1, 1000) > 0)
            (void)::recv(fd, request, sizeof request, 0);
        // Failed, reason of 4 bytes, protocol 11.0, 1 unit of additional data, the reason.
        const char reply[] = {0, 4, 11, 0, 0, 0, 1, 0, 'f', 'a', 'k', 'e'};
        (void)::send(fd, reply, sizeof reply, MSG_NOSIGNAL);
        ::close(fd);
    }
}

int UnusedDisplayNumber(int first)
{
    int n = first;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
        ++n;
    return n;
}
