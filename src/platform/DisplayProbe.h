#pragma once

#include <QByteArray>

#include <utility>

// Whether a display answers, asked without any GUI library and without ever waiting longer
// than the time given: a display left behind by an ended SSH session must not hang or abort
// a script.
namespace DisplayProbe {

// True when an X server at display (the form of DISPLAY: [host]:number[.screen]) replies to
// the connection set-up within timeoutMs; a refusal for want of authorisation is a reply too.
bool X11Answers(const QByteArray &display, int timeoutMs);

// One X connection set-up, with the cookie of an X authority file when it holds one for the
// display. Accepted, the connection is a client of the server and stays open in fd (the
// caller closes it): a virtual server that resets when its last client leaves does not reset
// while it is held.
struct X11Connection
{
    enum class Reply { None, Refused, Accepted };
    Reply reply = Reply::None;
    int fd = -1;
};
X11Connection ConnectX11(const QByteArray &display, const QByteArray &authority, int timeoutMs);

// The bytes of the user's X authority file: XAUTHORITY, else ~/.Xauthority; empty when none.
QByteArray UserAuthority();

// The cookie (authorisation name and data) for display number of an X authority file's bytes
// (the file XAUTHORITY names): an entry of this host (hostName) or of any host; empty when none.
std::pair<QByteArray, QByteArray> CookieFor(const QByteArray &authority, const QByteArray &hostName,
                                            const QByteArray &number);

// True when a Wayland compositor accepts a connection at display (the form of
// WAYLAND_DISPLAY: a socket name under runtimeDir, or an absolute path).
bool WaylandAnswers(const QByteArray &display, const QByteArray &runtimeDir);

} // namespace DisplayProbe
