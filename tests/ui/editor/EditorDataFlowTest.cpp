// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

TEST_F(EditorTest, NothingTouchedWritesNothing)
{
    // A new configuration makes no file; an opened one is neither saved nor cancelled into a rewrite.
    OpenNew();
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());

    const QString path = app.lib(QStringLiteral("rst.tsy"));
    for (const char *button : {"cmdOK", "cmdCancel"}) {
        WriteRecord(QStringLiteral("rst.tsy"), SampleRecord());
        // An old modification time, so that any rewrite shows.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime);
        file.close();
        const QDateTime before = QFileInfo(path).lastModified();
        app.messages().ClearShown();

        Open(QStringLiteral("rst.tsy"));
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
        EXPECT_FALSE(editor->isVisible()) << button;
        EXPECT_EQ(QFileInfo(path).lastModified(), before) << button;
        EXPECT_EQ(session().CurrentConfig, SampleRecord()) << button;
        EXPECT_TRUE(app.shownTexts().isEmpty()) << button;
    }
}

TEST_F(EditorTest, ASingleChangeWritesTheWholeFile)
{
    struct Case { const char *what; std::function<void()> change; ConfigRecord start, expected; };
    const ConfigRecord sample = SampleRecord();
    // The first platform, so that only the product code differs.
    const ConfigRecord firstPlatform = With(sample, {"ldbp=1"});
    const Case cases[] = {
        {"server name", [this] { Type("txtmachine", QStringLiteral("otherhost")); }, sample,
         With(sample, {"dbmachinename=otherhost"})},
        {"application", [this] { Pick("ComboApplication", 2); }, firstPlatform,
         With(firstPlatform, {"SatelliteAppln=4010"})},
        {"save password", [this] { QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton); }, sample,
         With(sample, {"savepass=0", "autologin=0"})},
    };
    for (const Case &c : cases) {
        OpenRst(c.start);
        c.change();
        ClickSave();
        EXPECT_FALSE(editor->isVisible()) << c.what;
        EXPECT_EQ(Rst(), ConfigFormat::Format(c.expected)) << c.what;
        EXPECT_EQ(session().CurrentConfig, c.expected) << c.what;
        EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("rst.tsy"))) << c.what;
    }
}

TEST_F(EditorTest, NewConfigurationSavedAsAbcReplacingAnOldFileOnlyAfterYes)
{
    app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
    OpenNew();
    Pick("ComboApplication", 1);
    Type("txtdsn", QStringLiteral("  RST_NEW "));
    Type("txtpassword", QStringLiteral("secret"));
    QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
    app.messages().SetNextAnswers({MsgResult::No, MsgResult::Yes});
    WhenNamePrompt(QStringLiteral("abc"));
    ClickSave();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), QByteArray("dsn=old\r\n"));
    EXPECT_EQ(app.shownTexts(), QStringList{session().GetText(QStringLiteral("SLBL0227")) + "\r\n\r\nabc.tsy"});
    EXPECT_TRUE(session().SelectedConfigPath.isEmpty());

    WhenNamePrompt(QStringLiteral("abc"));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("abc.tsy")));
    const ConfigRecord expected =
        With({}, {"SatelliteAppln=1028", "ldbp=1", "dsn=RST_NEW", "savepass=1", "password=secret", "autologin=0",
                  "lhbuscomponent=cn=<mycomponent>, o=<myroot>", "logdirectory=" + session().DefaultLogDirectory,
                  "batchsize=100", "delay=30"});
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), ConfigFormat::Format(expected));
    EXPECT_EQ(LinesOf(QStringLiteral("abc.tsy")).size(), 20);
}

TEST_F(EditorTest, WhatTheControlsDoNotSetComesFromTheLastLoadedFile)
{
    WriteRecord(QStringLiteral("first.tsy"), With(SampleRecord(), {"batchsize=500"}));
    app.writeConfig(QStringLiteral("second.tsy"), {"SatelliteAppln=1028", "dsn=SECOND"});
    Open(QStringLiteral("first.tsy"));
    QTest::mouseClick(Child<QPushButton>("cmdCancel"), Qt::LeftButton);
    Open(QStringLiteral("second.tsy"));
    Type("txtdsn", QStringLiteral("SECOND2"));
    ClickSave();
    const QStringList lines = LinesOf(QStringLiteral("second.tsy"));
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[18], QStringLiteral("batchsize=500"));

    // A new configuration keeps the product code too, so untouched it differs and asks for a name.
    OpenNew();
    bool prompted = false;
    WhenNamePrompt(QString(), &prompted);
    ClickSave();
    EXPECT_TRUE(prompted);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(session().CurrentConfig.SatelliteAppln, QStringLiteral("1028"));
}

TEST_F(EditorTest, PlatformAndFlagValuesLoadByTheirNumbers)
{
    struct Case { const char *ldbp; int platform; const char *savepass, *autologin; bool savePass, autoLogin; };
    const Case cases[] = {
        {"2", 1, "1", "1.4", true, true},   {"0", 1, "1.0", "0.5", true, false},
        {"", 1, "1.4", "0", false, false}, {"1", 0, "1", "1.5", true, false},
        {"1.2", 0, "0", "0", false, false}, {" 1 ", 0, "2", "1", false, true},
    };
    for (const Case &c : cases) {
        // A blank line is passed over, not the end of the load.
        app.writeConfig(QStringLiteral("x.tsy"),
                        {"SatelliteAppln=1028", "   ", QStringLiteral("ldbp=") + c.ldbp,
                         QStringLiteral("savepass=") + c.savepass, QStringLiteral("autologin=") + c.autologin});
        Open(QStringLiteral("x.tsy"));
        EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), c.platform) << "ldbp=" << c.ldbp;
        EXPECT_EQ(Check("ChkSavePass")->isChecked(), c.savePass) << "savepass=" << c.savepass;
        EXPECT_EQ(Check("ChkAutoLogin")->isChecked(), c.autoLogin) << "autologin=" << c.autologin;
        // The field holds the value as read.
        EXPECT_EQ(session().CurrentConfig.ldbp, Vb::Trim(QLatin1String(c.ldbp)));
    }
}

