#pragma once

#include "platform/Result.h"

#include <QString>

// The suite's text and number conversions (Trim, IsNumeric, Val, CInt), kept exactly because
// configuration files written by other tools of the suite are read with them.
namespace Vb {

// Removes leading and trailing blanks (0x20) only; tabs stay.
QString Trim(const QString &text);
// Trim without a copy, for readers that trim every line.
QStringView TrimView(QStringView text);

// The number of a value: leading number of the text, blanks inside it skipped, "." as the
// only decimal point, &H / &O prefixes, 0 when there is none.
double Val(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

Failure TypeMismatch();
Failure Overflow();

// Conversion of a text to a 16-bit whole number: the text must be a number (blanks
// around it allowed), halves round to even, outside -32768..32767 is an overflow.
Result<qint16> CInt(const QString &text);
// Why CInt refused text, as an operator reads it: what the value is and what was wanted.
Wording CIntRefusal(const QString &text, const Failure &refused);

// True when text is a number as a conversion would accept it (the empty text is not).
bool IsNumeric(const QString &text);

} // namespace Vb
