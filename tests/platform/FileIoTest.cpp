#include "platform/FileIo.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

TEST(FileIo, SplitLinesTakesEveryLineEnd)
{
    EXPECT_EQ(FileIo::SplitLines(QStringLiteral("a\r\nb\nc\rd")),
              QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(FileIo::SplitLines(QStringLiteral("a\r\n\r\n")), QStringList({"a", ""}));
    EXPECT_TRUE(FileIo::SplitLines(QString()).isEmpty());
}

TEST(FileIo, AtomicWriteReplacesOrFailsWithoutDamage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.tsy"));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "one\r\n"));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "two\r\n"));
    EXPECT_EQ(FileIo::ReadBytes(path).value(), QByteArray("two\r\n"));

    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_EQ(FileIo::WriteFileAtomic(path, "three").error().number, Vb::ErrorNumber::PermissionDenied);
    EXPECT_EQ(FileIo::ReadBytes(path).value(), QByteArray("two\r\n"));
    EXPECT_FALSE(FileIo::DeleteFile(path)); // not forced
    EXPECT_TRUE(QFile::exists(path));

    const Result<void> missing = FileIo::WriteFileAtomic(dir.filePath(QStringLiteral("missing/x.tsy")), "x");
    EXPECT_EQ(missing.error().number, Vb::ErrorNumber::PathNotFound);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

// A name that stands for a device, FIFO or socket, or a file too large to be a text file
// of the suite, is refused unopened: opening a FIFO would block, a device never end.
TEST(FileIo, ReadsOnlyRegularFilesOfSensibleSize)
{
    QTemporaryDir dir;
    const QString lib = dir.path();
    auto path = [&](const char *name) { return lib + u'/' + QLatin1String(name); };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.tsy")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("fifo.tsy"), path("tofifo.tsy")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.tsy")));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(path("socket.tsy")).constData());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    QFile big(path("big.tsy")), limit(path("limit.tsy"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && limit.open(QIODevice::WriteOnly));
    big.write(QByteArray(FileIo::kTextFileLimit + 1, 'x'));
    limit.write(QByteArray(FileIo::kTextFileLimit, 'x'));
    big.close();
    limit.close();

    for (const char *name : {"fifo.tsy", "tofifo.tsy", "zero.tsy", "socket.tsy", "big.tsy"}) {
        const Result<QString> text = FileIo::ReadAnsiText(path(name));
        ASSERT_FALSE(text) << name;
        EXPECT_TRUE(text.error().description.contains(path(name))) << text.error().description.toStdString();
    }
    const Result<QString> text = FileIo::ReadAnsiText(path("limit.tsy"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text.value().size(), FileIo::kTextFileLimit);
    ::close(sock);
}

TEST(FileIo, AReplacedFileKeepsItsModeAndGroup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shared.tsy"));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "one\r\n"));
    const QByteArray native = QFile::encodeName(path);
    // Root may give the file any group; another user one of the groups it belongs to.
    gid_t group = getegid();
    if (geteuid() == 0) {
        group = 4242;
    } else {
        gid_t groups[64];
        const int n = ::getgroups(64, groups);
        for (int i = 0; i < n; ++i)
            if (groups[i] != group)
                group = groups[i];
    }
    ASSERT_EQ(::chown(native.constData(), uid_t(-1), group), 0);
    ASSERT_EQ(::chmod(native.constData(), 0664), 0);

    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "two\r\n"));
    struct stat st {};
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(st.st_gid, group);
}

TEST(FileIo, FileNamesWindowsForbidsAreInvalid)
{
    for (const char *bad : {"", ".", "..", "a\\b", "a/b", "c:", "a*", "a?", "a\"", "a<", "a>", "a|", "a\tb"})
        EXPECT_FALSE(FileIo::IsValidFileName(QString::fromUtf8(bad))) << bad;
    for (const char *good : {"abc", "Default_M&S.tsy", " padded ", "x.TSY", "..x"})
        EXPECT_TRUE(FileIo::IsValidFileName(QString::fromUtf8(good))) << good;
}
