#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/SharedFolder.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

TEST(FileIo, SplitLinesTakesEveryLineEndAndFileNamesWindowsForbidsAreInvalid)
{
    EXPECT_EQ(FileIo::SplitLines("a\r\nb\nc\rd\r\n\r\n"), QStringList({"a", "b", "c", "d", ""}));
    EXPECT_TRUE(FileIo::SplitLines(QString()).isEmpty());
    // File names that Windows forbids are invalid.
    for (const char *bad : {"", ".", "..", "a\\b", "a/b", "c:", "a*", "a?", "a\"", "a<", "a>", "a|", "a\tb"})
        EXPECT_FALSE(FileIo::IsValidFileName(QString::fromUtf8(bad))) << bad;
    for (const char *good : {"abc", "Default_M&S.tsy", " padded ", "x.TSY", "..x"})
        EXPECT_TRUE(FileIo::IsValidFileName(QString::fromUtf8(good))) << good;
}

// A new or replaced file is 0660 in the folder's group whatever the umask and whatever the old
// file had (no set-ID bit survives); a write that cannot be done leaves the old file and no temporary.
TEST(FileIo, AtomicWriteReplacesOrFailsWithoutDamage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.tsy");
    const QByteArray native = QFile::encodeName(path);
    // Root may give the folder any group; another user one of the groups it belongs to.
    gid_t groups[64] = {4242};
    const gid_t group = geteuid() == 0 ? groups[0] : groups[std::max(0, ::getgroups(64, groups) - 1)];
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), uid_t(-1), group), 0);
    struct stat st {};
    for (const mode_t mask : {0022, 0002, 0077}) {
        const mode_t before = ::umask(mask);
        QFile::remove(path);
        ASSERT_TRUE(FileIo::WriteFileAtomic(path, "one\r\n"));
        ::umask(before);
        ASSERT_EQ(::stat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0660u) << mask;
        EXPECT_EQ(st.st_gid, group) << mask;
    }
    ASSERT_EQ(::chmod(native.constData(), 06777), 0);
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "two\r\n"));
    EXPECT_EQ(FileIo::ReadBytes(path).value(), QByteArray("two\r\n"));
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    EXPECT_EQ(st.st_gid, group);

    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_EQ(FileIo::WriteFileAtomic(path, "three").error().number, ErrorNumber::PermissionDenied);
    EXPECT_EQ(FileIo::ReadBytes(path).value(), QByteArray("two\r\n"));
    EXPECT_FALSE(FileIo::DeleteFile(path)); // not forced
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(FileIo::WriteFileAtomic(dir.filePath("missing/x.tsy"), "x").error().number, ErrorNumber::PathNotFound);
    // A failed rename names the file and where it was to go, each as what it is.
    const QString moved = FileIo::RenameFile(path, dir.filePath("missing/y.tsy")).error().description;
    EXPECT_TRUE(moved.startsWith("Cannot rename " + path + " to " + dir.filePath("missing/y.tsy") + ": "))
        << moved.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

// Every way the program opens a file of the shared folders, met with what a colleague may
// plant under its name: a link to a file of someone else, a dangling link, a FIFO, a folder.
// Each is refused at once, naming the entry and what it is; nothing is written through the
// link and the FIFO never blocks (a blocked open would hang the test, not fail it).
TEST(FileIo, EveryOpenRefusesWhatIsNoRegularFileWithoutBlocking)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim");
    ASSERT_TRUE(FileIo::WriteFileAtomic(victim, "private"));
    using Open = std::function<Failure(const QString &)>;
    auto failed = [](const auto &result) { return result ? Failure{} : result.error(); };
    const std::pair<const char *, Open> opens[] = {
        {"read", [&](const QString &p) { return failed(FileIo::ReadBytes(p)); }},
        {"read version", [&](const QString &p) { return failed(FileIo::ReadVersion(p)); }},
        {"replace", [&](const QString &p) { return failed(FileIo::WriteFileAtomic(p, "x")); }},
        {"append", [&](const QString &p) { return failed(FileIo::OpenAppend(p)); }},
        {"lock", [&](const QString &p) { return failed(FileLock::LockFile(p, 100)); }},
        {"trusted read", [&](const QString &p) {
             return failed(SharedFolder::Folder::Open(dir.path()).value().ReadTrusted(QFileInfo(p).fileName(), -1));
         }},
    };
    struct Planted { const char *what; std::function<void(const QByteArray &)> plant; };
    const Planted planted[] = {
        {"a symbolic link", [&](const QByteArray &at) { ASSERT_EQ(::symlink(QFile::encodeName(victim), at), 0); }},
        {"a symbolic link", [&](const QByteArray &at) { ASSERT_EQ(::symlink("/nonexistent/x", at), 0); }},
        {"a FIFO", [&](const QByteArray &at) { ASSERT_EQ(::mkfifo(at, 0666), 0); }},
        {"a folder", [&](const QByteArray &at) { ASSERT_EQ(::mkdir(at, 0777), 0); }},
    };
    int n = 0;
    for (const auto &[how, open] : opens) {
        for (const Planted &p : planted) {
            const QString path = dir.filePath(QStringLiteral("entry%1").arg(n++));
            p.plant(QFile::encodeName(path));
            const Failure failure = open(path);
            SCOPED_TRACE(std::string(how) + " of " + p.what);
            EXPECT_NE(failure.number, 0);
            EXPECT_TRUE(failure.description.contains(path)) << failure.description.toStdString();
            const bool named = failure.description.contains(QLatin1String(p.what))
                               || (QLatin1String(p.what) == QLatin1String("a folder")
                                   && failure.description.contains(QLatin1String("directory")));
            EXPECT_TRUE(named) << failure.description.toStdString();
        }
    }
    EXPECT_EQ(FileIo::ReadBytes(victim).value(), QByteArray("private"));
    EXPECT_FALSE(QFileInfo::exists("/nonexistent/x"));
}

// A file too large to be a text file of the suite is refused unread.
TEST(FileIo, ReadsOnlyFilesOfSensibleSize)
{
    QTemporaryDir dir;
    auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_TRUE(FileIo::WriteFileAtomic(path("big.tsy"), QByteArray(FileIo::kTextFileLimit + 1, 'x')));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path("limit.tsy"), QByteArray(FileIo::kTextFileLimit, 'x')));
    const Result<QString> text = FileIo::ReadAnsiText(path("big.tsy"));
    ASSERT_FALSE(text);
    EXPECT_TRUE(text.error().description.contains(path("big.tsy"))) << text.error().description.toStdString();
    EXPECT_EQ(FileIo::ReadAnsiText(path("limit.tsy")).value().size(), FileIo::kTextFileLimit);
}
