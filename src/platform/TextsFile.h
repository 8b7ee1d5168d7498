#pragma once

#include <QHash>
#include <QString>
#include <optional>

class QIODevice;

// The texts file's format, I18nText.xml: a root I18NTEXT whose direct children are named by
// label, each holding its text. Kept at the lowest layer so that every layer can word its
// texts in the English built into the program.
namespace TextsFile {

// The texts of a document by label: the first of each name among the root's children.
// Nothing for a broken or refused document; none for another root.
std::optional<QHash<QString, QString>> Parse(QIODevice &document);
// The English texts the program was built with, by label.
const QHash<QString, QString> &BuiltIn();

} // namespace TextsFile
