#pragma once

#include "platform/VbText.h"

#include <QString>
#include <QStringList>

// Starting the suite's programs from Windows-style command lines, never through a shell.
namespace Process {

// The window state a start asks for; kept in every call, no effect under X11/Wayland.
enum class WindowStyle { Hide, NormalFocus, MinimizedFocus, MaximizedFocus, NormalNoFocus, MinimizedNoFocus };

// Splits a command line by the Windows rules: program name first (quotes without
// backslash rules), then the arguments (quotes, backslashes before quotes, "" inside quotes).
QStringList SplitCommandLine(const QString &commandLine);

enum class Quote { WhenNeeded, Always };
// One argument written so that SplitCommandLine gives it back exactly: in quotes when it
// is empty or holds a blank, tab or quote (or always), with backslashes and quotes escaped.
// WhenNeeded leaves any other value byte for byte as it is.
QString QuoteArgument(const QString &argument, Quote when = Quote::WhenNeeded);

// The program's full path: a name with a directory as it stands; otherwise looked up in
// appDir, then in PATH. Empty when not found.
QString FindProgram(const QString &appDir, const QString &program);

// Starts the command line without waiting, in the current directory. False with the
// platform's description when the program cannot be found or started.
Result<void> Start(const QString &appDir, const QString &commandLine, WindowStyle style);

// Called when a BusyWait begins and ends: the windows show a busy cursor. This layer knows
// no windows; null hooks (the default) show nothing.
void SetWaitHooks(void (*begin)(), void (*end)());

// The wait hooks around a wait of its caller's own; no input reaches the windows meanwhile,
// they still repaint.
class BusyWait final
{
public:
    BusyWait();
    ~BusyWait();
    Q_DISABLE_COPY_MOVE(BusyWait)

private:
    void (*m_end)();
};

} // namespace Process
