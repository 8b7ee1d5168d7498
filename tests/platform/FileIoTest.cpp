#include "platform/FileIo.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

// A new file is 0660 in the folder's group whatever the umask; a replaced file keeps its mode
// and group; a write that cannot be done leaves the old file and no temporary.
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
    ASSERT_EQ(::chmod(native.constData(), 0604), 0);
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "two\r\n"));
    EXPECT_EQ(FileIo::ReadBytes(path).value(), QByteArray("two\r\n"));
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
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

// A name that stands for a device or FIFO (a link to one too), or a file too large to be a text file
// of the suite, is refused unopened: opening a FIFO would block, a device never end.
TEST(FileIo, ReadsOnlyRegularFilesOfSensibleSize)
{
    QTemporaryDir dir;
    auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.tsy")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.tsy")));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path("big.tsy"), QByteArray(FileIo::kTextFileLimit + 1, 'x')));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path("limit.tsy"), QByteArray(FileIo::kTextFileLimit, 'x')));

    for (const char *name : {"fifo.tsy", "zero.tsy", "big.tsy"}) {
        const Result<QString> text = FileIo::ReadAnsiText(path(name));
        ASSERT_FALSE(text) << name;
        EXPECT_TRUE(text.error().description.contains(path(name))) << text.error().description.toStdString();
    }
    EXPECT_EQ(FileIo::ReadAnsiText(path("limit.tsy")).value().size(), FileIo::kTextFileLimit);
}
