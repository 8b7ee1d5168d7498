#include "config/MergeSplitPair.h"

#include "config/Products.h"

namespace MergeSplitPair {

Pick Choose(const QList<ConfigEntry> &rows)
{
    Pick pick;
    qint16 first = 0;
    for (const ConfigEntry &row : rows) {
        const Product *product = ProductWithCode(row.ProductCode);
        if ((product && product->mergeSplitSlot < 0) || (first != 0 && row.ProductCode == first)) {
            pick.verdict = Verdict::Refused;
            return pick;
        }
        if (first == 0)
            first = row.ProductCode;
        if (product)
            pick.files[size_t(product->mergeSplitSlot)] = row.FileName;
        if (!pick.files[0].isEmpty() && !pick.files[1].isEmpty()) {
            pick.verdict = Verdict::Pair;
            return pick;
        }
    }
    return pick;
}

} // namespace MergeSplitPair
