#include "config/ConfigListReader.h"

#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "platform/SharedFolder.h"
#include "platform/VbText.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace ConfigList {
namespace {

// Why the file cannot be used, in the built-in English and as worded.
void SetUnreadable(ListedFile &file, Wording why)
{
    file.unreadable = why.English();
    file.why = std::move(why);
}

FileIdentity IdentityFrom(const struct stat &st)
{
    return {true, quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint32(st.st_mode)};
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

// The key as the format compares it: lower-cased by the code page's rules, which turn no
// other character into an ASCII letter, so an ASCII comparison is the same.
bool KeyIs(QStringView key, QLatin1StringView name)
{
    if (key.size() != name.size())
        return false;
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (AsciiLower(key[i].unicode()) != AsciiLower(char16_t(name[i].unicode())))
            return false;
    }
    return true;
}

// The bytes of an open regular file, at most FileIo::kTextFileLimit; the reason otherwise.
Result<QByteArray> ReadAll(int fd, qint64 size)
{
    const qint64 limit = FileIo::kTextFileLimit;
    if (size > limit)
        return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_READ_TOO_LARGE", {QString::number(limit)}));
    // One byte more than the size, so that a file as long as it says ends in one read.
    QByteArray bytes(qsizetype(size) + 1, Qt::Uninitialized);
    qsizetype have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have > limit)
                return Failure::Worded(ErrorNumber::PathFileAccess, Wording("CS_READ_TOO_LARGE", {QString::number(limit)}));
            bytes.resize(std::min<qsizetype>(have * 2 + 64, limit + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failure{ErrorNumber::DeviceIo, qt_error_string(errno)};
        if (n == 0)
            break;
        have += n;
    }
    bytes.truncate(have);
    return bytes;
}

void ReadLines(const QString &text, ListedFile &file)
{
    const QStringView all(text);
    const qsizetype n = all.size();
    bool afterMarker = false;
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        while (end < n && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        const QStringView line = all.mid(start, end - start);
        start = end + (end + 1 < n && all[end] == u'\r' && all[end + 1] == u'\n' ? 2 : 1);

        const QStringView trimmed = Vb::TrimView(line);
        if (trimmed.isEmpty())
            continue;
        if (!afterMarker && trimmed == ConfigFormat::JointFileMarker()) {
            file.joint = true;
            afterMarker = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QStringView key = line.left(eq);
        const QStringView value = Vb::TrimView(line.mid(eq + 1));
        // Past the joint file's marker the columns are done; only a stored password is looked for.
        if (afterMarker) {
            if (!value.isEmpty() && KeyIs(key, Key::Password))
                file.holdsPassword = true;
            continue;
        }
        ConfigEntry &entry = file.entry;
        switch (key.isEmpty() ? 0 : key[0].toLatin1() | 0x20) {
        case 's':
            if (KeyIs(key, Key::SatelliteAppln)) {
                const qint16 product = ConfigFormat::ProductCodeOf(value.toString());
                file.shownProduct = product;
                if (product)
                    entry.ProductCode = product;
            }
            break;
        case 'd':
            if (KeyIs(key, Key::Dsn))
                entry.Dsn = value.toString();
            else if (KeyIs(key, Key::Database))
                file.database = value.toString();
            else if (KeyIs(key, Key::DbMachineName))
                entry.DbMachineName = value.toString();
            break;
        case 'u':
            if (KeyIs(key, Key::User))
                entry.User = value.toString();
            break;
        case 'l':
            if (KeyIs(key, Key::LhBusComponent)) {
                file.busComponent = value.toString();
            } else if (KeyIs(key, Key::LogDirectory)) {
                file.logDirectory = value.toString();
            } else if (KeyIs(key, Key::Ldbp)) {
                const QString text = value.toString();
                const Result<qint16> platform = Vb::CInt(text);
                if (platform)
                    entry.Platform = platform.value();
                else if (file.unreadable.isEmpty())
                    SetUnreadable(file, Wording("CS_READ_LDBP_NOT_NUMBER", {Vb::CIntRefusal(text, platform.error())}));
            }
            break;
        case 'p':
            if (KeyIs(key, Key::Password)) {
                entry.Password = UnscramblePassword(value.toString());
                file.holdsPassword = !value.isEmpty();
            }
            break;
        default:
            break;
        }
    }
}

// Why a file that has text holds no configuration: not one line names a key of the format
// or marks a joint file (binary garbage, another kind of file). Empty when it is one; a file
// of blanks only is an empty configuration. Stops at the first key, so a real file costs a line.
Wording NoKeyReason(QStringView text)
{
    const auto isKey = [](QStringView key) {
        for (const ConfigKey &known : ConfigKeys) {
            if (KeyIs(key, known.written))
                return true;
        }
        return KeyIs(key, Key::Mns) || KeyIs(key, QLatin1StringView("masterdatadirectory"));
    };
    bool blank = true;
    // A line ends at CR, LF or both, as ReadLines reads it.
    for (QStringView part : text.tokenize(u'\n', Qt::SkipEmptyParts)) {
        for (QStringView line : part.tokenize(u'\r', Qt::SkipEmptyParts)) {
            const QStringView trimmed = Vb::TrimView(line);
            blank = blank && trimmed.isEmpty();
            if (trimmed == ConfigFormat::JointFileMarker() || isKey(line.left(qMax<qsizetype>(line.indexOf(u'='), 0))))
                return {};
        }
    }
    return blank ? Wording() : Wording("CS_READ_NO_KEY");
}

Wording LinkReason() { return Wording("CS_READ_LINK"); }

// What the entry is, for its row: "a FIFO (named pipe), not a regular file".
Wording NotRegular(mode_t mode)
{
    const Wording kind = SharedFolder::KindWording(mode);
    return kind == Wording("CS_KIND_NOT_REGULAR") ? kind : Wording("CS_READ_KIND_NOT_REGULAR", {kind});
}

} // namespace

ListedFile ReadFile(const QString &folder, const QString &name, DirectoryListing::Kind kind)
{
    ListedFile file;
    file.entry.FileName = name;
    file.presence = ListedFile::Presence::Listed;
    if (kind == DirectoryListing::Kind::Other) {
        struct stat st {};
        const bool looked = ::lstat(QFile::encodeName(folder + u'/' + name).constData(), &st) == 0;
        file.identity = looked ? IdentityFrom(st) : FileIdentity{};
        SetUnreadable(file, NotRegular(looked ? st.st_mode : 0));
        return file;
    }
    if (kind == DirectoryListing::Kind::Link) {
        file.identity = IdentityOf(folder, name);
        SetUnreadable(file, LinkReason());
        return file;
    }
    // Not blocking: a FIFO or device met under a name listed as a file opens and is let go.
    // Never through a link: the folder is shared, and a link may lead to anyone's file.
    const int fd = SharedFolder::OpenEntry(folder + u'/' + name);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT && !name.contains(QChar::ReplacementCharacter)) {
            file.presence = ListedFile::Presence::Missing;
            return file;
        }
        file.identity = IdentityOf(folder, name);
        SetUnreadable(file, err == ENOENT ? Wording("CS_READ_NAME_NOT_TEXT")
                            : err == ELOOP ? LinkReason() : Wording(qt_error_string(err)));
        return file;
    }
    struct stat st;
    Result<QByteArray> bytes = Failure{};
    if (::fstat(fd, &st) != 0) {
        bytes = Failure{ErrorNumber::DeviceIo, qt_error_string(errno)};
    } else {
        file.identity = IdentityFrom(st);
        if (S_ISDIR(st.st_mode))
            file.presence = ListedFile::Presence::Folder;
        else if (!S_ISREG(st.st_mode))
            bytes = Failure::Worded(ErrorNumber::PathFileAccess, NotRegular(st.st_mode));
        else
            bytes = ReadAll(fd, st.st_size);
    }
    ::close(fd);
    if (file.presence != ListedFile::Presence::Listed)
        return file;
    if (!bytes) {
        SetUnreadable(file, bytes.error().Text());
        return file;
    }
    const QString text = Ansi::Decode(bytes.value());
    ReadLines(text, file);
    if (file.unreadable.isEmpty())
        SetUnreadable(file, NoKeyReason(text));
    return file;
}

