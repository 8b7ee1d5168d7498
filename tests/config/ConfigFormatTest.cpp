#include "config/ConfigFormat.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ConfigRecord Sample()
{
    ConfigRecord c;
    c.SatelliteAppln = "1028";
    c.ldbp = "1";
    c.dsn = "SALESDSN";
    c.database = "SALES";
    c.user = "sa";
    c.savepass = "1";
    c.password = "s3cret pw";
    c.autologin = "1";
    c.batchsize = "100";
    c.delay = "30";
    return c;
}

} // namespace

TEST(ConfigFormat, WritesTwentyCrLfLinesInKeyOrder)
{
    const QByteArray bytes = ConfigFormat::Format(Sample());
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 21); // twenty lines and what follows the last LF
    const char *keys[] = {"SatelliteAppln", "ldbp", "dsn", "database", "dbmachinename", "user",
                          "savepass", "password", "autologin", "lhbuscomponent", "logdirectory",
                          "webdirectory", "tablequeuetimer", "timer", "gridcols", "paneratio",
                          "currenttable", "screen", "batchsize", "delay"};
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(lines[i].startsWith(QByteArray(keys[i]) + '=')) << lines[i].constData();
        EXPECT_TRUE(lines[i].endsWith('\r'));
    }
    EXPECT_EQ(lines[7], "password=" + Ansi::Encode(ScramblePassword("s3cret pw")) + "\r");
}

TEST(ConfigFormat, PasswordIsEmptyUnlessSavePassIsOne)
{
    for (const char *savepass : {"0", "", "2", "1.4"}) {
        ConfigRecord c = Sample();
        c.savepass = savepass;
        EXPECT_TRUE(ConfigFormat::Format(c).contains("\r\npassword=\r\n")) << savepass;
    }
    ConfigRecord c = Sample();
    c.savepass = "1.0";
    EXPECT_FALSE(ConfigFormat::Format(c).contains("\r\npassword=\r\n"));
}

TEST(ConfigFormat, LineRules)
{
    struct Case { const char *line; ConfigFormat::LineKind kind; const char *key; const char *value; };
    using K = ConfigFormat::LineKind;
    const Case cases[] = {
        {"", K::Blank, "", ""},
        {"    ", K::Blank, "", ""},
        {"[FMK]", K::NoEquals, "", ""},
        {"DSN=abc", K::KeyValue, "dsn", "abc"},
        {"dsn =abc", K::KeyValue, "dsn ", "abc"},
        {" dsn=abc", K::KeyValue, " dsn", "abc"},
        {"user=  a b  ", K::KeyValue, "user", "a b"},
        {"lhbuscomponent=cn=x, o=y", K::KeyValue, "lhbuscomponent", "cn=x, o=y"},
        {"timer=\tx\t", K::KeyValue, "timer", "\tx\t"},
    };
    for (const Case &c : cases) {
        QString key, value;
        EXPECT_EQ(ConfigFormat::SplitLine(QString::fromUtf8(c.line), &key, &value), c.kind) << c.line;
        if (c.kind == K::KeyValue) {
            EXPECT_EQ(key, QString::fromUtf8(c.key)) << c.line;
            EXPECT_EQ(value, QString::fromUtf8(c.value)) << c.line;
        }
    }
    EXPECT_TRUE(ConfigFormat::IsJointFileMarker(QStringLiteral("  [FMK]  ")));
    EXPECT_FALSE(ConfigFormat::IsJointFileMarker(QStringLiteral("[fmk]")));
}

