#pragma once

#include <QByteArray>
#include <QString>

// Single-byte text in the Windows-1252 code page, the code page of the suite's files on
// every platform. The table is a bijection on the 256 bytes: the five bytes 1252 leaves
// undefined map to the C1 control characters of the same value, as Windows maps them.
namespace Ansi {

// The character of one byte.
QChar CharOf(unsigned char byte);
// The byte of a character, or -1 when Windows-1252 cannot hold it.
int CodeOf(QChar ch);

QString Decode(const QByteArray &bytes);
// Characters that 1252 cannot hold become '?'; check with CanEncode first where it matters.
QByteArray Encode(const QString &text);
// True when every character has a byte; otherwise *firstBad is the index of the first one.
bool CanEncode(const QString &text, qsizetype *firstBad = nullptr);

// Lower case of ASCII letters and of the accented capitals of 1252 (Š, Œ, Ž, Ÿ, À..Þ but × ).
QString Lower(const QString &text);

} // namespace Ansi
