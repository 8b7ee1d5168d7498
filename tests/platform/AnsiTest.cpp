#include "platform/Ansi.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(Ansi, EveryByteRoundTripsThroughTextAsWindows1252AndNoOtherCharacter)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Ansi::Decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Ansi::Encode(text), all);
    EXPECT_TRUE(Ansi::CanEncode(text));
    // 0x80-0x9F follow Windows-1252, its five undefined bytes included; the rest is Latin-1.
    const std::pair<unsigned char, char16_t> cases[] = {
        {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090},
        {0x93, 0x201C}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA9, 0x00A9}, {0xFF, 0x00FF}};
    for (const auto &[byte, unicode] : cases) {
        EXPECT_EQ(Ansi::CharOf(byte).unicode(), unicode) << int(byte);
        EXPECT_EQ(Ansi::CodeOf(QChar(unicode)), byte) << int(byte);
    }
    EXPECT_EQ(Ansi::CodeOf(QChar(0x0098)), -1); // a C1 control that 1252 gives to '˜'

    // Characters outside the code page are refused; lower case covers accented capitals.
    qsizetype bad = -1;
    EXPECT_FALSE(Ansi::CanEncode("ab\u0103c", &bad));
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(Ansi::Encode("a\u4e2d"), QByteArray("a?"));
    EXPECT_EQ(Ansi::Lower("SatelliteAPPLN ÀÉÖØÞ× ŠŒŽŸ"), "satelliteappln àéöøþ× šœžÿ");
}
