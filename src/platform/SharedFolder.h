#pragma once

#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/Wording.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include <sys/stat.h>

// The files of the folders every operator of the group may change (lib/, log/, OAComponents/):
// what is in them may have been put there by another account. A name is looked up in its
// folder's descriptor (openat), never through a link and never waiting on a FIFO, and what
// was opened is checked (fstat) before it is used. Files made here get their modes set, not
// inherited from the umask or an old file.
namespace SharedFolder {

// Read and write for the owner and the folder's group, nothing for others.
inline constexpr mode_t kFileMode = 0660;
// Folders: the group's, set-group-ID so that what is made inside stays in the group.
inline constexpr mode_t kFolderMode = 02770;

// What a file of this mode is, for a message: "a symbolic link", "a FIFO", "a folder"...
Wording KindWording(mode_t mode);
// The same in the built-in English.
inline QString KindText(mode_t mode) { return KindWording(mode).English(); }

// The entry at path opened for reading as it stands: never through a link (ELOOP), never
// blocking on a FIFO. -1 with errno when it cannot be opened. For a reader that tells a missing
// file, a folder and a link apart itself (the list); the caller closes it.
int OpenEntry(const QString &path);

// An open descriptor, closed with its last owner.
class Descriptor final
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor();
    Q_DISABLE_COPY_MOVE(Descriptor)
    int Fd() const { return m_fd; }
    // Hands the descriptor over; it is not closed here any more.
    int Release();

private:
    int m_fd;
};
using Handle = std::unique_ptr<Descriptor>;

// A file opened for reading with what fstat said of it.
struct OpenedFile
{
    Handle handle;
    struct stat st;
};

// A folder held open: every name below is looked up in it, so a folder renamed or replaced
// by a link after the open is not followed.
class Folder final
{
public:
    // The folder at path. Links on the way are followed: the application folder and the links
    // the package puts into it are the administrator's, not an operator's.
    static Result<Folder> Open(const QString &path);

    const QString &Path() const { return m_path; }
    QString PathOf(const QString &name) const;
    int Fd() const { return m_fd->Fd(); }
    // The folder's own status (its group gives new files theirs).
    struct stat Status() const;

    // The entry name itself as it is (a link is a link); none when nothing has that name.
    std::optional<struct stat> Look(const QString &name) const;

    // The folder name in this one, which must be a folder and not a link to one.
    Result<Folder> Sub(const QString &name) const;
    // The same, made (kFolderMode, this folder's group) when nothing has that name.
    Result<Folder> MakeSub(const QString &name) const;

    // name for reading: only a regular file is handed back; a link, FIFO, socket, device or
    // folder is refused with a description that names it and says what it is.
    Result<OpenedFile> OpenRead(const QString &name) const;
    // name for appending, made when missing; only a regular file. A file of this user gets
    // kFileMode and this folder's group, whatever it had.
    Result<Handle> OpenAppend(const QString &name) const;

    // Replaces (or creates) name with bytes whole: a temporary file beside it is written,
    // given mode (never a set-ID bit) and this folder's group, synced and renamed over name.
    // A name that is a link, FIFO, folder or anything but a regular file is refused, never
    // written through; a link planted in the instant before the rename is itself replaced.
    // Whether the old file may be replaced is decided right before the rename (fs.MayWrite): a
    // file that went away meanwhile is written anew. The temporary file is held locked by its
    // writer until the rename, so that RemoveLeftTemporaries leaves it alone.
    Result<void> Replace(const QString &name, const QByteArray &bytes, mode_t mode = kFileMode,
                         const FileSystem &fs = FileSystem::Real()) const;

    // The whole of name, a regular file of at most maxBytes, only when no account but root and
    // this user could have changed it: owned by one of them, not writable by group or others,
    // in a folder (this one) owned by one of them that others cannot replace it in (not
    // writable by group or others, or sticky). What was checked is what was read (one open).
    // Otherwise refused, naming the file, why, and what the administrator does about it.
    Result<QByteArray> ReadTrusted(const QString &name, qint64 maxBytes) const;
    // Why a program file that stands as name here is not one this user alone controls: it must
    // be a regular file of this user (or root), not writable by group or others. Empty if it is.
    Wording WhyNotOwnProgram(const QString &name) const;

    // Removes the entry name (a link itself, never what it leads to; not a folder). One already
    // gone is no failure.
    Result<void> Remove(const QString &name) const;

    // Removes the temporary files of replaces that never reached their rename (a writer killed
    // meanwhile): those no writer holds. One line for each that stays although no writer holds
    // it (not a regular file, or not removable), naming it and why.
    QStringList RemoveLeftTemporaries() const;
    // Removes, with what is in them, the folders of this user here whose names begin with prefix
    // and that no run holds locked (flock on the folder): working folders of runs that ended
    // without removing their own. One line for each of this user's that stays although free.
    QStringList RemoveLeftFolders(const QString &prefix) const;

private:
    friend class PrivateFolder;
    Folder(QString path, std::shared_ptr<Descriptor> fd) : m_path(std::move(path)), m_fd(std::move(fd)) {}
    Failure Refused(const QString &name, int err) const;

    QString m_path;
    std::shared_ptr<Descriptor> m_fd;
};

// A folder of this user's alone (0700), made with a new name under parent for one task and
// removed with what is in it (links removed, never followed) when this is destroyed.
class PrivateFolder final
{
public:
    // prefix names what it is for ("directory-tool"); a random part follows.
    static Result<std::unique_ptr<PrivateFolder>> Make(const QString &parent, const QString &prefix);
    ~PrivateFolder();
    Q_DISABLE_COPY_MOVE(PrivateFolder)
    const Folder &Get() const { return m_folder; }
    const QString &Path() const { return m_folder.Path(); }

private:
    PrivateFolder(Folder parent, QString name, Folder folder)
        : m_parent(std::move(parent)), m_name(std::move(name)), m_folder(std::move(folder)) {}
    Folder m_parent;
    QString m_name;
    Folder m_folder;
};

// The name of the temporary file that becomes name, in the same folder: the one place that
// names them, so that they can be recognised.
QString TemporaryNameFor(const QString &name);
// Whether entry is a name TemporaryNameFor gives: ".<name>.tmp-<letters and digits>".
bool IsTemporaryName(const QString &entry);

} // namespace SharedFolder
