// The .tsy reader over any bytes, and the writer's promise: a record the writer accepts
// reads back as that record. All in memory: the file layer has its own target.

#include "FuzzSupport.h"

#include "config/ConfigFormat.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::Bytes(data, size);

    // The input as a file's bytes, read as the list and the editor read one.
    QString text = Ansi::Decode(input);
    for (const QString &line : FileIo::SplitLines(text)) {
        QString key, value;
        ConfigFormat::IsJointFileMarker(line);
        if (ConfigFormat::SplitLine(line, &key, &value) == ConfigFormat::LineKind::KeyValue)
            FUZZ_CHECK(value == Vb::Trim(value));
    }
    // The editor's reader: every non-blank line it reads is a field or kept among the other
    // lines; where it stops, the lines after it are counted.
    ConfigRecord read;
    int fieldsRead = 0;
    const ConfigFormat::RecordRead stop =
        ConfigFormat::ReadRecord(text, &read, [&](QString ConfigRecord::*) { ++fieldsRead; });
    const QStringList lines = FileIo::SplitLines(text);
    const int readLines = stop.complete() ? int(lines.size()) : stop.stopLine - 1;
    FUZZ_CHECK(stop.complete() || stop.unreadLines == lines.size() - stop.stopLine);
    int nonBlank = 0;
    for (int i = 0; i < readLines; ++i)
        nonBlank += Vb::Trim(lines[i]).isEmpty() ? 0 : 1;
    FUZZ_CHECK(fieldsRead + read.otherLines.size() == nonBlank);

    // The input as the twenty values of a record, formatted as the writer writes it.
    const QList<QByteArray> fields = Fuzz::Fields(input, int(ConfigKeys.size()));
    ConfigRecord record;
    for (size_t i = 0; i < ConfigKeys.size(); ++i)
        record.*ConfigKeys[i].field = QString::fromUtf8(fields[qsizetype(i)]);
    if (!ConfigFormat::WhyNotWritable(record).IsEmpty())
        return 0;
    text = Ansi::Decode(ConfigFormat::Format(record));
    // Readers trim blanks around values: only values without them can come back as written.
    for (const ConfigKey &k : ConfigKeys)
        if (record.*k.field != Vb::Trim(record.*k.field))
            return 0;
    if (!ConfigFormat::IsFlagSet(record.savepass))
        record.password.clear();
    FUZZ_CHECK(FileIo::SplitLines(text).size() == qsizetype(ConfigKeys.size()));
    ConfigRecord back;
    FUZZ_CHECK(ConfigFormat::ReadRecord(text, &back).complete());
    FUZZ_CHECK(back == record);
    return 0;
}
