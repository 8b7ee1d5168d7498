#include "platform/Wording.h"

#include "platform/TextsFile.h"

#include <cstring>

QString Wording::In(const std::function<QString(const char *label)> &textOf) const
{
    if (!m_label)
        return m_text;
    const QString text = textOf(m_label);
    if (m_arguments.isEmpty())
        return text;
    QString filled;
    filled.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // "%n" or "%nn": the longest number that names an argument.
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1].isDigit()) {
            int number = text[i + 1].digitValue();
            qsizetype end = i + 2;
            if (end < text.size() && text[end].isDigit() && number * 10 + text[end].digitValue() <= m_arguments.size()) {
                number = number * 10 + text[end].digitValue();
                ++end;
            }
            if (number >= 1 && number <= m_arguments.size()) {
                filled += m_arguments[number - 1].In(textOf);
                i = end - 1;
                continue;
            }
        }
        filled += text[i];
    }
    return filled;
}

QString Wording::English() const
{
    return In([](const char *label) {
        return TextsFile::BuiltIn().value(QLatin1String(label), QLatin1String(label));
    });
}

bool Wording::operator==(const Wording &other) const
{
    const bool sameLabel = m_label == other.m_label || (m_label && other.m_label && std::strcmp(m_label, other.m_label) == 0);
    return sameLabel && m_text == other.m_text && m_arguments == other.m_arguments;
}
