#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// Localised texts by label identifier, read from I18nText.xml in the application
// directory: the text of the first direct child of the root I18NTEXT named after the label.
// A changed file shows at the next lookup: the parsed texts are reused only while the
// file's identity, size and modification time stay the same.
class LocalisedText final
{
public:
    explicit LocalisedText(const QString &appDir);

    // The text, or the label itself when the file or the entry is missing, or the empty
    // text when the label cannot be looked up (not a valid element name).
    QString GetText(const QString &label) { return LookupText(label); }
    QString LookupText(const QString &label);

    // Set by the first successful load; cleared only by a lookup that fails with an error.
    bool TextLoaded() const { return m_textLoaded; }

    QString FilePath() const { return m_path; }

private:
    bool Load();

    QString m_path;
    bool m_textLoaded = false;
    QHash<QString, QString> m_texts; // texts of the most recent load
    // What the cached texts were read from.
    quint64 m_inode = 0;
    qint64 m_size = -1;
    QDateTime m_modified;
};
