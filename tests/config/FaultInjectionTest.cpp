// Faults the program meets on real machines, provoked one by one through a file system that
// fails as a full disk, a short write, a lost sync or a read-only folder would: after each,
// every file in lib/ is as it was, no temporary file is left, and the message names the file
// that failed. And kills: a replace ended at each of its moments.

#include "config/ConfigFormat.h"
#include "config/ConfigListReader.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "platform/Process.h"
#include "platform/SharedFolder.h"
#include "support/TestDir.h"

#include <QDir>
#include <QMap>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

enum class Fault { None, DiskFull, ShortWriteThenFull, SyncFails, ReadOnly };

// The real file system but for the one fault.
class FailingFileSystem : public FileSystem
{
public:
    explicit FailingFileSystem(Fault fault) : m_fault(fault) {}

    bool MayWrite(const QFileInfo &target) const override
    {
        return m_fault != Fault::ReadOnly && FileSystem::MayWrite(target);
    }
    ssize_t Write(int fd, const char *data, size_t size) const override
    {
        if (m_fault == Fault::DiskFull || (m_fault == Fault::ShortWriteThenFull && m_written > 0))
            return Fail(ENOSPC);
        // Half of what was asked, as a nearly full disk takes it: the rest must be written again.
        const ssize_t n = FileSystem::Write(fd, data, m_fault == Fault::ShortWriteThenFull ? (size + 1) / 2 : size);
        m_written += n > 0 ? n : 0;
        return n;
    }
    int Sync(int fd) const override { return m_fault == Fault::SyncFails ? int(Fail(EIO)) : FileSystem::Sync(fd); }
    Result<void> Rename(const QString &from, const QString &to) const override
    {
        if (m_fault == Fault::DiskFull)
            return Failure{ErrorNumber::DiskFull, u"Disk full"_s};
        if (m_fault == Fault::ReadOnly)
            return Failure{ErrorNumber::PermissionDenied, u"Permission denied"_s};
        return FileSystem::Rename(from, to);
    }

private:
    static ssize_t Fail(int err)
    {
        errno = err;
        return -1;
    }
    Fault m_fault;
    mutable qint64 m_written = 0;
};

// The message of a failed call; "succeeded" when it did not fail.
template <typename T>
QString FailureText(const Result<T> &result)
{
    return result ? u"succeeded"_s : result.error().description;
}

// Every file of lib/ with its bytes, temporary files included.
QMap<QString, QByteArray> Snapshot(const TestDir &app)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(app.lib()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, app.readFile("lib/"_L1 + name));
    return files;
}

} // namespace

