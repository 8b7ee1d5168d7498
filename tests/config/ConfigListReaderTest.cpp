#include "config/ConfigListReader.h"
#include "config/PasswordScramble.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What the list shows of a file, in one line: the seven values and the entry's fields.
QString Shown(const ConfigList::ListedFile &f)
{
    const ConfigEntry &e = f.entry;
    return u"%1|%2|%3|%4|%5|%6|%7|%8|%9"_s.arg(f.shownProduct).arg(e.ProductCode).arg(e.Dsn, f.database, e.User,
                                                                                         f.busComponent, f.logDirectory)
               .arg(e.Platform)
               .arg(e.Password + u'|' + e.DbMachineName + (f.joint ? u"|joint"_s : QString())
                    + (f.holdsPassword ? u"|pw"_s : QString()) + (f.unreadable.isEmpty() ? QString() : u"|unreadable"_s));
}

TEST(ConfigListReader, ReadsTheColumnsByTheListsLineRules)
{
    const QByteArray scrambled = ScramblePassword("pw").toLatin1();
    struct Case { const char *what; QByteArray text; const char *shown; };
    const Case cases[] = {
        {"every key", "SatelliteAppln=4009\r\nldbp=2\r\ndsn=D\r\ndatabase=db\r\nuser=u\r\nlhbuscomponent=cn=b\r\n"
                      "logdirectory=/l\r\ndbmachinename=m\r\npassword=" + scrambled + "\r\n",
         "4009|4009|D|db|u|cn=b|/l|2|pw|m|pw"},
        {"keys in capitals, values trimmed of blanks only", "DSN=  a\tb  \nUSER= x", "0|0|a\tb||x|||0||"},
        {"a blank before = matches nothing; a line without = is skipped", "dsn =x\nnothing here\ndsn=y",
         "0|0|y|||||0||"},
        {"an unknown product empties the column and keeps the code", "satelliteappln=1028\nsatelliteappln=1234",
         "0|1028||||||0||"},
        {"the later line wins", "dsn=a\rdsn=b\r\ndsn=c", "0|0|c|||||0||"},
        {"a joint file: the columns before [FMK], a password in a section", "dsn=top\r\n [FMK] \r\ndsn=F\r\npassword="
                                                                            + scrambled + "\r\n",
         "0|0|top|||||0|||joint|pw"},
        {"an empty password holds none", "password=\r\n", "0|0||||||0||"},
        {"an ldbp not a whole number; the later good one is taken", "ldbp=x\r\nldbp=3", "0|0||||||3|||unreadable"},
        {"an empty ldbp", "ldbp=", "0|0||||||0|||unreadable"},
        // No key of the format on any line: not a configuration, never started.
        {"binary garbage", QByteArray("\x7f" "ELF\x02\x01\0\0\r\nx=\xff\x01\n\xe8=", 17), "0|0||||||0|||unreadable"},
        {"text without a key of the format", "dsn =x\r\nhello\r\nfoo=bar", "0|0||||||0|||unreadable"},
        {"blanks only: an empty configuration", " \r\n   \r\n", "0|0||||||0||"},
        {"a key with no value is one", "garbage\rmns=", "0|0||||||0||"},
    };
    TestDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("lib/a.tsy", c.text);
        const ConfigList::ListedFile f = ConfigList::ReadFile(dir.lib(), "a.tsy");
        EXPECT_EQ(f.presence, ConfigList::ListedFile::Presence::Listed);
        EXPECT_EQ(f.entry.FileName, "a.tsy");
        EXPECT_EQ(Shown(f), QString::fromLatin1(c.shown));
    }
}

