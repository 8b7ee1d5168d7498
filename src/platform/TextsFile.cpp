#include "platform/TextsFile.h"

#include <QFile>
#include <QXmlStreamReader>

namespace TextsFile {
namespace {

// The text of the element the reader stands on: text and CDATA of all descendants;
// white-space-only text dropped, one blank where such a piece lay between two others,
// trimmed at both ends.
QString ElementText(QXmlStreamReader &xml)
{
    // A text entry has no markup inside worth the name; deeper nesting is a hostile file.
    constexpr int kMaxDepth = 32;
    QString text;
    bool droppedSinceLast = false;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxDepth)
                xml.raiseError(QStringLiteral("Elements nested too deep"));
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters:
            if (xml.isWhitespace() && !xml.isCDATA()) {
                droppedSinceLast = true;
            } else {
                if (droppedSinceLast && !text.isEmpty())
                    text += u' ';
                text += xml.text();
                droppedSinceLast = false;
            }
            break;
        case QXmlStreamReader::EntityReference: text += xml.text(); break;
        default: break;
        }
    }
    return text.trimmed();
}

} // namespace

std::optional<QHash<QString, QString>> Parse(QIODevice &document)
{
    QXmlStreamReader xml(&document);
    // Entities that expand to more than this are refused ("billion laughs").
    xml.setEntityExpansionLimit(4096);
    QHash<QString, QString> texts;
    bool rootSeen = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (xml.name() != QLatin1String("I18NTEXT")) {
                // Another root: a well-formed document in which no label is found.
                while (!xml.atEnd())
                    xml.readNext();
                break;
            }
            continue;
        }
        const QString name = xml.name().toString();
        const QString text = ElementText(xml);
        if (!texts.contains(name))
            texts.insert(name, text);
    }
    if (xml.hasError() || !rootSeen)
        return std::nullopt;
    return texts;
}

const QHash<QString, QString> &BuiltIn()
{
    static const QHash<QString, QString> texts = [] {
        QFile file(QStringLiteral(":/texts/I18nText.xml"));
        std::optional<QHash<QString, QString>> parsed;
        if (file.open(QIODevice::ReadOnly))
            parsed = Parse(file);
        return parsed.value_or(QHash<QString, QString>());
    }();
    return texts;
}

} // namespace TextsFile
