// The localised-text reader over any bytes: hostile XML (entity expansion, deep nesting)
// must come back quickly, and the same bytes give the same texts. In memory: reading the
// file and keeping its texts while it stays the same are tested with LocalisedText.

#include "FuzzSupport.h"

#include "app/LocalisedText.h"

#include <QBuffer>

namespace {

std::optional<QHash<QString, QString>> ParseBytes(const QByteArray &bytes)
{
    QBuffer document;
    document.setData(bytes);
    document.open(QIODevice::ReadOnly);
    return LocalisedText::Parse(document);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    const auto texts = ParseBytes(bytes);
    if (!texts)
        return 0;
    for (auto it = texts->cbegin(); it != texts->cend(); ++it)
        FUZZ_CHECK(!it.key().isEmpty());
    FUZZ_CHECK(ParseBytes(bytes) == texts);
    return 0;
}
