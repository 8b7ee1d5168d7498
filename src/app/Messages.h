#pragma once

#include <QString>

// What a message box looks like and how it was answered. The program's messages all go
// through one Messages service so that tests can answer them and read what was shown.
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// The ...DefaultNo forms make No the button that Enter presses: every question whose Yes
// destroys or replaces a file uses them.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo, YesNoCancelDefaultNo };
enum class MsgResult { Ok, Cancel, Yes, No };

class Messages
{
public:
    virtual ~Messages() = default;
    // Shows text with the given icon and buttons under title; returns the button pressed.
    virtual MsgResult Show(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title) = 0;
};
