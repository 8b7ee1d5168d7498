#pragma once

#include "app/Messages.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

// The tests' messages: each is recorded, never shown, and answered by the next queued
// answer, or by the button Enter presses when none is queued.
class RecordedMessages final : public Messages
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString title;
        QPointer<QObject> asker;
    };

    MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                   QObject *asker) override
    {
        m_shown.append({text, icon, buttons, title, asker});
        if (m_onShow)
            m_onShow(text);
        return m_answers.isEmpty() ? DefaultAnswer(buttons) : m_answers.takeFirst();
    }

    void SetNextAnswers(QList<MsgResult> answers) { m_answers = std::move(answers); }
    const QList<Shown> &ShownMessages() const { return m_shown; }
    void ClearShown() { m_shown.clear(); }
    // Called as each message is shown, to look at the windows behind it.
    void SetOnShow(std::function<void(const QString &)> onShow) { m_onShow = std::move(onShow); }

private:
    QList<MsgResult> m_answers;
    QList<Shown> m_shown;
    std::function<void(const QString &)> m_onShow;
};
