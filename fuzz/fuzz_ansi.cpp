// The Windows-1252 codec is a bijection on bytes, and the password scramble undoes itself.

#include "FuzzSupport.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    const QString decoded = Ansi::Decode(bytes);
    FUZZ_CHECK(decoded.size() == bytes.size());
    FUZZ_CHECK(Ansi::CanEncode(decoded));
    FUZZ_CHECK(Ansi::Encode(decoded) == bytes);
    FUZZ_CHECK(Ansi::Lower(Ansi::Lower(decoded)) == Ansi::Lower(decoded));

    // Any text, not only what 1252 can hold.
    const QString text = QString::fromUtf8(bytes);
    qsizetype bad = -1;
    if (Ansi::CanEncode(text, &bad)) {
        FUZZ_CHECK(Ansi::Decode(Ansi::Encode(text)) == text);
        const QString scrambled = ScramblePassword(text);
        FUZZ_CHECK(scrambled.size() == text.size());
        FUZZ_CHECK(UnscramblePassword(scrambled) == text);
    } else {
        FUZZ_CHECK(bad >= 0 && bad < text.size() && Ansi::CodeOf(text[bad]) < 0);
        FUZZ_CHECK(Ansi::Encode(text).size() == text.size());
    }
    PasswordSurvivesScrambling(text);
    return 0;
}
