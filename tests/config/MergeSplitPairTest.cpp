#include "config/MergeSplitPair.h"

#include <gtest/gtest.h>

namespace {

// Rows in list order, each "<code>:<file>"; the pick as "<verdict>|<Fieldmark file>|<Rostrum file>".
TEST(MergeSplitPair, TakesOneRowOfEachProductThatTakesPartInListOrder)
{
    struct Case { QStringList rows; const char *pick; };
    const Case cases[] = {
        {{"1028:r", "4009:f"}, "pair|f|r"},
        {{"4009:f", "1028:r", "4009:g"}, "pair|f|r"}, // complete before the third row
        {{"4009:f", "4009:g"}, "refused|f|"},
        {{"1028:r", "4010:w"}, "refused||r"},
        {{"4010:w", "1028:r"}, "refused||"},
        {{"9999:x", "1028:r"}, "none||r"},         // an unknown product takes no place...
        {{"9999:x", "9999:y"}, "refused||"},       // ...but is the first row's product
        {{"0:x", "4009:f", "4009:g"}, "refused|f|"}, // code 0 leaves the first product open
        {{"0:x", "0:y", "1028:r", "4009:f"}, "pair|f|r"},
        {{"4009:f", "0:x", "1028:r"}, "pair|f|r"},
        {{"4009:f"}, "none|f|"},
        {{}, "none||"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rows.join(u',').toStdString());
        QList<ConfigEntry> rows;
        for (const QString &row : c.rows) {
            ConfigEntry entry;
            entry.ProductCode = qint16(row.section(u':', 0, 0).toInt());
            entry.FileName = row.section(u':', 1);
            rows.append(entry);
        }
        const MergeSplitPair::Pick pick = MergeSplitPair::Choose(rows);
        const char *verdict = pick.verdict == MergeSplitPair::Verdict::Pair      ? "pair"
                              : pick.verdict == MergeSplitPair::Verdict::Refused ? "refused"
                                                                                  : "none";
        EXPECT_EQ(QStringLiteral("%1|%2|%3").arg(QLatin1String(verdict), pick.files[0], pick.files[1]).toStdString(),
                  c.pick);
    }
}

} // namespace
