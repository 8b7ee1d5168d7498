#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>

class QTabBar;
class QWidget;
class Session;

// How every window makes its named controls and localises them.
//
// A control's localised texts are label identifiers it holds from its making; Localise puts
// the texts in. Design captions stay where a control holds no identifier.
namespace Controls {

// The identifier of the text (caption, title of a window or frame) and of the tool tip.
void SetLabel(QObject *control, const char *label);
void SetTipLabel(QObject *control, const char *label);
// The identifier of the name a screen reader says for a control that no label names.
void SetAccessibleLabel(QWidget *control, const char *label);
// The identifier of a text box's placeholder text.
void SetPlaceholderLabel(QObject *control, const char *label);
// Text and tool tip identifiers of a tab bar's tabs, from the first.
void SetTabLabels(QTabBar *tabs, const QList<std::pair<const char *, const char *>> &labels);

// Gives window and every control in it that holds identifiers the session's texts; the
// identifiers stay, so a second call gives the same texts. A window then has its Alt letters
// repaired (Mnemonics::RepairWindow).
void Localise(Session &session, QObject &window);

// A control of type T, child of parent, with its object name (which tests and the saved
// window state use), its design caption where given and its text's label identifier where given.
template <typename T, typename Parent>
T *Make(Parent *parent, const QString &name, const QString &caption = QString(), const char *label = nullptr)
{
    auto *control = new T(parent);
    control->setObjectName(name);
    if (!caption.isNull()) {
        if constexpr (requires { control->setTitle(caption); })
            control->setTitle(caption);
        else if constexpr (requires { control->setText(caption); })
            control->setText(caption);
    }
    if (label)
        SetLabel(control, label);
    return control;
}

} // namespace Controls
