#pragma once

#include "app/RecordedMessages.h"

// Every message of the program is shown here, as a message box, and recorded.
class MessageBoxes final : public RecordedMessages
{
protected:
    std::optional<MsgResult> ShowBox(const QString &text, MsgIcon icon, MsgButtons buttons,
                                     const QString &title) override;
};
