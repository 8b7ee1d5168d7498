#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>

// The entries directly inside one folder, as the system enumerates them.
namespace DirectoryListing {

// What the enumeration knows of an entry without looking at it further: a regular file (or
// a link to one), something else that is not a folder (FIFO, device, socket, broken link),
// or not known (the file system does not say; the reader finds out when it opens it).
enum class Kind { RegularFile, Other, Unknown };

struct Entry
{
    // Decoded from the system's encoding; a name that is not valid text holds U+FFFD.
    QString name;
    Kind kind = Kind::Unknown;
};

// Every entry of folder but "." and ".." and folders (links to folders included), in the
// enumeration's order. Costs one getdents per block of names; a stat only for the entries
// whose type the file system does not give, and for links. An unreadable folder is an
// error with the system's reason.
Result<QList<Entry>> Files(const QString &folder);

} // namespace DirectoryListing
