// The localised-text reader over any bytes: hostile XML (entity expansion, deep nesting)
// must come back quickly with the labels themselves.

#include "FuzzSupport.h"

#include "app/LocalisedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::WriteScratch(QStringLiteral("I18nText.xml"), Fuzz::Bytes(data, size));
    LocalisedText texts(Fuzz::ScratchDir());
    const QString label = QStringLiteral("SLBL0001");
    const QString text = texts.GetText(label);
    if (!texts.TextLoaded())
        FUZZ_CHECK(text == label);
    // A second lookup of the unchanged file gives the same text, from the cache.
    FUZZ_CHECK(texts.GetText(label) == text);
    texts.GetText(QStringLiteral("SLBL0503"));
    return 0;
}
