#pragma once

#include <QHash>
#include <QString>
#include <optional>

class QIODevice;

// Localised texts by label identifier, read from I18nText.xml in the application
// directory: the text of the first direct child of the root I18NTEXT named after the label.
// A changed file shows at the next lookup: the parsed texts are reused only while the
// file's identity, size and modification time stay the same. A label the file lacks (or
// every label, when the file is missing or broken) gets the English text built into the
// program, so an administrator's file from an older version never shows an identifier.
class LocalisedText final
{
public:
    explicit LocalisedText(const QString &appDir);

    // The text of the file, else the built-in English text, else the label itself; the empty
    // text when the label cannot be looked up (not a valid element name).
    QString GetText(const QString &label);

    // Set by the first successful load; cleared only by a lookup that fails with an error.
    bool TextLoaded() const { return m_textLoaded; }

    // The texts of an I18nText.xml document by label: the first of each name among the
    // root's children. Nothing for a broken or refused document; none for another root.
    static std::optional<QHash<QString, QString>> Parse(QIODevice &document);
    // The English texts the program was built with, by label.
    static const QHash<QString, QString> &BuiltIn();

private:
    bool Load();

    QString m_path;
    bool m_textLoaded = false;
    QHash<QString, QString> m_texts; // texts of the most recent load
    // What the cached texts were read from: device, inode, size and both file times to the
    // nanosecond, so that a rewrite within the same millisecond is still seen.
    struct Identity
    {
        quint64 device = 0, inode = 0;
        qint64 size = -1, mtimeNs = 0, ctimeNs = 0;
        bool operator==(const Identity &) const = default;
    };
    Identity m_identity;
};
