#pragma once

#include "app/Messages.h"

#include <QList>
#include <QString>
#include <optional>

// Records every message and answers it. A box is shown only by a subclass that can show
// one (ShowBox); otherwise, or when silent (tests), the next queued answer is returned, or
// the button Enter presses. This layer knows no windows.
class RecordedMessages : public Messages
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString title;
    };

    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title) final;

    // Also echoes every message to standard error (command-line mode has no window).
    void SetEchoToStderr(bool on) { m_echo = on; }

    void SetSilent(bool on) { m_silent = on; }
    void SetNextAnswers(QList<MsgResult> answers) { m_answers = std::move(answers); }
    const QList<Shown> &ShownMessages() const { return m_shown; }
    void ClearShown() { m_shown.clear(); }

protected:
    // The answer of a box shown to the user, or nothing when no box could be shown.
    virtual std::optional<MsgResult> ShowBox(const QString &text, MsgIcon icon, MsgButtons buttons,
                                             const QString &title);

private:
    bool m_silent = false;
    bool m_echo = false;
    QList<MsgResult> m_answers;
    QList<Shown> m_shown;
};
