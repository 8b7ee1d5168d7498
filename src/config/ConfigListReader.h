#pragma once

#include "config/ConfigRecord.h"
#include "platform/DirectoryListing.h"
#include "platform/Result.h"
#include "platform/Wording.h"

#include <QString>
#include <QStringList>

// The configuration list's reading of the lib folder: which files it lists and what it shows
// of each. Used by the main window's list and by the command-line check, so that both apply
// the same rules:
// - a file is listed when its name, trimmed of blanks, ends in ".tsy" (lower case); folders
//   are not; at most MaxListed files, the first ones in list order (case-blind name order);
// - a file is read line by line: a line that is "[FMK]" once trimmed makes it a joint file
//   and ends the reading; blank lines and lines without "=" are skipped; a key line acts as
//   the table of ReadFile below says;
// - a file that cannot be read, whose ldbp is not a whole number, that is not a regular
//   file, whose name is not valid text or that has text but no key of the format on any
//   line (binary garbage) is listed all the same, with the reason.
namespace ConfigList {

// The most files the list holds (a 16-bit count).
inline constexpr int MaxListed = 32767;

// What identifies the version of a file the list showed: a command acts only on a file that
// still has it. exists is false for a name that leads nowhere.
struct FileIdentity
{
    bool exists = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint32 mode = 0;

    // Same file and same contents as far as the system tells: device, inode, size, time.
    // The mode is left out: a chmod changes no text.
    bool SameVersion(const FileIdentity &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size
            && mtimeNs == other.mtimeNs;
    }
};

// One listed file as the list shows it.
struct ListedFile
{
    // What the file is: listed; gone (nothing by that name); a folder (never listed).
    enum class Presence { Listed, Missing, Folder };
    Presence presence = Presence::Missing;

    // FileName, ProductCode (the last known product of a satelliteappln line), Dsn, User,
    // Password (unscrambled), Platform (ldbp), DbMachineName.
    ConfigEntry entry;
    // The application column: the product of the last satelliteappln line, 0 when that line
    // names none (the column is then empty) or there is none.
    qint16 shownProduct = 0;
    QString database, busComponent, logDirectory;
    // A joint (merge-and-split) file: shown bold; the columns hold only what came before "[FMK]".
    bool joint = false;
    // A password line with a value, in any section of the file.
    bool holdsPassword = false;
    // Why it cannot be used (run, paired); empty for a readable file. In the built-in English,
    // and as the program words it, for a window to tell in its language.
    QString unreadable;
    Wording why;
    FileIdentity identity;

    // The stored password can be read by every local account.
    bool PasswordReadableByOthers() const { return holdsPassword && (identity.mode & 0004); }
};

// The file folder/name read under the list's rules, from one open, fstat, read and close.
// kind is what the folder listing said of the name: a FIFO or device is not opened.
// Key lines (key lower-cased, not trimmed; value trimmed of blanks), the later line winning:
//   satelliteappln  application column and shownProduct; ProductCode only when it is a product
//   dsn, user, dbmachinename  entry and column;  database, lhbuscomponent, logdirectory  column
//   ldbp            Platform; not a whole number: unreadable (the first such reason stays)
//   password        Password, unscrambled
ListedFile ReadFile(const QString &folder, const QString &name,
                    DirectoryListing::Kind kind = DirectoryListing::Kind::Unknown);

// The identity of folder/name now, from one stat.
FileIdentity IdentityOf(const QString &folder, const QString &name);

// The configuration files of a folder in list order, at most MaxListed of them.
struct Listing
{
    QList<DirectoryListing::Entry> files;
    // Configuration files beyond MaxListed, not in files.
    int leftOut = 0;
    // Temporary files of interrupted writes that stay although no writer holds them, one line
    // each; those no writer holds are removed by the listing.
    QStringList leftTemporaries;
};
Result<Listing> ListFolder(const QString &folder);

// The order of the list: letter case does not separate names; names equal but for case in
// code order.
bool NameLess(const QString &a, const QString &b);

} // namespace ConfigList
