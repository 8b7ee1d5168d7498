#pragma once

#include <QString>

// The password is stored with every character's code exclusive-ored with one key
// character. The key has its high bit set, so every ASCII password scrambles to bytes
// that are neither blank, CR, LF nor NUL and reads back unchanged.
inline constexpr unsigned char PasswordKey = 0xA7; // '§'

// Both directions are the same operation. Characters outside Windows-1252 come back as '?'.
QString ScramblePassword(const QString &text);
QString UnscramblePassword(const QString &text);

// True when the scrambled form of password reads back as written: it must not begin or
// end with a blank and must hold no CR, LF or NUL, because readers trim values and split
// lines. Also false for characters Windows-1252 cannot hold.
bool PasswordSurvivesScrambling(const QString &password);
