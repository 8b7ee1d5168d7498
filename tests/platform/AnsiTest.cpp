#include "platform/Ansi.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(Ansi, EveryByteRoundTripsThroughText)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Ansi::Decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Ansi::Encode(text), all);
    EXPECT_TRUE(Ansi::CanEncode(text));
}

TEST(Ansi, HighControlRangeFollowsWindows1252)
{
    struct Case { unsigned char byte; char16_t unicode; };
    const Case cases[] = {{0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
                          {0x8F, 0x008F}, {0x90, 0x0090}, {0x93, 0x201C}, {0x9D, 0x009D},
                          {0x9F, 0x0178}, {0xA9, 0x00A9}, {0xAE, 0x00AE}, {0xFF, 0x00FF}};
    for (const Case &c : cases) {
        EXPECT_EQ(Ansi::CharOf(c.byte).unicode(), c.unicode) << int(c.byte);
        EXPECT_EQ(Ansi::CodeOf(QChar(c.unicode)), c.byte) << int(c.byte);
    }
}

TEST(Ansi, CharactersOutsideTheCodePageAreRefused)
{
    qsizetype bad = -1;
    EXPECT_FALSE(Ansi::CanEncode(QStringLiteral("ab\u0103c"), &bad));
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(Ansi::Encode(QStringLiteral("a\u4e2d")), QByteArray("a?"));
    EXPECT_EQ(Ansi::CodeOf(QChar(0x0098)), -1); // a C1 control that 1252 gives to '˜'
}

TEST(Ansi, LowerCaseCoversAccentedCapitalsOnly)
{
    EXPECT_EQ(Ansi::Lower(QStringLiteral("SatelliteAPPLN")), QStringLiteral("satelliteappln"));
    EXPECT_EQ(Ansi::Lower(QStringLiteral("ÀÉÖØÞ×")), QStringLiteral("àéöøþ×"));
    EXPECT_EQ(Ansi::Lower(QStringLiteral("ŠŒŽŸ")), QStringLiteral("šœžÿ"));
}
