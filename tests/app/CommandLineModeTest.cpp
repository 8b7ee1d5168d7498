#include "app/CommandLineMode.h"
#include "app/SecurityChecks.h"
#include "config/MergeSplitJournal.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/SharedFolder.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

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

// Each row in a directory of its own: the exit status, the one file lib/ then holds (none
// when empty) and, on failure, a part of the one message shown, which names the field or file.
TEST(CommandLineMode, FieldsTheProgramCouldNotReadBackWriteNothing)
{
    struct Case { const char *arguments; int status; const char *written; const char *says; bool withLib = true; };
    const Case cases[] = {
        // Values as they stand, blanks included; the platform converts as the list converts it.
        // How a value converts and which file names are valid is tested with the conversions.
        {" 1028 ::: 2 :::d::: SALES :::m:::u:::p::: c ", 0, " SALES _ 1028 .tsy", nullptr},
        {"4009:::1.5:::d:::SALES:::m:::u:::p:::c", 0, "SALES_4009.tsy", nullptr},
        {"12:::1:::d:::SALES:::m:::u:::p:::c", 2, "", "(field 1) \"12\""},
        {"1028:::3:::d:::SALES:::m:::u:::p:::c", 2, "", "(field 2) \"3\""},
        {"1028:::one:::d:::SALES:::m:::u:::p:::c", 2, "", "(field 2) \"one\""},
        {"1028:::1:::d::::::m:::u:::p:::c", 2, "", "(field 4) \"\""},
        {"1028:::1:::d:::A:B:::m:::u:::p:::c", 2, "", "(field 4) \"A:B\""},
        {"1028:::1:::d:::SALES:::m:::u:::p", 2, "", "7 field"},
        // lib/ missing: not created, the write message names the file.
        {"1028:::1:::d:::SALES:::m:::u:::p:::c", 1, "", "SALES_1028.tsy: ", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        TestAppDir app(true, c.withLib);
        EXPECT_EQ(RunCommandLineMode(app.session(), QString::fromUtf8(c.arguments)), c.status);
        const QString written = QString::fromUtf8(c.written);
        EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
        EXPECT_EQ(QDir(app.path()).exists("lib"), c.withLib);
        if (!c.says) {
            EXPECT_TRUE(app.shownTexts().isEmpty());
            // The platform and the last field are written as typed.
            const QStringList fields = QString::fromUtf8(c.arguments).split(":::");
            const QByteArray file = app.readFile("lib/" + written);
            EXPECT_TRUE(file.contains("\r\nldbp=" + fields[1].toUtf8() + "\r\n"));
            EXPECT_TRUE(file.contains("\r\nlhbuscomponent=" + fields[7].toUtf8() + "\r\n"));
            continue;
        }
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].contains(QString::fromUtf8(c.says))) << qPrintable(app.shownTexts()[0]);
        // A file that could not be written is told in the program's own words, without an icon.
        EXPECT_EQ(app.shownTexts()[0].startsWith(app.session().GetText("SLBL0356")), c.status == 1);
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, c.status == 1 ? MsgIcon::None : MsgIcon::Critical);
    }
}

// --check: each row a lib/ of its own with one file (name, text, mode); the status, and a part
// of the one line printed for the file (no line when empty).
TEST(CommandLineMode, CheckNamesEachConfigurationThatIsNotSound)
{
    const QByteArray withPassword = "SatelliteAppln=1028\r\nldbp=1\r\nsavepass=1\r\npassword=\xD7\r\n";
    struct Case { const char *what; QByteArray text; int mode; int status; const char *says; bool withLib = true; };
    const Case cases[] = {
        {"a password for the group only", withPassword, 0660, 0, ""},
        {"no password, readable by all", "SatelliteAppln=1028\r\npassword=\r\n", 0644, 0, ""},
        {"a password readable by all", withPassword, 0644, 1, "holds a password and is readable by others (mode 644)"},
        {"ldbp not a number", "ldbp=one\r\n", 0660, 1, "cannot be read: the platform (ldbp): \"one\" is not a number"},
        {"read back changed", "[FMK]\r\ndsn=\"D\"\r\n", 0660, 1, "[FMK] dsn:"},
        {"no lib folder", "", 0, 1, "the folder cannot be read", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestAppDir app(true, c.withLib);
        if (c.withLib) {
            app.writeFile("lib/x.tsy", c.text);
            ASSERT_EQ(::chmod(QFile::encodeName(app.lib("x.tsy")).constData(), mode_t(c.mode)), 0);
        }
        EXPECT_EQ(RunCommandLineMode(app.session(), "--check"), c.status);
        const QStringList lines = CheckConfigurations(app.session().ConfigDirectory());
        ASSERT_EQ(lines.size(), *c.says ? 1 : 0) << lines.join(u'\n').toStdString();
        if (*c.says) {
            EXPECT_TRUE(lines[0].contains(QLatin1String(c.says))) << lines[0].toStdString();
        }
    }
}

// --check's warnings for the administrator: /proc without hidepid, and each shared folder whose
// mode, owner or group departs from the package's layout, named with what it has.
TEST(CommandLineMode, CheckWarnsOfProcWithoutHidepidAndFoldersOffTheLayout)
{
    const std::pair<QByteArray, bool> mounts[] = {
        {"proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n", true},
        {"proc /proc proc rw,relatime,hidepid=invisible 0 0\n", false},
        {"proc /proc proc rw,hidepid=2 0 0\n", false},
        {"proc /proc proc rw,hidepid=0 0 0\n", true},
        {"sysfs /sys sysfs rw 0 0\n", false},
    };
    for (const auto &[table, warns] : mounts)
        EXPECT_EQ(!SecurityChecks::ProcWarning(table).isEmpty(), warns) << table.constData();

    TestAppDir app;
    ASSERT_EQ(::chmod(QFile::encodeName(app.lib()).constData(), 02775), 0);
    const QStringList warnings = SecurityChecks::FolderWarnings(app.path());
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings[0].contains(app.lib() + ": mode 2775")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("mode 2770, owner root, group tessaly")) << warnings[0].toStdString();
}

// --check names what interrupted work left for an operator: a Merge and Split whose window is
// gone (with the step it reached), an entry named like a temporary file that is none. A
// temporary file no writer holds is removed, not named.
TEST(CommandLineMode, CheckNamesInterruptedWork)
{
    TestAppDir app;
    MergeSplitJournal::Entry entry; // pid 0: no window runs it
    entry.jointFile = "J.tsy";
    entry.pick = {"f.tsy", "r.tsy"};
    entry.reached = MergeSplitJournal::Step::FieldmarkCommitted;
    ASSERT_TRUE(MergeSplitJournal::Write(app.path(), entry));
    app.writeFile("lib/" + SharedFolder::TemporaryNameFor("x.tsy"), "left by a kill");
    const QString fifo = app.lib(SharedFolder::TemporaryNameFor("y.tsy"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0660), 0);

    testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLineMode(app.session(), "--check"), 1);
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_TRUE(out.contains("\"J.tsy\"") && out.contains(StepText(entry.reached).English())) << out.toStdString();
    EXPECT_TRUE(out.contains(fifo + " is a FIFO")) << out.toStdString();
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QFileInfo(fifo).fileName()});
}
