#include "app/GuiModule.h"

#include "platform/DisplayProbe.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <utility>
#include <unistd.h>

namespace GuiModule {
namespace {

// What the box's child process ends with: its answer, offset so that no other way of
// ending (a failed load, an abort of the platform plugin) reads as an answer.
constexpr int AnswerBase = 40;

// Long enough for a virtual server's reset and a display across a loaded network.
constexpr int HoldTimeoutMs = 3000;

QFunctionPointer Resolve(QLibrary &library, const QString &appDir, const char *symbol)
{
    library.setFileName(appDir + u'/' + QLatin1String(LibraryFile));
    QFunctionPointer f = library.load() ? library.resolve(symbol) : nullptr;
    if (!f)
        std::fprintf(stderr, "The windows cannot be shown: %s\n", qPrintable(library.errorString()));
    return f;
}

// Held from before the window's start until it has a connection of its own.
int g_heldDisplay = -1;
QtMessageHandler g_previousHandler = nullptr;

// While the window starts, a display Qt cannot open ends the program with a word and a
// status instead of an abort (and its core dump).
void StartHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (g_previousHandler)
            g_previousHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    std::fprintf(stderr, "%s\nThe window cannot be shown: no display could be opened.\n", qPrintable(message));
    std::fflush(nullptr);
    ::_exit(NoDisplayStatus);
}

// Runs once the application object, and with it the window's display connection, exists.
void WindowStarted()
{
    if (g_heldDisplay >= 0)
        ::close(std::exchange(g_heldDisplay, -1));
    qInstallMessageHandler(g_previousHandler);
}

// The X display the window goes to, held: a virtual server (xvfb-run) resets when its last
// client leaves, and a connection made during that reset fails. Retried for a while, as a
// client that has just left may have started one. False when nothing answers there.
bool HoldDisplay(const QByteArray &display)
{
    const QByteArray authority = DisplayProbe::UserAuthority();
    QDeadlineTimer deadline(HoldTimeoutMs);
    for (;;) {
        const DisplayProbe::X11Connection connection =
            DisplayProbe::ConnectX11(display, authority, int(qMin<qint64>(deadline.remainingTime(), 1000)));
        if (connection.reply != DisplayProbe::X11Connection::Reply::None) {
            // Refused: Qt may know another way in; if not, it says so through StartHandler.
            g_heldDisplay = connection.fd;
            return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

} // namespace

bool WindowGoesToX11(const QByteArray &qpaPlatform, const QByteArray &sessionType)
{
    if (qpaPlatform.isEmpty())
        return sessionType != "wayland";
    return qpaPlatform.split(';').constFirst().split(':').constFirst() == "xcb";
}

int RunInteractive(const QString &appDir, int argc, char **argv)
{
    const QByteArray display = qgetenv("DISPLAY");
    if (WindowGoesToX11(qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"))) {
        if (display.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            std::fprintf(stderr, "The window cannot be shown: no display (DISPLAY is not set).\n");
            return NoDisplayStatus;
        }
        if (!display.isEmpty() && !HoldDisplay(display)) {
            std::fprintf(stderr, "The window cannot be shown: no X server answers at DISPLAY=%s.\n",
                         display.constData());
            return NoDisplayStatus;
        }
    }
    g_previousHandler = qInstallMessageHandler(StartHandler);
    qAddPreRoutine(WindowStarted);
    QLibrary library;
    const auto run = reinterpret_cast<RunFunction>(Resolve(library, appDir, RunSymbol));
    return run ? run(argc, argv) : 1;
}

std::optional<MsgResult> ShowMessageBox(const QString &appDir, const QByteArray &platform, const QString &text,
                                        MsgIcon icon, MsgButtons buttons, const QString &title)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        // The box goes with the program: ended from outside, it must not stay on the screen.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::setenv("QT_QPA_PLATFORM", platform.constData(), 1);
        QLibrary library;
        const auto box = reinterpret_cast<MessageBoxFunction>(Resolve(library, appDir, MessageBoxSymbol));
        const int answer = box ? box(text.toUtf8().constData(), title.toUtf8().constData(), int(icon), int(buttons)) : -1;
        std::fflush(nullptr);
        ::_exit(answer < 0 ? EXIT_FAILURE : AnswerBase + answer);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    if (!WIFEXITED(status))
        return std::nullopt;
    const int answer = WEXITSTATUS(status) - AnswerBase;
    if (answer < int(MsgResult::Ok) || answer > int(MsgResult::No))
        return std::nullopt;
    return MsgResult(answer);
}

} // namespace GuiModule
