#include "config/PasswordScramble.h"

#include "platform/Ansi.h"

QString ScramblePassword(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const int code = Ansi::CodeOf(ch);
        out.append(Ansi::CharOf(static_cast<unsigned char>((code < 0 ? '?' : code) ^ PasswordKey)));
    }
    return out;
}

QString UnscramblePassword(const QString &text) { return ScramblePassword(text); }

bool PasswordSurvivesScrambling(const QString &password)
{
    if (!Ansi::CanEncode(password))
        return false;
    const QString s = ScramblePassword(password);
    if (s.startsWith(u' ') || s.endsWith(u' '))
        return false;
    for (QChar c : s)
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    return true;
}
