#include "platform/VbText.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

// Trim removes blanks only; IsNumeric needs the whole text; Val reads the leading number.
TEST(VbText, TrimIsNumericValAndCIntKeepTheSuitesRules)
{
    EXPECT_EQ(Vb::Trim(" \ta b\t  "), "\ta b\t");
    EXPECT_EQ(Vb::Trim("   "), QString());
    EXPECT_TRUE(Vb::IsNumeric(" 8080 "));
    EXPECT_FALSE(Vb::IsNumeric("   "));
    EXPECT_FALSE(Vb::IsNumeric("80a"));
    // Val reads the leading number.
    const std::pair<const char *, double> values[] = {
        {"1.0", 1}, {" 2 45 7", 2457}, {"1.4", 1.4}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-3.5", -3.5},
        {"1,5", 1}, {"&H1F", 31}, {"&O17", 15}, {"&HFFFF", -1}, {"1e3", 1000}, {"2e", 2}, {".5", 0.5},
        {"+7", 7}, {"  1.2.3", 1.2},
    };
    for (const auto &[text, value] : values)
        EXPECT_DOUBLE_EQ(Vb::Val(QString::fromUtf8(text)), value) << text;

    // CInt: halves go to the even neighbour; out of range is an overflow (6), no number a
    // type mismatch (13).
    for (const auto &[in, out] : {std::pair{0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-0.5, 0.0}, {-1.5, -2.0}, {1.6, 2.0}})
        EXPECT_EQ(Vb::RoundHalfEven(in), out) << in;
    struct Case { const char *text; int errorNumber; qint16 value; };
    const Case cases[] = {
        {" 1 ", 0, 1}, {"1.2", 0, 1}, {"2.5", 0, 2}, {"3.5", 0, 4}, {"-32768", 0, -32768}, {"32767", 0, 32767},
        {"&H10", 0, 16}, {"32768", 6, 0}, {"-40000", 6, 0}, {"", 13, 0}, {"abc", 13, 0}, {"1x", 13, 0},
    };
    for (const Case &c : cases) {
        const Result<qint16> v = Vb::CInt(QString::fromUtf8(c.text));
        EXPECT_EQ(v ? v.value() : v.error().number, v ? c.value : c.errorNumber) << c.text;
        EXPECT_EQ(v.ok(), c.errorNumber == 0) << c.text;
    }
}
