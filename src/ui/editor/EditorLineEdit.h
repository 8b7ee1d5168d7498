#pragma once

#include <QFocusEvent>
#include <QLineEdit>
#include <functional>

// A text box whose selection is set by a rule each time it receives the focus. The rule
// runs after the box's own focus handling and learns where the selection began before,
// so that a rule may leave the start where it was.
class EditorLineEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditorLineEdit)
public:
    using FocusRule = std::function<void(QLineEdit &box, int startBefore)>;

    explicit EditorLineEdit(QWidget *parent = nullptr) : QLineEdit(parent) {}
    void SetFocusRule(FocusRule rule) { m_rule = std::move(rule); }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        const int startBefore = hasSelectedText() ? selectionStart() : cursorPosition();
        QLineEdit::focusInEvent(event);
        // Back from a popup of its own (completions, context menu) the box is still being
        // typed in: selecting its text would let the next key replace it.
        if (m_rule && event->reason() != Qt::PopupFocusReason)
            m_rule(*this, startBefore);
    }

private:
    FocusRule m_rule;
};
