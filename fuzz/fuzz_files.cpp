// The file layer under the formats: bytes written atomically read back as written, as
// bytes and as Windows-1252 text, and the configuration writer replaces a file with exactly
// what it formats, or leaves it whole when it refuses the record.

#include "FuzzSupport.h"

#include "config/ConfigFormat.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::Bytes(data, size);
    const QString path = Fuzz::ScratchDir() + QStringLiteral("/input.tsy");
    FUZZ_CHECK(FileIo::WriteFileAtomic(path, input));
    const Result<QByteArray> bytes = FileIo::ReadBytes(path);
    FUZZ_CHECK(bytes && bytes.value() == input);
    const Result<QString> text = FileIo::ReadAnsiText(path);
    FUZZ_CHECK(bool(text) == (input.size() <= FileIo::kTextFileLimit));
    FUZZ_CHECK(!text || text.value() == Ansi::Decode(input));

    // The same file as a record: replaced by what the writer formats, or left as it was
    // when the writer refuses the record.
    const QList<QByteArray> fields = Fuzz::Fields(input, int(ConfigKeys.size()));
    ConfigRecord record;
    for (size_t i = 0; i < ConfigKeys.size(); ++i)
        record.*ConfigKeys[i].field = QString::fromUtf8(fields[qsizetype(i)]);
    const bool written = ConfigFormat::WriteFile(path, record).ok();
    FUZZ_CHECK(written == ConfigFormat::WhyNotWritable(record).IsEmpty());
    const Result<QByteArray> stored = FileIo::ReadBytes(path);
    FUZZ_CHECK(stored && stored.value() == (written ? ConfigFormat::Format(record) : input));
    return 0;
}
