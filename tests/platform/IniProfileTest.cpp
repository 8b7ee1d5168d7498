#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class IniProfileTest : public ::testing::Test
{
public:
    QString path() const { return m_dir.filePath(u"joint.tsy"_s); }
    void write(const QByteArray &bytes) const { ASSERT_TRUE(FileIo::WriteFileAtomic(path(), bytes)); }
    QByteArray read() const { return FileIo::ReadBytes(path()).value_or(QByteArray("<missing>")); }
    QString get(const char *section, const char *key, const char *def = "", int size = 255) const
    {
        return IniProfile::GetPrivateProfileString(QString::fromUtf8(section), QString::fromUtf8(key),
                                                   QString::fromUtf8(def), size, path());
    }
    bool put(const char *section, const char *key, const QString &value, const QString &file = {}) const
    {
        return IniProfile::WritePrivateProfileString(QString::fromUtf8(section), QString::fromUtf8(key), value,
                                                     file.isEmpty() ? path() : file);
    }

    QTemporaryDir m_dir;
};

// Each row adds its lines to one joint file as other tools of the suite leave it (odd
// spacing, comments, duplicates, quotes, LF-only and CR-only line ends), then reads a value.
TEST_F(IniProfileTest, ReadsValuesByTheWindowsRules)
{
    struct Case { const char *lines, *section, *key, *def; QString expected; int size = 255; } cases[] = {
        // A byte order mark is part of the first line; lines before the first section are ignored.
        {"\xef\xbb\xbf[BOM]\r\nk=1", "BOM", "k", "none", "none"},
        {"orphan=before any section", "FMK", "orphan", "no", "no"},
        {"; leading comment\r\n[FMK]\r\n \tbatchsize \t= \t100 \t", "fmk", "BatchSize", "", "100"}, // any case
        {"dsn=first\r\ndsn=second", " FMK ", " dsn ", "", "first"}, // names passed lose blanks; first wins
        {"#hash=is a key", "FMK", "#hash", "", "is a key"},
        {"   ;commented=1", "FMK", ";commented", "none", "none"},
        {"dquoted=\"  a b  \"", "FMK", "dquoted", "", "  a b  "}, // one pair of outer quotes, inner blanks kept
        {"squoted='x'", "FMK", "squoted", "", "x"},
        {"mismatched=\"x'", "FMK", "mismatched", "", "\"x'"},
        {"lonequote=\"", "FMK", "lonequote", "", "\""}, // one character is no pair
        {"bare", "FMK", "bare", "dflt", "dflt"}, // a name without '=' has no value
        {"empty=", "FMK", "empty", "dflt", ""},  // an empty value is still a value
        {"vt=\x0bvalue\x0b", "FMK", "vt", "", "value"},
        {"inner=a = b ; not a comment", "FMK", "inner", "", "a = b ; not a comment"},
        // Blanks inside [ ], text after ], CR-only and LF-only line ends.
        {"\r\n  [ RST ]  trailing text\nSatelliteAppln=1028\rdsn=RST_PLAN", "RST", "dsn", "", "RST_PLAN"},
        {"[fmk]\r\nonlyinsecond=yes", "FMK", "onlyinsecond", "no", "no"}, // the first of two same sections
        {"[Caf\xe9]\r\n\xc9T\xc9=\xe9t\xe9", "caf\xc3\xa9", "\xc3\xa9t\xc3\xa9", "", "\xc3\xa9t\xc3\xa9"},
        {"", "RST", "delay", "default  ", "default"}, // trailing blanks of the default removed
        {"", "NONE", "x", "  lead", "  lead"},        // ...leading ones kept
        // Values are cut to the buffer size less one; quotes go first.
        {"[S]\r\nk=vvvvv", "S", "k", "", "vvv", 4},
        {"q=\"qqqqq\"", "S", "q", "", "qqq", 4},
        {"", "S", "missing", "default", "def", 4},
    };
    QByteArray file;
    for (const Case &c : cases)
        file += QByteArray(c.lines) + "\r\n";
    write(file);
    for (const Case &c : cases)
        EXPECT_EQ(get(c.section, c.key, c.def, c.size), c.expected) << c.section << "/" << c.key << "/" << c.size;
}

TEST_F(IniProfileTest, WritesChangeOnlyTheLineTheyTouchOrFailAndChangeNothing)
{
    const QByteArray base =
        "; comment\r\n[FMK]\r\nbatchsize=100\r\ndelay=30\r\n; note inside\r\n\r\n[RST]\nbatchsize=5\n\n[Other]\r\nx=1";
    auto changed = [&](const char *from, const char *to) { return QByteArray(base).replace(from, to); };
    struct Put { const char *section, *key, *value; };
    struct Case { const char *what; QByteArray before; QList<Put> puts; QByteArray after; } cases[] = {
        {"existing keys overwritten in their spelling, new ones after the last key line in order", base,
         {{"fmk", "batchSize", "200"}, {"FMK", "Delay", " 45 "}, {"FMK", "autologin", "1"}, {"FMK", "screen", "2"}},
         changed("batchsize=100\r\ndelay=30\r\n", "batchsize=200\r\ndelay= 45 \r\nautologin=1\r\nscreen=2\r\n")},
        {"LF-only lines around an insertion stay LF", base, {{" RST ", " dsn ", "RST_PLAN"}},
         changed("batchsize=5\n", "batchsize=5\ndsn=RST_PLAN\r\n")},
        {"a last line without line end gets one; a new section follows without a blank line", base,
         {{"Other", "y", "2"}, {"New", "k", "v"}}, base + "\r\ny=2\r\n[New]\r\nk=v\r\n"},
        {"the first of duplicates is written; an empty section takes its first key after its header",
         "[A]\r\nk=1\r\nK=2\r\n[B]\r\n[a]\r\nk=3\r\n", {{"A", "k", "9"}, {"B", "n", "x"}},
         "[A]\r\nk=9\r\nK=2\r\n[B]\r\nn=x\r\n[a]\r\nk=3\r\n"},
        // A missing file is created in Windows-1252 with CR LF; the value as given.
        {"created", "<missing>", {{"S", "k", ""}, {"S", "euro", "\xe2\x82\xac \"x\" "}},
         "[S]\r\nk=\r\neuro=\x80 \"x\" \r\n"},
    };
    for (const Case &c : cases) {
        QFile::remove(path());
        if (c.before != "<missing>")
            write(c.before);
        for (const Put &p : c.puts)
            EXPECT_TRUE(put(p.section, p.key, QString::fromUtf8(p.value))) << c.what;
        EXPECT_EQ(read(), c.after) << c.what;
    }

    // Writes that cannot be done fail and change nothing.
    QFile::remove(path());
    EXPECT_EQ(get("S", "k", "fallback "), u"fallback"_s); // no file
    EXPECT_FALSE(put("S", "k", u"v"_s, m_dir.filePath(u"nodir/x.tsy"_s)));
    EXPECT_FALSE(QDir(m_dir.filePath(u"nodir"_s)).exists());

    write("[S]\r\nk=1\r\n");
    EXPECT_FALSE(put("S", "k", u"two\r\nlines"_s));
    EXPECT_FALSE(put("S", "k", u"\u2603"_s)); // not in 1252
    EXPECT_EQ(read(), QByteArray("[S]\r\nk=1\r\n"));

    QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup);
    EXPECT_FALSE(put("S", "k", u"2"_s));
    EXPECT_EQ(read(), QByteArray("[S]\r\nk=1\r\n"));
}

} // namespace