TEST(ConfigFormat, ReaderKeepsTheLinesItDoesNotReadAndSaysWhereItStopped)
{
    struct Case { const char *what, *text; QStringList otherLines; const char *dsn; int stopLine, unreadLines; };
    const Case cases[] = {
        {"comment and other key kept", "; by hand\r\nDSN=a\r\nmasterdatadirectory=x\r\n",
         {"; by hand", "masterdatadirectory=x"}, "a", 0, 0},
        {"a comment with = sets nothing", "  #dsn=b\r\ndsn=a\r\n", {"  #dsn=b"}, "a", 0, 0},
        {"the later line wins", "dsn=a\r\ndsn= b \r\n", {}, "b", 0, 0},
        {"stops at a line without =", "dsn=a\r\n\r\n [FMK] \r\ndsn=b\r\n\r\n", {}, "a", 3, 2},
    };
    for (const Case &c : cases) {
        ConfigRecord record;
        record.user = QStringLiteral("before"); // a key the text lacks leaves its field
        const ConfigFormat::RecordRead read = ConfigFormat::ReadRecord(QString::fromLatin1(c.text), &record);
        EXPECT_EQ(record.otherLines, c.otherLines) << c.what;
        EXPECT_EQ(record.dsn, QLatin1String(c.dsn)) << c.what;
        EXPECT_EQ(record.user, QStringLiteral("before")) << c.what;
        EXPECT_EQ(read.stopLine, c.stopLine) << c.what;
        EXPECT_EQ(read.unreadLines, c.unreadLines) << c.what;
        EXPECT_EQ(read.stopText, c.stopLine ? QStringLiteral("[FMK]") : QString()) << c.what;
    }
}

TEST(ConfigFormat, FlagIsSetByTheNumberOne)
{
    for (const char *v : {"1", "1.0", " 1", "1abc"})
        EXPECT_TRUE(ConfigFormat::IsFlagSet(QString::fromUtf8(v))) << v;
    for (const char *v : {"", "0", "1.4", "2", "yes"})
        EXPECT_FALSE(ConfigFormat::IsFlagSet(QString::fromUtf8(v))) << v;
}

TEST(ConfigFormat, ValuesThatWouldNotReadBackAreRefusedAndNothingIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.tsy"));
    struct Case { QString ConfigRecord::*field; QString value; const char *mentions; };
    const Case cases[] = {
        {&ConfigRecord::dsn, QStringLiteral("a\u4e2d"), "dsn"},
        {&ConfigRecord::user, QStringLiteral("a\nb"), "user"},
        {&ConfigRecord::password, QStringLiteral("\u2021abc"), "password"}, // scrambles to a leading blank
        {&ConfigRecord::password, QStringLiteral("ab\u00A7"), "password"},  // scrambles to NUL
    };
    for (const Case &c : cases) {
        ConfigRecord rec = Sample();
        rec.*c.field = c.value;
        Vb::Error e;
        EXPECT_FALSE(ConfigFormat::WriteFile(path, rec, &e));
        EXPECT_TRUE(e.description.contains(QLatin1String(c.mentions))) << e.description.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
    // The same odd password is fine when it is not saved.
    ConfigRecord rec = Sample();
    rec.password = QStringLiteral("\u2021abc");
    rec.savepass = "0";
    Vb::Error e;
    EXPECT_TRUE(ConfigFormat::WriteFile(path, rec, &e));
}

TEST(PasswordScramble, EveryByteIsExclusiveOredWithTheKeyAndComesBack)
{
    QString every;
    for (int b = 0; b < 256; ++b)
        every.append(Ansi::CharOf(static_cast<unsigned char>(b)));
    const QString scrambled = ScramblePassword(every);
    ASSERT_EQ(scrambled.size(), every.size());
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(Ansi::CodeOf(scrambled[b]), b ^ PasswordKey) << b;
    EXPECT_EQ(UnscramblePassword(scrambled), every);
    // Every ASCII character lands on a byte with the high bit set: never blank, CR, LF, NUL.
    EXPECT_TRUE(PasswordSurvivesScrambling(every.mid(1, 127)));
    EXPECT_TRUE(PasswordSurvivesScrambling(QStringLiteral(" leading and trailing ")));
}

TEST(PasswordScramble, ScrambledPasswordReadsBackFromAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.tsy"));
    ConfigRecord rec = Sample();
    rec.password = QStringLiteral(" Pa$$ w=rd! ");
    Vb::Error e;
    ASSERT_TRUE(ConfigFormat::WriteFile(path, rec, &e));
    QString text;
    ASSERT_TRUE(FileIo::ReadAnsiText(path, &text, &e));
    ConfigRecord back;
    ASSERT_TRUE(ConfigFormat::ReadRecord(text, &back).complete());
    EXPECT_EQ(back.password, rec.password);
}
