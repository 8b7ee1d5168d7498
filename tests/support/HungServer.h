#pragma once

#include "support/PostgresFixture.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A database server that takes connections and never answers: a listening socket on the
// loopback from which nothing is ever accepted (the kernel completes each handshake), reached
// through data source name dsn of the private odbc.ini. Close() resets what waits on it.
class HungServer final
{
public:
    explicit HungServer(const QString &dsn) : m_dsn(dsn)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || ::listen(m_fd, 64) != 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) != 0
            || !PostgresFixture::AddDataSource(dsn, QString::number(ntohs(address.sin_port)), QStringLiteral("hung"), &m_error))
            Close();
    }
    ~HungServer() { Close(); }
    HungServer(const HungServer &) = delete;
    HungServer &operator=(const HungServer &) = delete;

    bool Listening() const { return m_fd >= 0; }
    const QString &dsn() const { return m_dsn; }
    const QString &error() const { return m_error; }
    void Close() { m_fd = m_fd >= 0 ? (::close(m_fd), -1) : -1; }

private:
    QString m_dsn, m_error;
    int m_fd = -1;
};
