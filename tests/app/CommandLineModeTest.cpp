#include "app/CommandLineMode.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(CommandLineMode, EightFieldsWriteOneFile)
{
    TestAppDir app;
    ASSERT_EQ(RunCommandLineMode(app.session(), "1028:::1:::SALESDSN:::SALES:::dbhost:::sa:::pw:::cn=bus, o=root"), 0);
    const QByteArray expected =
        "SatelliteAppln=1028\r\nldbp=1\r\ndsn=SALESDSN\r\ndatabase=SALES\r\ndbmachinename=dbhost\r\n"
        "user=sa\r\nsavepass=1\r\npassword=" + Ansi::Encode(ScramblePassword("pw")) + "\r\nautologin=1\r\n"
        "lhbuscomponent=cn=bus, o=root\r\nlogdirectory=" + app.path().toLocal8Bit() + "/log\r\n"
        "webdirectory=\r\ntablequeuetimer=\r\ntimer=\r\ngridcols=\r\npaneratio=\r\ncurrenttable=\r\n"
        "screen=\r\nbatchsize=100\r\ndelay=30\r\n";
    EXPECT_EQ(app.readFile("lib/SALES_1028.tsy"), expected);
    EXPECT_TRUE(app.shownTexts().isEmpty());

    // Again: replaced without a question; a ninth field is ignored.
    ASSERT_EQ(RunCommandLineMode(app.session(), "1028:::1:::OTHER:::SALES:::dbhost:::sa:::pw:::bus:::extra"), 0);
    EXPECT_TRUE(app.readFile("lib/SALES_1028.tsy").contains("dsn=OTHER\r\n"));
    EXPECT_FALSE(app.readFile("lib/SALES_1028.tsy").contains("extra"));
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files).size(), 1);
}

TEST(CommandLineMode, FieldsKeepTheirBlanks)
{
    TestAppDir app;
    ASSERT_EQ(RunCommandLineMode(app.session(), "4009::: 2 ::: d ::: SALES ::: m ::: u ::: p ::: c "), 0);
    const QByteArray file = app.readFile("lib/ SALES _4009.tsy");
    EXPECT_TRUE(file.contains("\r\nldbp= 2 \r\n"));
    EXPECT_TRUE(file.contains("\r\nlhbuscomponent= c \r\n"));
}

TEST(CommandLineMode, TooFewFieldsWriteNothing)
{
    TestAppDir app;
    EXPECT_NE(RunCommandLineMode(app.session(), "1028:::1:::d:::SALES:::m:::u:::p"), 0);
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts().first().contains("7 field"));

    ConfigRecord partial;
    EXPECT_FALSE(ParseCommandLine("a:::b", partial));
    EXPECT_EQ(partial.SatelliteAppln, QStringLiteral("a"));
    EXPECT_EQ(partial.ldbp, QStringLiteral("b"));
    EXPECT_TRUE(partial.dsn.isEmpty());
}

TEST(CommandLineMode, UnwritableFileShowsTheWriteMessage)
{
    TestAppDir app(true, false); // lib missing: not created
    EXPECT_EQ(RunCommandLineMode(app.session(), "1028:::1:::d:::SALES:::m:::u:::p:::c"), 1);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts().first().startsWith(app.session().GetText("SLBL0356")));
    EXPECT_TRUE(app.shownTexts().first().contains("SALES_1028.tsy: ")) << qPrintable(app.shownTexts().first());
    EXPECT_EQ(app.messages().ShownMessages().first().icon, MsgIcon::None);
    EXPECT_FALSE(QDir(app.path()).exists("lib"));
}
