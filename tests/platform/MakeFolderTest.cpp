#include "platform/MakeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

// A folder is made once and kept; what stands in its way is named by its error number, and
// nothing is made in its place.
TEST(MakeFolder, MakesAMissingFolderOrSaysWhyNot)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("kept"));
    struct Case { QString path; int error; bool folderAfter; };
    const Case cases[] = {
        {dir.filePath("new"), 0, true},
        {dir.filePath("kept"), 0, true},
        {dir.filePath("file"), ErrorNumber::FileAlreadyExists, false},
        {dir.filePath("gone/new"), ErrorNumber::PathNotFound, false},
        {dir.filePath(QString(300, u'n')), ErrorNumber::PathFileAccess, false}, // a name too long, even for root
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const Result<void> made = MakeFolderIfMissing(c.path);
        EXPECT_EQ(made ? 0 : made.error().number, c.error);
        // Which folder, not only the error's name.
        EXPECT_TRUE(made || made.error().description.contains(c.path.section(u'/', 0, -2))) << made.error().description.toStdString();
        EXPECT_EQ(QFileInfo(c.path).isDir(), c.folderAfter);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("gone")));
}

// A folder the program makes is for the group, set-group-ID, whatever the umask.
TEST(MakeFolder, AFolderMadeIs2770WhateverTheUmask)
{
    QTemporaryDir dir;
    for (const mode_t mask : {0022, 0077}) {
        const QString path = dir.filePath(QString::number(mask));
        const mode_t before = ::umask(mask);
        const Result<void> made = MakeFolderIfMissing(path);
        ::umask(before);
        ASSERT_TRUE(made);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 02770u) << mask;
    }
}