// A file that cannot be read is still listed, with the reason; a name that leads nowhere or to
// a folder is not. Who may read a stored password is told by the file's mode.
TEST(ConfigListReader, SaysWhyAFileCannotBeReadAndWhoMayReadItsPassword)
{
    TestDir dir;
    const QByteArray lib = QFile::encodeName(dir.lib());
    ASSERT_EQ(::mkfifo(lib + "/fifo.tsy", 0600), 0);
    ASSERT_TRUE(QDir(dir.lib()).mkdir("folder.tsy"));
    ::close(::open(lib + "/caf\xe9.tsy", O_CREAT | O_WRONLY, 0600));
    dir.writeFile("lib/huge.tsy", QByteArray(1024 * 1024 + 1, 'x'));
    dir.writeFile("lib/locked.tsy", "dsn=x");
    ::chmod(lib + "/locked.tsy", 0);
    // Links a colleague may plant: to a file of someone else, and to nothing.
    dir.writeFile("victim", "password=secret");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path() + "/victim"), lib + "/link.tsy"), 0);
    ASSERT_EQ(::symlink("/nonexistent", lib + "/dangling.tsy"), 0);
    const bool root = ::geteuid() == 0;
    using P = ConfigList::ListedFile::Presence;
    struct Case { QString name; DirectoryListing::Kind kind; P presence; const char *reason; };
    const Case cases[] = {
        {"fifo.tsy", DirectoryListing::Kind::Other, P::Listed, "a FIFO (named pipe), not a regular file"},
        {"fifo.tsy", DirectoryListing::Kind::Unknown, P::Listed, "a FIFO (named pipe), not a regular file"},
        {"folder.tsy", DirectoryListing::Kind::Unknown, P::Folder, ""},
        {"gone.tsy", DirectoryListing::Kind::Unknown, P::Missing, ""},
        {QFile::decodeName("caf\xe9.tsy"), DirectoryListing::Kind::Unknown, P::Listed, "not valid text"},
        {"huge.tsy", DirectoryListing::Kind::RegularFile, P::Listed, "larger than 1048576 bytes"},
        {"locked.tsy", DirectoryListing::Kind::RegularFile, P::Listed, root ? "" : "Permission denied"},
        {"link.tsy", DirectoryListing::Kind::Link, P::Listed, "a symbolic link"},
        {"link.tsy", DirectoryListing::Kind::Unknown, P::Listed, "a symbolic link"},
        {"dangling.tsy", DirectoryListing::Kind::Unknown, P::Listed, "a symbolic link"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const ConfigList::ListedFile f = ConfigList::ReadFile(dir.lib(), c.name, c.kind);
        EXPECT_EQ(f.presence, c.presence);
        EXPECT_EQ(f.unreadable.isEmpty(), !*c.reason);
        EXPECT_TRUE(f.unreadable.contains(QLatin1String(c.reason))) << f.unreadable.toStdString();
    }

    for (const auto &[mode, password, others] : {std::tuple{0644, "password=x", true}, {0640, "password=x", false},
                                                 {0604, "password=", false}}) {
        dir.writeFile("lib/p.tsy", password);
        ASSERT_EQ(::chmod(lib + "/p.tsy", mode), 0);
        EXPECT_EQ(ConfigList::ReadFile(dir.lib(), "p.tsy").PasswordReadableByOthers(), others) << mode << password;
    }
    // The version read is the one a later look finds, until the file is written again.
    const ConfigList::ListedFile read = ConfigList::ReadFile(dir.lib(), "p.tsy");
    EXPECT_TRUE(read.identity.SameVersion(ConfigList::IdentityOf(dir.lib(), "p.tsy")));
    dir.writeFile("lib/p.tsy", "password=xy");
    EXPECT_FALSE(read.identity.SameVersion(ConfigList::IdentityOf(dir.lib(), "p.tsy")));
}

// Files whose trimmed name ends in ".tsy", case-blind in name order, the first 32,767 of them;
// folders and other files are not listed. An unreadable folder is an error.
TEST(ConfigListReader, ListsTheFirstConfigurationFilesInNameOrder)
{
    TestDir dir;
    for (const char *name : {"b.tsy", "A.tsy", "a.tsy", "c.TSY", "d.tsy ", "notes.txt"})
        dir.writeFile(u"lib/"_s + QLatin1String(name), "");
    ASSERT_TRUE(QDir(dir.lib()).mkdir("e.tsy"));
    ASSERT_EQ(::symlink("e.tsy", QFile::encodeName(dir.lib("f.tsy")).constData()), 0);
    ASSERT_EQ(::symlink("/nonexistent", QFile::encodeName(dir.lib("g.tsy")).constData()), 0);
    Result<ConfigList::Listing> listed = ConfigList::ListFolder(dir.lib());
    ASSERT_TRUE(listed.ok());
    QStringList names;
    for (const DirectoryListing::Entry &e : listed->files)
        names << e.name;
    // A link is an entry of its own, wherever it leads (nowhere too): listed, never followed.
    EXPECT_EQ(names, QStringList({"A.tsy", "a.tsy", "b.tsy", "d.tsy ", "f.tsy", "g.tsy"}));
    EXPECT_EQ(listed->leftOut, 0);

    for (int i = 0; i < ConfigList::MaxListed + 2; ++i)
        QFile(dir.lib(u"x%1.tsy"_s.arg(i, 5, 10, QChar(u'0')))).open(QIODevice::WriteOnly);
    listed = ConfigList::ListFolder(dir.lib());
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(listed->files.size(), ConfigList::MaxListed);
    EXPECT_EQ(listed->leftOut, 8);
    EXPECT_EQ(listed->files.last().name, "x32760.tsy");
    EXPECT_FALSE(ConfigList::ListFolder(dir.lib("missing")).ok());
}

} // namespace