TEST_F(EditorTest, LoadStopsAtALineWithoutEquals)
{
    const QString loadError = session().GetText(QStringLiteral("SLBL0167"));
    // Keys match in any case, but not with blanks around them.
    app.writeConfig(QStringLiteral("joint.tsy"), {"DSN=first", " user=ignored", "[FMK]", "user=late"});
    Open(QStringLiteral("joint.tsy"));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("first"));
    EXPECT_EQ(Box("txtusername")->text(), QString());
    EXPECT_EQ(session().CurrentConfig.dsn, QStringLiteral("first"));
    EXPECT_EQ(app.shownTexts(), QStringList{loadError});
    EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::None);

    // A file that has gone gives the same message.
    app.messages().ClearShown();
    Open(QStringLiteral("gone.tsy"));
    EXPECT_EQ(app.shownTexts(), QStringList{loadError});
}

TEST_F(EditorTest, FailedWriteEmptiesThePathAndTheNextSaveAsksForAName)
{
    const QString path = app.lib(QStringLiteral("rst.tsy"));
    const QList<QPair<const char *, std::function<void()>>> cases = {
        {"read-only", [&] { QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther); }},
        {"deleted meanwhile", [&] { QFile::remove(path); }},
    };
    for (const auto &[what, spoil] : cases) {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(app.lib(QStringLiteral("copy.tsy"))); // saved by the case before
        OpenRst();
        spoil();
        const QByteArray before = Rst();
        Type("txtdsn", QStringLiteral("CHANGED"));
        ClickSave();
        EXPECT_TRUE(editor->isVisible()) << what;
        EXPECT_EQ(app.shownTexts(), QStringList{session().GetText(QStringLiteral("SLBL0356"))}) << what;
        EXPECT_TRUE(session().SelectedConfigPath.isEmpty()) << what;
        EXPECT_EQ(Rst(), before) << what;
        EXPECT_EQ(session().CurrentConfig.dsn, QStringLiteral("RST_DSN")) << what;

        WhenNamePrompt(QStringLiteral("copy"));
        ClickSave();
        EXPECT_FALSE(editor->isVisible()) << what;
        EXPECT_EQ(LinesOf(QStringLiteral("copy.tsy")).value(2), QStringLiteral("dsn=CHANGED")) << what;
        EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("copy.tsy"))) << what;
    }
}

TEST_F(EditorTest, SaveRefusesWhatTheFileCannotHold)
{
    // A value the file cannot hold is named by its field's label and the user is taken to the field;
    // the web directory of the third application has messages of its own.
    struct Case { const char *box; QString text; bool savePassword; int tab; const char *label, *message; };
    // '‡' (byte 87) scrambles to a blank, which a reader would trim away.
    const Case cases[] = {
        {"txtdsn", QStringLiteral("Łódź"), false, 0, "lblDSN", nullptr},
        {"txtpassword", QString(QChar(0x2021)) + QStringLiteral("pw"), true, 0, "lblPassword", nullptr},
        {"txtconnection", QStringLiteral("cn=\u4e2d, o=x"), false, 1, "Label1", nullptr},
        {"txtwebdirectory", QString(), true, 1, nullptr, "SLBL0494"},
        {"txtwebdirectory", QStringLiteral("   "), true, 1, nullptr, "SLBL0498"},
        {"txtwebdirectory", QStringLiteral("/no/such/folder"), true, 1, nullptr, "SLBL0498"},
    };
    for (const Case &c : cases) {
        const QByteArray before = OpenRst();
        if (c.message)
            Pick("ComboApplication", 3);
        if (!c.savePassword)
            QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
        QTabBar *tabs = Child<QTabBar>("TSConfig");
        tabs->setCurrentIndex(c.tab);
        Type(c.box, c.text);
        tabs->setCurrentIndex(1 - c.tab);
        ClickSave();

        EXPECT_TRUE(editor->isVisible()) << c.box;
        EXPECT_EQ(Rst(), before) << c.box;
        ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.box;
        const auto shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, MsgIcon::Critical);
        if (c.message) {
            EXPECT_EQ(shown.text, session().GetText(QLatin1String(c.message))) << c.text.toStdString();
            continue;
        }
        EXPECT_TRUE(shown.text.startsWith(Child<QLabel>(c.label)->text())) << shown.text.toStdString();
        EXPECT_EQ(tabs->currentIndex(), c.tab) << c.box;
        EXPECT_TRUE(Box(c.box)->hasFocus()) << c.box;
    }
    // An existing web directory is written without the blanks around it.
    OpenRst();
    Pick("ComboApplication", 3);
    Box("txtwebdirectory")->setText(QStringLiteral(" ") + QDir::tempPath() + QStringLiteral(" "));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(LinesOf(QStringLiteral("rst.tsy")).value(11), QStringLiteral("webdirectory=") + QDir::tempPath());
}

} // namespace
