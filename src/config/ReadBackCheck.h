#pragma once

#include "platform/Wording.h"

#include <QString>

// Whether the values of a configuration file would reach their readers as the list shows
// them. The list reads every file by its line rules; the editor stops at a line without "=";
// the servers and the joint editor read a joint file's sections through the INI functions,
// which trim tabs, drop outer quotes, cut long values and let the first of two lines win.
namespace ReadBackCheck {

// Why a configuration file holding text would be read back changed by one of its
// readers, naming the line or the section and key (never a value: it may be a password);
// empty when every reader reads what the list shows.
Wording WhyChanged(const QString &text);

} // namespace ReadBackCheck
