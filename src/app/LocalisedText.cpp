#include "app/LocalisedText.h"

#include <QFile>
#include <QXmlStreamReader>
#include <sys/stat.h>

namespace {

// A valid XML element name: the only labels a path lookup accepts.
bool IsElementName(const QString &label)
{
    if (label.isEmpty())
        return false;
    auto nameStart = [](QChar c) { return c.isLetter() || c == u'_'; };
    if (!nameStart(label[0]))
        return false;
    for (QChar c : label)
        if (!(nameStart(c) || c.isDigit() || c == u'-' || c == u'.'))
            return false;
    return true;
}

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

LocalisedText::LocalisedText(const QString &appDir)
    : m_path(appDir + QLatin1String("/I18nText.xml"))
{
}

bool LocalisedText::Load()
{
    struct stat st {};
    // Only a regular file: a FIFO would block the start, a device never end. The file is the
    // administrator's, beside the program (installed, a link to its conffile in /etc), not in
    // a shared folder, so the link is followed.
    const bool present = ::stat(QFile::encodeName(m_path).constData(), &st) == 0 && S_ISREG(st.st_mode);
    Identity now;
    if (present)
        now = {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
               qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
               qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
    if (present && m_identity.size >= 0 && now == m_identity)
        return true;

    m_texts.clear();
    m_identity = {};
    QFile file(m_path);
    if (!present || !file.open(QIODevice::ReadOnly))
        return false;
    std::optional<QHash<QString, QString>> texts = Parse(file);
    if (!texts)
        return false;
    m_texts = std::move(*texts);
    m_identity = now;
    return true;
}

std::optional<QHash<QString, QString>> LocalisedText::Parse(QIODevice &document)
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

const QHash<QString, QString> &LocalisedText::BuiltIn()
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

QString LocalisedText::GetText(const QString &label)
{
    if (!IsElementName(label)) {
        m_textLoaded = false;
        return QString();
    }
    if (Load())
        m_textLoaded = true;
    if (m_textLoaded) {
        const auto it = m_texts.constFind(label);
        if (it != m_texts.constEnd())
            return *it;
    }
    return BuiltIn().value(label, label);
}
