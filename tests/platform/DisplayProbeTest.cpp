#include "platform/DisplayProbe.h"
#include "support/FakeXServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

TEST(DisplayProbe, OnlyADisplayThatRepliesOrAcceptsAnswers)
{
    FakeXServer answering(true), silent(false);
    const QByteArray none = ":" + QByteArray::number(UnusedDisplayNumber());
    const std::pair<QByteArray, bool> cases[] = {
        {answering.display(), true},
        {"tcp/" + answering.display() + ".0", true}, // protocol and screen are allowed
        {silent.display(), false},                   // accepts, never replies: the time-out ends it
        {none, false},                               // nothing listens: a stale session's display
        {"127.0.0.1" + none, false},
        {"nonsense", false},
        {"host::0", false}, // DECnet
    };
    for (const auto &[display, answers] : cases)
        EXPECT_EQ(DisplayProbe::X11Answers(display, 300), answers) << display.constData();
    EXPECT_EQ(answering.connections(), 2);

    // A Wayland display answers when its socket accepts.
    QTemporaryDir runtime;
    const QByteArray path = QFile::encodeName(runtime.filePath("wayland-7"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    const QByteArray dir = QFile::encodeName(runtime.path());
    EXPECT_TRUE(DisplayProbe::WaylandAnswers("wayland-7", dir));
    EXPECT_TRUE(DisplayProbe::WaylandAnswers(path, QByteArray()));
    EXPECT_FALSE(DisplayProbe::WaylandAnswers("wayland-8", dir));
    EXPECT_FALSE(DisplayProbe::WaylandAnswers("wayland-7", QByteArray()));
    ::close(fd);
}

// The cookie of an X authority file for a display on this host, as libxcb picks it.
TEST(DisplayProbe, CookieOfThisHostOrAnyForTheDisplayNumber)
{
    const auto entry = [](quint16 family, const QByteArray &address, const QByteArray &number, const QByteArray &data) {
        QByteArray bytes;
        for (const QByteArray &field : {address, number, QByteArray("MIT-MAGIC-COOKIE-1"), data})
            bytes.append(char(field.size() >> 8)).append(char(field.size() & 0xff)).append(field);
        return QByteArray(1, char(family >> 8)).append(char(family & 0xff)).append(bytes);
    };
    const QByteArray other = entry(256, "elsewhere", "99", "A"), wrongNumber = entry(256, "here", "98", "B");
    const struct { QByteArray file, expected; } cases[] = {
        {other + wrongNumber + entry(256, "here", "99", "C"), "C"},
        {entry(65535, "", "99", "D"), "D"}, // any host
        {entry(256, "here", "", "E"), "E"}, // any display of this host
        {entry(0, "here", "99", "F"), ""},  // a network address is not this host's socket
        {other + wrongNumber, ""},
        {entry(256, "here", "99", "G").chopped(1), ""}, // cut short
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DisplayProbe::CookieFor(c.file, "here", "99").second, c.expected) << c.file.toHex().constData();
}
