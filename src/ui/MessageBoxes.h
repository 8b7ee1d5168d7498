#pragma once

#include "app/Messages.h"

#include <QList>
#include <QString>

// Every message of the program is shown here and recorded. When silent (tests, or the
// command-line mode without a display) no box appears: the next queued answer is
// returned, or the first button's.
class MessageBoxes final : public Messages
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString title;
    };

    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title) override;

    // Also echoes every message to standard error (command-line mode has no window).
    void SetEchoToStderr(bool on) { m_echo = on; }

    void SetSilent(bool on) { m_silent = on; }
    void SetNextAnswers(QList<MsgResult> answers) { m_answers = std::move(answers); }
    const QList<Shown> &ShownMessages() const { return m_shown; }
    void ClearShown() { m_shown.clear(); }

private:
    bool m_silent = false;
    bool m_echo = false;
    QList<MsgResult> m_answers;
    QList<Shown> m_shown;
};
