#include "app/LocalisedText.h"

#include "platform/TextsFile.h"

#include <QFile>
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
    return TextsFile::Parse(document);
}

const QHash<QString, QString> &LocalisedText::BuiltIn() { return TextsFile::BuiltIn(); }

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
