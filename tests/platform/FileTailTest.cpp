#include "platform/FileTail.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The tail starts near the end, gives each append once, starts over on a file that shrank and
// gives nothing, without losing its place, while the file is gone.
TEST(FileTail, GivesWhatWasAppendedOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    const auto write = [&](const QByteArray &bytes, QIODevice::OpenMode mode) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | mode));
        file.write(bytes);
    };
    write("0123456789", QIODevice::Truncate);
    FileTail tail(path, 4);
    struct Step { const char *what; QByteArray written; QIODevice::OpenMode mode; qint64 max; QByteArray read; };
    const Step steps[] = {
        {"the start, near the end", "", QIODevice::Append, 100, "6789"},
        {"nothing new", "", QIODevice::Append, 100, ""},
        {"an append, in pieces", "abcdef", QIODevice::Append, 4, "abcd"},
        {"the rest of it", "", QIODevice::Append, 100, "ef"},
        {"a shorter file", "new", QIODevice::Truncate, 100, "new"},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        write(s.written, s.mode);
        EXPECT_EQ(tail.ReadNew(s.max), s.read);
    }
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(tail.ReadNew(100), QByteArray());
    write("new!", QIODevice::Truncate);
    EXPECT_EQ(tail.ReadNew(100), QByteArray("!"));
}
