#include "MarkedTexts.h"

#include "app/LocalisedText.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamWriter>

namespace MarkedTexts {

QString Mark(const QString &text)
{
    // Padding in words of five wide letters, so that a label may still wrap between them.
    const qsizetype target = (text.size() * 14 + 9) / 10;
    QString padding;
    while (text.size() + padding.size() + 2 < target)
        padding += padding.size() % 6 == 0 ? u' ' : u'ŵ';
    return QChar(Open) + text + padding + QChar(Close);
}

bool IsMarked(const QString &shown)
{
    return QString(shown).remove(u'&').trimmed().startsWith(QChar(Open));
}

QByteArray Make(const QByteArray &texts)
{
    QByteArray copy = texts;
    QBuffer document(&copy);
    document.open(QIODevice::ReadOnly);
    const std::optional<QHash<QString, QString>> parsed = LocalisedText::Parse(document);
    if (!parsed)
        return {};
    // The labels in the order of the file, so that the marked file reads like the original.
    static const QRegularExpression element(QStringLiteral("<([A-Za-z_][A-Za-z0-9_.-]*)>"));
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("I18NTEXT"));
    QSet<QString> written;
    for (const QRegularExpressionMatch &m : element.globalMatch(QString::fromUtf8(texts))) {
        const QString label = m.captured(1);
        if (!parsed->contains(label) || written.contains(label))
            continue;
        written.insert(label);
        xml.writeTextElement(label, Mark(parsed->value(label)));
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace MarkedTexts
