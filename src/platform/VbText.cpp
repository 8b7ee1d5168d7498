#include "platform/VbText.h"

#include <cmath>
#include <optional>

namespace Vb {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Reads a number from the start of s (blanks already removed). Returns the value and
// sets *used to the count of characters that belong to it (0: no number).
double ParseNumberPrefix(const QString &s, qsizetype *used)
{
    *used = 0;
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (n >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (base) {
            qsizetype j = 2;
            quint64 v = 0;
            while (j < n) {
                const int d = s[j].isDigit() ? s[j].digitValue()
                              : (base == 16 && s[j].toUpper() >= u'A' && s[j].toUpper() <= u'F')
                                  ? s[j].toUpper().unicode() - 'A' + 10
                                  : -1;
                if (d < 0 || d >= base)
                    break;
                v = v * base + d;
                ++j;
            }
            if (j == 2)
                return 0;
            *used = j;
            // Hexadecimal and octal literals are 16- or 32-bit patterns, read as signed.
            if (v <= 0xFFFF)
                return double(qint16(quint16(v)));
            return double(qint32(quint32(v)));
        }
    }
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < n && s[i] == u'.') {
        ++i;
        const qsizetype f = i;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128)
            ++i;
        digits += i - f;
    }
    if (digits == 0)
        return 0;
    qsizetype end = i;
    if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const qsizetype e = j;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128)
            ++j;
        if (j > e)
            end = j;
    }
    QString num = s.left(end);
    for (QChar &c : num)
        if (c == u'd' || c == u'D')
            c = u'e';
    *used = end;
    return num.toDouble();
}

} // namespace

QStringView TrimView(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString Trim(const QString &text) { return TrimView(text).toString(); }

double Val(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!IsBlank(c))
            s.append(c);
    qsizetype used = 0;
    return ParseNumberPrefix(s, &used);
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

Failure TypeMismatch() { return {ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch")}; }
Failure Overflow() { return {ErrorNumber::Overflow, QStringLiteral("Overflow")}; }

static std::optional<double> StrictNumber(const QString &text)
{
    QString s = text;
    while (!s.isEmpty() && IsBlank(s.front()))
        s.remove(0, 1);
    while (!s.isEmpty() && IsBlank(s.back()))
        s.chop(1);
    if (s.isEmpty())
        return std::nullopt;
    qsizetype used = 0;
    const double v = ParseNumberPrefix(s, &used);
    if (used != s.size())
        return std::nullopt;
    return v;
}

Result<qint16> CInt(const QString &text)
{
    const std::optional<double> v = StrictNumber(text);
    if (!v)
        return TypeMismatch();
    const double r = RoundHalfEven(*v);
    if (!(r >= -32768.0 && r <= 32767.0))
        return Overflow();
    return qint16(r);
}

bool IsNumeric(const QString &text) { return StrictNumber(text).has_value(); }

Wording CIntRefusal(const QString &text, const Failure &refused)
{
    if (refused.number == ErrorNumber::Overflow)
        return Wording("CS_VALUE_OUT_OF_RANGE", {text});
    if (Trim(text).isEmpty())
        return Wording("CS_VALUE_EMPTY_NUMBER");
    return Wording("CS_VALUE_NOT_NUMBER", {text});
}

} // namespace Vb

namespace ResultDetail {
void ValueOfFailure(const Failure &failure)
{
    qFatal("The value of a failed result was read: %d %s", failure.number, qPrintable(failure.description));
}
} // namespace ResultDetail
