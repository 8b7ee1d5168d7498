#pragma once

#include <QString>
#include <QtGlobal>

class QComboBox;
class QLabel;
class QWidget;
class Session;

// The rules the configuration editor and the joint configuration editor share.
namespace EditorRules {

// Fills a platform list anew: position 0 is the first platform (ldbp "1"), position 1 the
// second (ldbp "2"), each named by its localised text.
void FillPlatformList(Session &session, QComboBox &platforms);

// The platform chosen in a list FillPlatformList filled, by position: the second platform at
// position 1, else the first.
qint16 ChosenPlatform(const QComboBox &platforms);

// The platform rule: with the second platform chosen, the database and server fields are
// named as that platform names them.
void SetDatabaseLabels(Session &session, const QComboBox &platforms, QLabel &database, QLabel &machine);

// Why a web directory as typed is refused: nothing typed, or a name (blanks around it
// trimmed) of nothing on disk. Empty when it is accepted.
QString WebDirectoryRefusal(Session &session, const QString &typed);

} // namespace EditorRules
