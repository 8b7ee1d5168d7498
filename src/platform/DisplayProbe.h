#pragma once

#include <QByteArray>

// Whether a display answers, asked without any GUI library and without ever waiting longer
// than the time given: a display left behind by an ended SSH session must not hang or abort
// a script.
namespace DisplayProbe {

// True when an X server at display (the form of DISPLAY: [host]:number[.screen]) replies to
// the connection set-up within timeoutMs; a refusal for want of authorisation is a reply too.
bool X11Answers(const QByteArray &display, int timeoutMs);

// True when a Wayland compositor accepts a connection at display (the form of
// WAYLAND_DISPLAY: a socket name under runtimeDir, or an absolute path).
bool WaylandAnswers(const QByteArray &display, const QByteArray &runtimeDir);

} // namespace DisplayProbe