// A file that is missing stands for one listed and gone before it is read.
TEST(FaultInjection, FilesStayWholeAndTheMessageNamesTheFile)
{
    using Act = std::function<QString(const TestDir &, const FileSystem &)>;
    auto save = [](const char *name) -> Act {
        return [=](const TestDir &app, const FileSystem &fs) {
            return FailureText(ConfigFormat::WriteFile(app.lib(name), ConfigRecord{}, fs));
        };
    };
    auto join = [](const char *rostrum) -> Act {
        return [=](const TestDir &app, const FileSystem &fs) {
            return FailureText(ConfigStore::JoinConfigFiles(app.path(), u"f.tsy"_s, rostrum, u"joint.tsy"_s, fs));
        };
    };
    const Act rename = [](const TestDir &app, const FileSystem &fs) {
        return FailureText(FileIo::RenameFile(app.lib("f.tsy"), app.lib("g.tsy"), fs));
    };
    // named: the file the message names; nullptr when the call has no message.
    const struct { const char *what; Fault fault; Act act; const char *named; } cases[] = {
        {"save over a file onto a full disk", Fault::DiskFull, save("f.tsy"), "f.tsy"},
        {"save after a short write onto a full disk", Fault::ShortWriteThenFull, save("f.tsy"), "f.tsy"},
        {"save whose data the disk loses at sync", Fault::SyncFails, save("f.tsy"), "f.tsy"},
        {"join onto a full disk", Fault::DiskFull, join("r.tsy"), "joint.tsy"},
        {"rename on a full disk", Fault::DiskFull, rename, "f.tsy"},
        {"profile write onto a full disk", Fault::DiskFull,
         [](const TestDir &app, const FileSystem &fs) {
             return IniProfile::WritePrivateProfileString("FMK", "dsn", "changed", app.lib("joint.tsy"), fs)
                 ? u"succeeded"_s
                 : QString();
         },
         nullptr},
        {"save in a read-only lib", Fault::ReadOnly, save("new.tsy"), "new.tsy"},
        {"rename in a read-only lib", Fault::ReadOnly, rename, "f.tsy"},
        {"delete in a read-only lib", Fault::ReadOnly,
         [](const TestDir &app, const FileSystem &fs) { return FailureText(FileIo::DeleteFile(app.lib("f.tsy"), fs)); },
         "f.tsy"},
        {"a listed file gone before the read", Fault::None,
         [](const TestDir &app, const FileSystem &) { return FailureText(FileIo::ReadAnsiText(app.lib("gone.tsy"))); },
         "gone.tsy"},
        {"a file to join gone before the join", Fault::None, join("gone.tsy"), "gone.tsy"},
        // A configuration file is no program: it exists but may not be executed.
        {"a child program that cannot be started", Fault::None,
         [](const TestDir &app, const FileSystem &) {
             return FailureText(Process::Start(app.path(), u'"' + app.lib("f.tsy") + u"\" /F x"_s));
         },
         "f.tsy"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestDir app;
        app.writeConfig("f.tsy", {"SatelliteAppln=4009", "dsn=FMK"});
        app.writeConfig("r.tsy", {"SatelliteAppln=1028", "dsn=RST"});
        app.writeConfig("joint.tsy", {"[FMK]", "dsn=FMK", "[RST]", "dsn=RST"});
        const QMap<QString, QByteArray> before = Snapshot(app);

        const QString message = c.act(app, FailingFileSystem(c.fault));

        EXPECT_NE(message, u"succeeded"_s);
        if (c.named) {
            EXPECT_TRUE(message.contains(app.lib(c.named))) << message.toStdString();
        }
        EXPECT_EQ(Snapshot(app), before);
    }
}

namespace {

// Ends the process at one moment of a replace, as a kill there would.
class CrashingFileSystem : public FileSystem
{
public:
    explicit CrashingFileSystem(Point at) : m_at(at) {}
    void Reached(Point point) const override
    {
        if (point == m_at)
            ::_exit(0);
    }

private:
    Point m_at;
};

// The outcome of a replace of lib/f.tsy killed at the point, in a child process.
void ReplaceKilledAt(const TestDir &app, FileSystem::Point at)
{
    const pid_t child = ::fork();
    if (child == 0) {
        (void)FileIo::WriteFileAtomic(app.lib("f.tsy"), "new text\r\n", CrashingFileSystem(at));
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the replace did not reach the point";
}

} // namespace

// A replace killed at any moment leaves the old file or the new one, whole; its temporary file
// is never listed, and the next listing removes it once no writer holds it (a writer's is kept).
TEST(FaultInjection, AReplaceKilledAnywhereLeavesAWholeFileAndNoTemporaryAfterTheNextListing)
{
    using P = FileSystem::Point;
    const struct { P at; const char *left; bool temporary; } cases[] = {
        {P::Created, "old text\r\n", true},
        {P::Written, "old text\r\n", true},
        {P::BeforeRename, "old text\r\n", true},
        {P::Renamed, "new text\r\n", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.at));
        TestDir app;
        app.writeFile("lib/f.tsy", "old text\r\n");
        ReplaceKilledAt(app, c.at);
        EXPECT_EQ(app.readFile("lib/f.tsy"), QByteArray(c.left));
        EXPECT_EQ(Snapshot(app).size(), c.temporary ? 2 : 1);

        // One that a writer holds now stays; those no one holds go.
        const QString held = SharedFolder::TemporaryNameFor(u"g.tsy"_s);
        app.writeFile("lib/"_L1 + held, "being written");
        const int fd = ::open(QFile::encodeName(app.lib(held)).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        const Result<ConfigList::Listing> listing = ConfigList::ListFolder(app.lib());
        ::close(fd);
        ASSERT_TRUE(listing);
        ASSERT_EQ(listing->files.size(), 1);
        EXPECT_EQ(listing->files[0].name, u"f.tsy"_s);
        EXPECT_TRUE(listing->leftTemporaries.isEmpty()) << listing->leftTemporaries.join(u'\n').toStdString();
        EXPECT_EQ(Snapshot(app).keys(), QStringList({held, u"f.tsy"_s}));
    }
}

namespace {

// A colleague deletes the file between the look at it and the question whether it may be
// written: the question then says no, as it did on the machine.
class DeletedMeanwhile : public FileSystem
{
public:
    bool MayWrite(const QFileInfo &target) const override
    {
        if (!target.exists())
            return true;
        QFile::remove(target.filePath());
        return false;
    }
};

} // namespace

// The write decides: a file deleted meanwhile is written anew; a read-only one still refuses.
TEST(FaultInjection, AFileDeletedMidReplaceIsWrittenAnew)
{
    TestDir app;
    app.writeFile("lib/f.tsy", "old text\r\n");
    ASSERT_TRUE(FileIo::WriteFileAtomic(app.lib("f.tsy"), "new text\r\n", DeletedMeanwhile()));
    EXPECT_EQ(app.readFile("lib/f.tsy"), "new text\r\n");

    QFile::setPermissions(app.lib("f.tsy"), QFile::ReadOwner);
    const Result<void> refused = FileIo::WriteFileAtomic(app.lib("f.tsy"), "other\r\n");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().number, ErrorNumber::PermissionDenied);
    EXPECT_EQ(Snapshot(app).size(), 1);
}
