#pragma once

#include "config/ConfigRecord.h"

#include <QList>
#include <QString>
#include <array>

// The configurations picked for merge and split: file names in the configuration directory,
// by place (index: the product's mergeSplitSlot, which is also the joint file's section order).
using MergeSplitPick = std::array<QString, 2>;

// Which two configurations merge and split joins: one of each product that takes part, picked
// from the rows in the order the list shows them.
namespace MergeSplitPair {

enum class Verdict {
    Pair,     // both places are filled: the pair is complete
    Refused,  // a row of a product that takes no part, or a second row of the first row's product
    NoPair,   // the rows end before both places are filled
};

struct Pick
{
    Verdict verdict = Verdict::NoPair;
    // The file name in each place (index: the product's mergeSplitSlot), as far as the rows
    // were taken before the verdict; empty where none was.
    MergeSplitPick files;
};

// Rows of no known product (code 0 included) take no place. A row of code 0 before any other
// leaves the first product open, so the next row sets it.
Pick Choose(const QList<ConfigEntry> &rows);

} // namespace MergeSplitPair
