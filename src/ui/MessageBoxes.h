#pragma once

#include "app/Messages.h"

// Every message of the program's windows is shown here, as a message box over the window
// that asks (over the window in front when no window asks).
class MessageBoxes final : public Messages
{
public:
    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                   QObject *asker) override;
};
