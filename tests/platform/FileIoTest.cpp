#include "platform/FileIo.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    Vb::Error e;
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "one\r\n", &e));
    ASSERT_TRUE(FileIo::WriteFileAtomic(path, "two\r\n", &e));
    QByteArray read;
    ASSERT_TRUE(FileIo::ReadBytes(path, &read, &e));
    EXPECT_EQ(read, QByteArray("two\r\n"));

    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_FALSE(FileIo::WriteFileAtomic(path, "three", &e));
    EXPECT_EQ(e.number, 70);
    ASSERT_TRUE(FileIo::ReadBytes(path, &read, &e));
    EXPECT_EQ(read, QByteArray("two\r\n"));
    EXPECT_FALSE(FileIo::DeleteFile(path, &e)); // not forced
    EXPECT_TRUE(QFile::exists(path));

    EXPECT_FALSE(FileIo::WriteFileAtomic(dir.filePath(QStringLiteral("missing/x.tsy")), "x", &e));
    EXPECT_EQ(e.number, 76);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

TEST(FileIo, FileNamesWindowsForbidsAreInvalid)
{
    for (const char *bad : {"", ".", "..", "a\\b", "a/b", "c:", "a*", "a?", "a\"", "a<", "a>", "a|", "a\tb"})
        EXPECT_FALSE(FileIo::IsValidFileName(QString::fromUtf8(bad))) << bad;
    for (const char *good : {"abc", "Default_M&S.tsy", " padded ", "x.TSY", "..x"})
        EXPECT_TRUE(FileIo::IsValidFileName(QString::fromUtf8(good))) << good;
}
