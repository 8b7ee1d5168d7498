#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>

// The entries directly inside one folder, as the system enumerates them.
namespace DirectoryListing {

// What the enumeration knows of an entry without looking at it further: a regular file, a
// symbolic link (wherever it leads, or nowhere: never followed), something else that is not a
// folder (FIFO, device, socket), or not known (the file system does not say; the reader finds
// out when it opens it).
enum class Kind { RegularFile, Link, Other, Unknown };

struct Entry
{
    // Decoded from the system's encoding; a name that is not valid text holds U+FFFD.
    QString name;
    Kind kind = Kind::Unknown;
    // The inode the enumeration gives (some file systems give another than stat does).
    quint64 inode = 0;
};

// Every entry of folder but "." and ".." and folders, in the enumeration's order; a link is an
// entry of its own, whatever it leads to. Costs one getdents per block of names; a stat only
// for the entries whose type the file system does not give. An unreadable folder is an error
// with the system's reason; an entry that vanishes or cannot be looked at hides no other.
Result<QList<Entry>> Files(const QString &folder);

} // namespace DirectoryListing
