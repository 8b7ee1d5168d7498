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
    void write(const QByteArray &bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
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

// A joint file as other tools of the suite leave it: odd spacing, comments, a key line
// before any section, duplicates, quotes, LF-only and CR-only line ends mixed in.
const QByteArray kSample =
    "orphan=before any section\r\n"
    "; leading comment\r\n"
    "[FMK]\r\n"
    " \tbatchsize \t= \t100 \t\r\n"
    "dsn=first\r\n"
    "dsn=second\r\n"
    "#hash=is a key\r\n"
    "   ;commented=1\r\n"
    "dquoted=\"  a b  \"\r\n"
    "squoted='x'\r\n"
    "mismatched=\"x'\r\n"
    "lonequote=\"\r\n"
    "bare\r\n"
    "empty=\r\n"
    "vt=\x0bvalue\x0b\r\n"
    "inner=a = b ; not a comment\r\n"
    "\r\n"
    "  [ RST ]  trailing text\n"
    "SatelliteAppln=1028\r"
    "dsn=RST_PLAN\r\n"
    "[fmk]\r\n"
    "onlyinsecond=yes\r\n"
    "[Caf\xe9]\r\n"
    "\xc9T\xc9=\xe9t\xe9\r\n"
    "[S]\r\n"
    "k=vvvvv\r\n"
    "q=\"qqqqq\"\r\n";

TEST_F(IniProfileTest, ReadsValuesByTheWindowsRules)
{
    write(kSample);
    struct Case { const char *section, *key, *def; QString expected; int size = 255; } cases[] = {
        {"fmk", "BatchSize", "", "100"},          // names without regard to case; blanks and tabs around
        {" FMK ", " dsn ", "", "first"},          // names passed in lose blanks; first duplicate wins
        {"FMK", "#hash", "", "is a key"},         // '#' does not start a comment
        {"FMK", ";commented", "none", "none"},    // ';' after blanks does
        {"FMK", "dquoted", "", "  a b  "},        // one pair of outer quotes, inner blanks kept
        {"FMK", "squoted", "", "x"},
        {"FMK", "mismatched", "", "\"x'"},
        {"FMK", "lonequote", "", "\""},
        {"FMK", "bare", "dflt", "dflt"},          // a name without '=' has no value
        {"FMK", "empty", "dflt", ""},             // an empty value is still a value
        {"FMK", "vt", "", "value"},               // vertical tabs trimmed from values
        {"FMK", "inner", "", "a = b ; not a comment"},
        {"RST", "dsn", "", "RST_PLAN"},           // blanks inside [ ], text after ], CR-only ends
        {"FMK", "onlyinsecond", "no", "no"},      // only the first of two same sections counts
        {"FMK", "orphan", "no", "no"},            // lines before the first section are ignored
        {"RST", "delay", "default  ", "default"}, // trailing blanks of the default removed
        {"NONE", "x", "  lead", "  lead"},        // ...leading ones kept
        {"caf\xc3\xa9", "\xc3\xa9t\xc3\xa9", "", "\xc3\xa9t\xc3\xa9"}, // 1252 letters, any case
        // Values are cut to the buffer size less one.
        {"S", "k", "", "vvv", 4},
        {"S", "q", "", "qqq", 4}, // unquoted first, then cut
        {"S", "k", "", "", 1},
        {"S", "missing", "default", "def", 4},
    };
    for (const Case &c : cases)
        EXPECT_EQ(get(c.section, c.key, c.def, c.size), c.expected) << c.section << "/" << c.key << "/" << c.size;
    // A byte order mark is part of the first line, not of the file's encoding.
    write("\xef\xbb\xbf[S]\r\nk=1\r\n[T]\r\nk=2\r\n");
    EXPECT_EQ(get("S", "k", "none"), u"none"_s);
    EXPECT_EQ(get("T", "k"), u"2"_s);
}

TEST_F(IniProfileTest, WritesChangeOnlyTheLineTheyTouch)
{
    const QByteArray base =
        "; comment\r\n[FMK]\r\nbatchsize=100\r\ndelay=30\r\n; note inside\r\n\r\n[RST]\nbatchsize=5\n\n[Other]\r\nx=1";
    auto changed = [&](const char *from, const char *to) { return QByteArray(base).replace(from, to); };
    struct Put { const char *section, *key, *value; };
    struct Case { const char *what; QByteArray before; QList<Put> puts; QByteArray after; } cases[] = {
        {"existing keys overwritten in their spelling", base, {{"fmk", "batchSize", "200"}, {"FMK", "Delay", " 45 "}},
         changed("batchsize=100\r\ndelay=30", "batchsize=200\r\ndelay= 45 ")},
        {"new keys after the last key line, in order", base, {{"FMK", "autologin", "1"}, {"FMK", "screen", "2"}},
         changed("delay=30\r\n", "delay=30\r\nautologin=1\r\nscreen=2\r\n")},
        {"LF-only lines around an insertion stay LF", base, {{" RST ", " dsn ", "RST_PLAN"}},
         changed("batchsize=5\n", "batchsize=5\ndsn=RST_PLAN\r\n")},
        {"a last line without line end gets one", base, {{"Other", "y", "2"}}, base + "\r\ny=2\r\n"},
        {"new section at the end without a blank line", base, {{"New", "k", "v"}}, base + "\r\n[New]\r\nk=v\r\n"},
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
    // What is written reads back trimmed and unquoted.
    EXPECT_EQ(get("S", "euro"), u"€ \"x\""_s);
}

TEST_F(IniProfileTest, WritesThatCannotBeDoneFailAndChangeNothing)
{
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
