#include "app/GuiModule.h"

#include <QLibrary>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace GuiModule {
namespace {

// What the box's child process ends with: its answer, offset so that no other way of
// ending (a failed load, an abort of the platform plugin) reads as an answer.
constexpr int AnswerBase = 40;

QFunctionPointer Resolve(QLibrary &library, const QString &appDir, const char *symbol)
{
    library.setFileName(appDir + u'/' + QLatin1String(LibraryFile));
    QFunctionPointer f = library.load() ? library.resolve(symbol) : nullptr;
    if (!f)
        std::fprintf(stderr, "The windows cannot be shown: %s\n", qPrintable(library.errorString()));
    return f;
}

} // namespace

int RunInteractive(const QString &appDir, int argc, char **argv)
{
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
