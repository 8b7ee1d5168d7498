#pragma once

#include "app/Messages.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The windows live in a shared library of ours beside the program. It is loaded only for
// the interactive mode and for a message box of the silent mode, so that writing a file
// from the command line opens no GUI library at all. These are its entry points, which
// take plain C types, and their loader.
namespace GuiModule {

inline constexpr char LibraryFile[] = "libcs_gui.so";

// Interactive mode on the program's own argc/argv; returns the exit status.
using RunFunction = int (*)(int argc, char **argv);
inline constexpr char RunSymbol[] = "cs_gui_run";

// One message box: UTF-8 texts, MsgIcon and MsgButtons as int; returns a MsgResult as int.
using MessageBoxFunction = int (*)(const char *text, const char *title, int icon, int buttons);
inline constexpr char MessageBoxSymbol[] = "cs_gui_message_box";

// The exit status of a window start without a display to show it on.
inline constexpr int NoDisplayStatus = 3;

// Whether the window goes to an X display: the platform named first (QT_QPA_PLATFORM), or
// without one X11 unless the session (XDG_SESSION_TYPE) is Wayland's.
bool WindowGoesToX11(const QByteArray &qpaPlatform, const QByteArray &sessionType);

// Loads the library from appDir and runs the interactive mode. When it cannot be loaded,
// says why on standard error and returns 1. When no display can be opened, says so and
// returns NoDisplayStatus, never aborts: the X display is held open from before the window
// starts until it has its own connection.
int RunInteractive(const QString &appDir, int argc, char **argv);

// Shows one box through the library on the platform plugin given (QT_QPA_PLATFORM) and
// returns the button pressed. The box runs in a child process, so a display that fails
// half-way can end only the child; nothing when no box could be shown.
std::optional<MsgResult> ShowMessageBox(const QString &appDir, const QByteArray &platform, const QString &text,
                                        MsgIcon icon, MsgButtons buttons, const QString &title);

} // namespace GuiModule