FileIdentity IdentityOf(const QString &folder, const QString &name)
{
    struct stat st;
    const QByteArray path = QFile::encodeName(folder) + '/' + QFile::encodeName(name);
    // The entry itself: a link is one, wherever it leads.
    if (::lstat(path.constData(), &st) != 0)
        return {};
    return IdentityFrom(st);
}

bool NameLess(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

Result<Listing> ListFolder(const QString &folder)
{
    Result<QList<DirectoryListing::Entry>> entries = DirectoryListing::Files(folder);
    if (!entries)
        return entries.error();
    Listing listing;
    QList<DirectoryListing::Entry> &all = entries.value();
    bool temporaries = false;
    for (DirectoryListing::Entry &e : all) {
        if (SharedFolder::IsTemporaryName(e.name))
            temporaries = true;
        else if (ConfigStore::IsConfigFileName(e.name))
            listing.files.append(std::move(e));
    }
    // A write killed before its rename leaves its temporary file: removed here once no writer
    // holds it, so that none piles up (each holds a configuration's scrambled password).
    if (temporaries) {
        if (const Result<SharedFolder::Folder> opened = SharedFolder::Folder::Open(folder))
            listing.leftTemporaries = opened->RemoveLeftTemporaries();
    }
    std::sort(listing.files.begin(), listing.files.end(),
              [](const DirectoryListing::Entry &a, const DirectoryListing::Entry &b) { return NameLess(a.name, b.name); });
    if (listing.files.size() > MaxListed) {
        listing.leftOut = int(listing.files.size()) - MaxListed;
        listing.files.resize(MaxListed);
    }
    return listing;
}

} // namespace ConfigList
