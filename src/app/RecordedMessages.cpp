#include "app/RecordedMessages.h"

#include <cstdio>

namespace {

// The button Enter presses: what a message without a box answers.
MsgResult DefaultButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgResult::Yes;
    case MsgButtons::YesNoDefaultNo:
    case MsgButtons::YesNoCancelDefaultNo: return MsgResult::No;
    default: return MsgResult::Ok;
    }
}

} // namespace

MsgResult RecordedMessages::Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    m_shown.append({text, icon, buttons, title});
    if (m_echo) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::fflush(stderr);
    }
    if (!m_silent) {
        if (const std::optional<MsgResult> answer = ShowBox(text, icon, buttons, title))
            return *answer;
    }
    return m_answers.isEmpty() ? DefaultButton(buttons) : m_answers.takeFirst();
}

std::optional<MsgResult> RecordedMessages::ShowBox(const QString &, MsgIcon, MsgButtons, const QString &)
{
    return std::nullopt;
}
