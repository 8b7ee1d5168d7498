#include "platform/VbText.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(VbText, TrimRemovesBlanksOnly)
{
    EXPECT_EQ(Vb::Trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(Vb::Trim(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    EXPECT_EQ(Vb::Trim(QStringLiteral("   ")), QString());
}

TEST(VbText, ValReadsTheLeadingNumber)
{
    struct Case { const char *text; double value; };
    const Case cases[] = {
        {"1", 1}, {"1.0", 1}, {" 2 45 7", 2457}, {"1.4", 1.4}, {"12abc", 12}, {"abc", 0},
        {"", 0}, {"-3.5", -3.5}, {"1,5", 1}, {"&H1F", 31}, {"&O17", 15}, {"&HFFFF", -1},
        {"1e3", 1000}, {"2e", 2}, {".5", 0.5}, {"+7", 7}, {"  1.2.3", 1.2},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(Vb::Val(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(VbText, RoundingGoesToTheEvenNeighbour)
{
    const double in[] = {0.5, 1.5, 2.5, -0.5, -1.5, 1.4, 1.6};
    const double out[] = {0, 2, 2, 0, -2, 1, 2};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Vb::RoundHalfEven(in[i]), out[i]) << in[i];
}

TEST(VbText, CIntConvertsOrReportsTheOriginalErrors)
{
    struct Case { const char *text; int errorNumber; qint16 value; };
    const Case cases[] = {
        {"2", 0, 2}, {" 1 ", 0, 1}, {"1.2", 0, 1}, {"2.5", 0, 2}, {"3.5", 0, 4},
        {"-32768", 0, -32768}, {"32767", 0, 32767}, {"&H10", 0, 16},
        {"32768", 6, 0}, {"-40000", 6, 0}, {"", 13, 0}, {"abc", 13, 0}, {"1x", 13, 0},
    };
    for (const Case &c : cases) {
        const Result<qint16> v = Vb::CInt(QString::fromUtf8(c.text));
        EXPECT_EQ(v.ok(), c.errorNumber == 0) << c.text;
        EXPECT_EQ(v ? v.value() : v.error().number, v ? c.value : c.errorNumber) << c.text;
    }
}

TEST(VbText, IsNumericNeedsTheWholeText)
{
    EXPECT_TRUE(Vb::IsNumeric(QStringLiteral(" 8080 ")));
    EXPECT_FALSE(Vb::IsNumeric(QStringLiteral("   ")));
    EXPECT_FALSE(Vb::IsNumeric(QStringLiteral("80a")));
}
