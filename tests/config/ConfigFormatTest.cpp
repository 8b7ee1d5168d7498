#include "config/ConfigFormat.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConfigFormat, LineAndFlagRules)
{
    // What a line is: "blank", "no =", or its key and value.
    const std::pair<const char *, const char *> cases[] = {
        {"", "blank"},
        {"    ", "blank"},
        {"[FMK]", "no ="},
        {"DSN=abc", "dsn|abc"},
        {"dsn =abc", "dsn |abc"},
        {"user=  a b  ", "user|a b"},
        {"lhbuscomponent=cn=x, o=y", "lhbuscomponent|cn=x, o=y"},
        {"timer=\tx\t", "timer|\tx\t"},
    };
    for (const auto &[line, expected] : cases) {
        QString key, value;
        const ConfigFormat::LineKind kind = ConfigFormat::SplitLine(line, &key, &value);
        EXPECT_EQ(kind == ConfigFormat::LineKind::Blank     ? u"blank"_s
                  : kind == ConfigFormat::LineKind::NoEquals ? u"no ="_s
                                                             : key + u'|' + value,
                  expected);
    }
    EXPECT_TRUE(ConfigFormat::IsJointFileMarker("  [FMK]  "));
    EXPECT_FALSE(ConfigFormat::IsJointFileMarker("[fmk]"));
    // A flag (savepass, autologin) is set by the number 1.
    for (const auto &[value, set] : {std::pair{"1", true}, {"1.0", true}, {"1abc", true}, {"", false}, {"1.4", false},
                                     {"2", false}})
        EXPECT_EQ(ConfigFormat::IsFlagSet(value), set) << value;
}

// Where the reader stopped: the line's number, the lines after it, and its text; "" when it
// read to the end.
TEST(ConfigFormat, ReaderKeepsTheLinesItDoesNotReadAndSaysWhereItStopped)
{
    struct Case { const char *what, *text; QStringList otherLines; const char *dsn, *stop = ""; };
    const Case cases[] = {
        {"comment and other key kept", "; by hand\r\nDSN=a\r\nmasterdatadirectory=x\r\n",
         {"; by hand", "masterdatadirectory=x"}, "a"},
        {"a comment with = sets nothing", "  #dsn=b\r\ndsn=a\r\n", {"  #dsn=b"}, "a"},
        {"the later line wins", "dsn=a\r\ndsn= b \r\n", {}, "b"},
        {"stops at a line without =", "dsn=a\r\n\r\n [FMK] \r\ndsn=b\r\n\r\n", {}, "a", "3 2 [FMK]"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ConfigRecord record;
        record.user = "before"; // a key the text lacks leaves its field
        const ConfigFormat::RecordRead read = ConfigFormat::ReadRecord(QString::fromLatin1(c.text), &record);
        EXPECT_EQ(record.otherLines, c.otherLines);
        EXPECT_EQ(record.dsn + u'|' + record.user, c.dsn + u"|before"_s);
        EXPECT_EQ(read.complete() ? QString() : u"%1 %2 %3"_s.arg(read.stopLine).arg(read.unreadLines).arg(read.stopText),
                  c.stop);
    }
}

// A record is written only when it reads back as it stands; a refused one is an error that
// names the field, and leaves no file. The password is written only when savepass is set.
TEST(ConfigFormat, WrittenValuesReadBackOrAreRefusedAndNothingIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.tsy");
    struct Case { QString ConfigRecord::*field; QString value; const char *refusal; const char *savepass = "1"; };
    const Case cases[] = {
        {&ConfigRecord::password, " Pa$$ w=rd! ", nullptr},
        {&ConfigRecord::dsn, "a\u4e2d", "dsn"},
        {&ConfigRecord::user, "a\nb", "user"},
        {&ConfigRecord::password, "\u2021abc", "password"}, // scrambles to a leading blank
        {&ConfigRecord::password, "abc\u2021", "password"}, // ...to a trailing blank
        {&ConfigRecord::password, "ab\u00A7", "password"},  // ...to NUL
        // The same odd password is fine when it is not saved.
        {&ConfigRecord::password, "abc\u2021", nullptr, "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        QFile::remove(path);
        ConfigRecord rec;
        rec.dsn = "SALESDSN";
        rec.*c.field = c.value;
        rec.savepass = c.savepass;
        const Result<void> written = ConfigFormat::WriteFile(path, rec);
        EXPECT_EQ(QFile::exists(path), !c.refusal);
        if (c.refusal) {
            ASSERT_FALSE(written);
            EXPECT_EQ(written.error().number, ErrorNumber::InvalidValue);
            EXPECT_TRUE(written.error().description.contains(QLatin1String(c.refusal)));
            continue;
        }
        const Result<QString> text = FileIo::ReadAnsiText(path);
        ConfigRecord back;
        ASSERT_TRUE(text && ConfigFormat::ReadRecord(text.value(), &back).complete());
        EXPECT_EQ(back.*c.field, ConfigFormat::IsFlagSet(rec.savepass) ? rec.*c.field : QString());
    }
}

TEST(PasswordScramble, AKnownPasswordGivesItsStoredBytesAndEveryByteComesBack)
{
    QString every;
    for (int b = 0; b < 256; ++b)
        every.append(Ansi::CharOf(static_cast<unsigned char>(b)));
    const QString scrambled = ScramblePassword(every);
    ASSERT_EQ(scrambled.size(), every.size());
    EXPECT_EQ(UnscramblePassword(scrambled), every);
    // Files already written hold these bytes: a changed key would make them unreadable.
    EXPECT_EQ(Ansi::Encode(ScramblePassword(QStringLiteral("secret"))), QByteArray("\xD4\xC2\xC4\xD5\xC2\xD3"));
    // Every ASCII character lands on a byte with the high bit set: never blank, CR, LF, NUL.
    EXPECT_TRUE(PasswordSurvivesScrambling(every.mid(1, 127)));
    EXPECT_TRUE(PasswordSurvivesScrambling(" leading and trailing "));
}
