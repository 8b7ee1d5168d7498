#pragma once

#include "app/Messages.h"

#include <QByteArray>
#include <QString>

// The platform plugin on which a message box of the command-line mode is shown, or empty
// when none may be: only an X11 or Wayland display that answers, tried in the order of
// qpaPlatform (QT_QPA_PLATFORM; X11 then Wayland when empty). A platform that shows nobody
// anything (offscreen, minimal) or that has no display to ask ends the search.
QByteArray MessageBoxPlatform(const QByteArray &qpaPlatform, const QByteArray &display,
                              const QByteArray &waylandDisplay, const QByteArray &runtimeDir);

// Messages of the command-line mode: always on standard error, and in a box only on a
// display that answers (the environment decides, through MessageBoxPlatform). Without a
// box, a message is answered by the button Enter presses.
class CommandLineMessages final : public Messages
{
public:
    explicit CommandLineMessages(const QString &appDir);

    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                   QObject *asker) override;

private:
    QString m_appDir;
};
