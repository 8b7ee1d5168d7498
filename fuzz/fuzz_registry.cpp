// The registry.reg reader over any bytes: every encoding and value form it knows.

#include "FuzzSupport.h"

#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Registry::Contents contents;
    if (!Registry::Parse(Fuzz::Bytes(data, size), &contents)) {
        FUZZ_CHECK(contents.keys.isEmpty());
        return 0;
    }
    // Key paths and value names are kept in one spelling, so that lookups ignore case.
    for (auto key = contents.keys.cbegin(); key != contents.keys.cend(); ++key) {
        FUZZ_CHECK(key.key() == key.key().toCaseFolded());
        for (auto value = key->cbegin(); value != key->cend(); ++value)
            FUZZ_CHECK(value.key() == value.key().toCaseFolded());
    }
    return 0;
}
