#include "app/CommandLineMessages.h"

#include "app/GuiModule.h"
#include "platform/DisplayProbe.h"

#include <QList>

#include <cstdio>

namespace {

// Long enough for a loaded X server across a network, short enough for a script.
constexpr int ProbeTimeoutMs = 1000;

} // namespace

QByteArray MessageBoxPlatform(const QByteArray &qpaPlatform, const QByteArray &display,
                              const QByteArray &waylandDisplay, const QByteArray &runtimeDir)
{
    const QList<QByteArray> tried = qpaPlatform.isEmpty() ? QList<QByteArray>{"xcb", "wayland"} : qpaPlatform.split(';');
    for (const QByteArray &entry : tried) {
        const QByteArray name = entry.split(':').constFirst(); // "xcb:option" names xcb
        if (name == "xcb") {
            if (!display.isEmpty() && DisplayProbe::X11Answers(display, ProbeTimeoutMs))
                return entry;
        } else if (name.startsWith("wayland")) {
            if (!waylandDisplay.isEmpty() && DisplayProbe::WaylandAnswers(waylandDisplay, runtimeDir))
                return entry;
        } else if (!name.isEmpty()) {
            return QByteArray(); // the one Qt would use, and not a display we can ask
        }
    }
    return QByteArray();
}

CommandLineMessages::CommandLineMessages(const QString &appDir) : m_appDir(appDir) {}

MsgResult CommandLineMessages::Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                                    QObject *)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    const QByteArray platform = MessageBoxPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"),
                                                   qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_RUNTIME_DIR"));
    if (!platform.isEmpty()) {
        if (const std::optional<MsgResult> answer = GuiModule::ShowMessageBox(m_appDir, platform, text, icon,
                                                                               buttons, title))
            return *answer;
    }
    return DefaultAnswer(buttons);
}
