#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// The satellite applications of the suite. Whatever depends on which application a
// configuration serves is read from this table, nowhere else.
struct Product
{
    qint16 code;           // written after "SatelliteAppln="
    const char *name;      // as fixed English messages name it
    const char *nameLabel; // label identifier of its localised display name
    // Its place in merge and split: 0 or 1, the order of the sections of a joint file, of
    // the two configurations picked and of the pairs the merge-and-split windows keep;
    // -1 when it takes no part.
    int mergeSplitSlot;
    const char *jointSection; // its section in a joint file; null outside merge and split
    // The tables of its database whose publishing bus component merge and split names;
    // only for a product that takes part.
    std::array<int, 8> publisherTables;
    bool choosesPlatform; // the user chooses its database platform; the others use the first
    bool hasWebDirectory; // its configuration names a web directory
    bool runsJavaServer;  // the Java server serves it
    bool hasXmlDelay;     // its joint section holds the minutes between fetches of XML ("Delay")
};

inline constexpr qint16 FieldmarkProduct = 4009;
inline constexpr qint16 WebtrellProduct = 4010;
inline constexpr qint16 RostrumProduct = 1028;

// In the order the configuration editor lists them.
inline constexpr std::array<Product, 3> Products = {{
    {RostrumProduct, "Rostrum", "SLBL0370", 1, "RST", {203, 216, 204, 209, 205, 208, 210, 211}, true, false, true, false},
    {WebtrellProduct, "Webtrell", "SLBL0369", -1, nullptr, {}, false, false, false, false},
    {FieldmarkProduct, "Fieldmark", "SLBL0368", 0, "FMK", {230, 240, 224, 220, 229, 234, 236, 235}, false, true, true, true},
}};

// The product of a code; null for a code of no product.
constexpr const Product *ProductWithCode(qint16 code)
{
    for (const Product &product : Products)
        if (product.code == code)
            return &product;
    return nullptr;
}

// The product whose code a value spells exactly ("4009", not " 4009" or "04009"); null for
// any other text.
inline const Product *ProductSpelledBy(const QString &value)
{
    for (const Product &product : Products)
        if (value == QString::number(product.code))
            return &product;
    return nullptr;
}

// The product in a slot of merge and split (0 or 1).
constexpr const Product &MergeSplitProduct(int slot)
{
    for (const Product &product : Products)
        if (product.mergeSplitSlot == slot)
            return product;
    return Products[0]; // no slot but 0 and 1 is asked for
}

// Merge and split's two products by slot: their names for messages, their joint-file sections.
inline const std::array<QString, 2> ProductNames = {QLatin1String(MergeSplitProduct(0).name),
                                                    QLatin1String(MergeSplitProduct(1).name)};
inline const std::array<QString, 2> JointSections = {QLatin1String(MergeSplitProduct(0).jointSection),
                                                     QLatin1String(MergeSplitProduct(1).jointSection)};

static_assert(MergeSplitProduct(0).mergeSplitSlot == 0 && MergeSplitProduct(1).mergeSplitSlot == 1,
              "merge and split joins two products");
