#pragma once

#include "app/LocalisedText.h"
#include "platform/Wording.h"

#include <QString>

class QObject;

// What a message box looks like and how it was answered. The program's messages all go
// through one Messages service so that tests can answer them and read what was shown.
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// The ...DefaultNo forms make No the button that Enter presses: every question whose Yes
// destroys or replaces a file uses them.
// TheirsMineCancel asks about a file someone else changed: show their version, overwrite it
// with mine, or Cancel, which Enter presses.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo, YesNoCancelDefaultNo, TheirsMineCancel };
enum class MsgResult { Ok, Cancel, Yes, No, Theirs, Mine };

class Messages
{
public:
    virtual ~Messages() = default;
    // Shows text with the given icon and buttons under title; returns the button pressed.
    // asker is the window that asks, over which the box is shown; null for an operation
    // that knows no window, whose box goes over the window in front.
    virtual MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title,
                           QObject *asker) = 0;
    // The text of a label in the language of these messages: the built-in English unless the
    // messages show in the windows, which use the installed texts file.
    virtual QString Text(const char *label)
    {
        return LocalisedText::BuiltIn().value(QLatin1String(label), QLatin1String(label));
    }
    // A lower layer's wording in the language of these messages.
    QString Text(const Wording &wording)
    {
        return wording.In([this](const char *label) { return Text(label); });
    }
};

// The button Enter presses: the answer of a message that no one sees.
inline MsgResult DefaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgResult::Yes;
    case MsgButtons::YesNoDefaultNo:
    case MsgButtons::YesNoCancelDefaultNo: return MsgResult::No;
    case MsgButtons::TheirsMineCancel: return MsgResult::Cancel;
    default: return MsgResult::Ok;
    }
}

// A message of an operation below the windows: over the window in front, under the title the
// messages give a box without one.
inline MsgResult Tell(Messages &messages, const QString &text, MsgIcon icon = MsgIcon::None,
                      MsgButtons buttons = MsgButtons::Ok)
{
    return messages.Show(text, icon, buttons, QString(), nullptr);
}
