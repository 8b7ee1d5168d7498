// The INI profile functions over any file's text, and the writer's promise: a value written is
// the value read back.

#include "FuzzSupport.h"

#include "platform/Ansi.h"
#include "platform/IniProfile.h"

namespace {

// A section or key name that stands on a line of its own as written.
bool PlainName(const QString &name)
{
    if (name.isEmpty() || !Ansi::CanEncode(name))
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || QStringLiteral("[]=; \"'").contains(c))
            return false;
    return true;
}

// A value that reads back unchanged: no line end, no surrounding blanks, not quoted.
bool PlainValue(const QString &value)
{
    if (!Ansi::CanEncode(value) || value.contains(u'\r') || value.contains(u'\n'))
        return false;
    auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; };
    if (!value.isEmpty() && (space(value.front()) || space(value.back())))
        return false;
    return !(value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
             && value.back() == value.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = Fuzz::Fields(Fuzz::Bytes(data, size), 4);
    // The profile as its file's bytes read; the file functions are these two over a read
    // and an atomic write (the file layer has its own target).
    const QString text = Ansi::Decode(fields[0]);
    const QString section = QString::fromUtf8(fields[1]);
    const QString key = QString::fromUtf8(fields[2]);
    const QString value = QString::fromUtf8(fields[3]);

    IniProfile::GetProfileStringIn(text, section, key, QStringLiteral("default "), 256);
    const Result<QString> written = IniProfile::WithProfileString(text, section, key, value);
    if (!PlainName(section) || !PlainName(key) || !PlainValue(value))
        return 0;
    FUZZ_CHECK(written);
    // Read back as the file holds it: Windows-1252 bytes.
    const QString file = Ansi::Decode(Ansi::Encode(written.value()));
    const QString back =
        IniProfile::GetProfileStringIn(file, section, key, QStringLiteral("\x01"), int(value.size()) + 2);
    FUZZ_CHECK(back == value);
    return 0;
}
