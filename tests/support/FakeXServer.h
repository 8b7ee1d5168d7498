#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>
#include <vector>

// A stand-in X server on 127.0.0.1. Answering, it refuses every connection set-up with a
// well-formed reply and closes, so an X client ends at once; silent, it accepts and never
// says anything, like a display behind a hung tunnel.
class FakeXServer
{
public:
    explicit FakeXServer(bool answers);
    ~FakeXServer();
    FakeXServer(const FakeXServer &) = delete;
    FakeXServer &operator=(const FakeXServer &) = delete;

    // The DISPLAY value that reaches it ("127.0.0.1:N").
    QByteArray display() const;
    int connections() const { return m_connections; }

private:
    void Serve();

    const bool m_answers;
    int m_listen = -1;
    int m_number = -1;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stop{false};
    std::vector<int> m_open;
    std::thread m_thread;
};

// A display number from first on at which no X server listens on this machine. Tests that
// start a server of their own start from another number than those that want none there.
int UnusedDisplayNumber(int first = 170);
