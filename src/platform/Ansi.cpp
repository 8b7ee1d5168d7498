#include "platform/Ansi.h"

#include <array>

namespace Ansi {
namespace {

// 0x80..0x9F; the undefined bytes (81, 8D, 8F, 90, 9D) keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar CharOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHighControls[byte - 0x80]);
    return QChar(char16_t(byte));
}

int CodeOf(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == u)
            return int(0x80 + i);
    return -1;
}

QString Decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.append(CharOf(static_cast<unsigned char>(b)));
    return text;
}

QByteArray Encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const int code = CodeOf(ch);
        bytes.append(code < 0 ? '?' : char(code));
    }
    return bytes;
}

bool CanEncode(const QString &text, qsizetype *firstBad)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (CodeOf(text.at(i)) < 0) {
            if (firstBad)
                *firstBad = i;
            return false;
        }
    }
    return true;
}

QString Lower(const QString &text)
{
    QString out = text;
    for (QChar &ch : out) {
        const char16_t u = ch.unicode();
        if (u >= 'A' && u <= 'Z')
            ch = QChar(char16_t(u + 32));
        else if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
            ch = QChar(char16_t(u + 32));
        else if (u == 0x0160 || u == 0x0152 || u == 0x017D)
            ch = QChar(char16_t(u + 1)); // Š Œ Ž
        else if (u == 0x0178)
            ch = QChar(char16_t(0xFF)); // Ÿ
    }
    return out;
}

} // namespace Ansi
