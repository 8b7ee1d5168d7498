// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include "config/PasswordScramble.h"

#include <QDir>

namespace {

TEST_F(EditorTest, SaveOrCancelWithNothingTouchedWritesNothing)
{
    for (const char *button : {"cmdOK", "cmdCancel"}) {
        WriteRecord(QStringLiteral("rst.tsy"), SampleRecord());
        const QString path = app.lib(QStringLiteral("rst.tsy"));
        AgeFile(path);
        const QDateTime before = Modified(path);
        const QByteArray bytes = app.readFile(QStringLiteral("lib/rst.tsy"));

        OpenExisting(QStringLiteral("rst.tsy"));
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);

        EXPECT_FALSE(editor->isVisible()) << button;
        EXPECT_EQ(Modified(path), before) << button;
        EXPECT_EQ(app.readFile(QStringLiteral("lib/rst.tsy")), bytes) << button;
        EXPECT_EQ(session().CurrentConfig, SampleRecord()) << button;
    }
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(EditorTest, ASingleChangeWritesTheWholeFile)
{
    struct Case
    {
        const char *what;
        std::function<void()> change;
        ConfigRecord start, expected;
    };
    const ConfigRecord sample = SampleRecord();
    ConfigRecord serverChanged = sample;
    serverChanged.dbmachinename = QStringLiteral("otherhost");
    // The first platform, so that only the product code differs.
    ConfigRecord rostrumFirstPlatform = sample;
    rostrumFirstPlatform.ldbp = QStringLiteral("1");
    ConfigRecord applicationChanged = rostrumFirstPlatform;
    applicationChanged.SatelliteAppln = QStringLiteral("4010");
    ConfigRecord passwordDropped = sample;
    passwordDropped.savepass = QStringLiteral("0");
    passwordDropped.autologin = QStringLiteral("0");
    const Case cases[] = {
        {"server name", [this] { Type("txtmachine", QStringLiteral("otherhost")); }, sample, serverChanged},
        {"application", [this] { Pick("ComboApplication", 2); }, rostrumFirstPlatform, applicationChanged},
        {"save password", [this] { QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton); }, sample,
         passwordDropped},
    };
    for (const Case &c : cases) {
        WriteRecord(QStringLiteral("rst.tsy"), c.start);
        OpenExisting(QStringLiteral("rst.tsy"));
        c.change();
        ClickSave();

        EXPECT_FALSE(editor->isVisible()) << c.what;
        EXPECT_EQ(app.readFile(QStringLiteral("lib/rst.tsy")), ConfigFormat::Format(c.expected)) << c.what;
        EXPECT_EQ(session().CurrentConfig, c.expected) << c.what;
        EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("rst.tsy"))) << c.what;
    }
}

TEST_F(EditorTest, NewConfigurationSavedAsAbc)
{
    OpenNew();
    Pick("ComboApplication", 1);
    Type("txtdsn", QStringLiteral("  RST_NEW "));
    Type("txtpassword", QStringLiteral("secret"));
    QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
    AnswerNamePrompt(QStringLiteral("abc"));
    ClickSave();

    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("abc.tsy")));
    ConfigRecord expected;
    expected.SatelliteAppln = QStringLiteral("1028");
    expected.ldbp = QStringLiteral("1");
    expected.dsn = QStringLiteral("RST_NEW");
    expected.savepass = QStringLiteral("1");
    expected.password = QStringLiteral("secret");
    expected.autologin = QStringLiteral("0");
    expected.lhbuscomponent = QStringLiteral("cn=<mycomponent>, o=<myroot>");
    expected.logdirectory = session().DefaultLogDirectory;
    expected.batchsize = QStringLiteral("100");
    expected.delay = QStringLiteral("30");
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), ConfigFormat::Format(expected));
    const QStringList lines = LinesOf(QStringLiteral("abc.tsy"));
    EXPECT_EQ(lines.size(), 20);
    EXPECT_EQ(lines.value(7), QStringLiteral("password=") + ScramblePassword(QStringLiteral("secret")));
}

TEST_F(EditorTest, NewConfigurationUntouchedClosesWithoutFileUnlessAProductCodeRemains)
{
    OpenNew();
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());

    // An earlier edit left a product code: the untouched new configuration now differs.
    session().CurrentConfig.SatelliteAppln = QStringLiteral("4009");
    session().CurrentConfig.webdirectory = app.path();
    OpenNew();
    bool prompted = false;
    CancelNamePrompt(&prompted);
    ClickSave();
    EXPECT_TRUE(prompted);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(session().CurrentConfig.SatelliteAppln, QStringLiteral("4009"));
}

TEST_F(EditorTest, DecliningToReplaceKeepsTheWindowOpenAndTheOldFile)
{
    app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
    OpenNew();
    Type("txtdsn", QStringLiteral("NEW"));
    app.messages().SetNextAnswers({MsgResult::No});
    AnswerNamePrompt(QStringLiteral("abc"));
    ClickSave();

    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), QByteArray("dsn=old\r\n"));
    EXPECT_EQ(app.shownTexts(), QStringList{session().GetText(QStringLiteral("SLBL0227"))});
    EXPECT_TRUE(session().SelectedConfigPath.isEmpty());

    // Yes replaces it.
    app.messages().SetNextAnswers({MsgResult::Yes});
    AnswerNamePrompt(QStringLiteral("abc"));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(LinesOf(QStringLiteral("abc.tsy")).value(2), QStringLiteral("dsn=NEW"));
}

TEST_F(EditorTest, FieldsWithoutControlsComeFromTheLastLoadedFile)
{
    ConfigRecord first = SampleRecord();
    first.batchsize = QStringLiteral("500");
    WriteRecord(QStringLiteral("first.tsy"), first);
    app.writeConfig(QStringLiteral("second.tsy"), {"SatelliteAppln=1028", "dsn=SECOND"});

    OpenExisting(QStringLiteral("first.tsy"));
    ClickCancel();
    OpenExisting(QStringLiteral("second.tsy"));
    Type("txtdsn", QStringLiteral("SECOND2"));
    ClickSave();

    const QStringList lines = LinesOf(QStringLiteral("second.tsy"));
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[18], QStringLiteral("batchsize=500"));
    EXPECT_EQ(lines[17], QStringLiteral("screen=0,0,800,600"));
}

TEST_F(EditorTest, PlatformAndFlagValuesLoadByTheirNumbers)
{
    struct Case
    {
        const char *ldbp;
        int platform;
        const char *savepass, *autologin;
        bool savePass, autoLogin;
    };
    const Case cases[] = {
        {"2", 1, "1", "1.4", true, true},   {"0", 1, "1.0", "0.5", true, false},
        {"", 1, "1.4", "0", false, false}, {"1", 0, "1", "1.5", true, false},
        {"1.2", 0, "0", "0", false, false}, {" 1 ", 0, "2", "1", false, true},
    };
    for (const Case &c : cases) {
        app.writeConfig(QStringLiteral("x.tsy"),
                        {"SatelliteAppln=1028", QStringLiteral("ldbp=") + c.ldbp,
                         QStringLiteral("savepass=") + c.savepass, QStringLiteral("autologin=") + c.autologin});
        OpenExisting(QStringLiteral("x.tsy"));
        EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), c.platform) << "ldbp=" << c.ldbp;
        EXPECT_EQ(Check("ChkSavePass")->isChecked(), c.savePass) << "savepass=" << c.savepass;
        EXPECT_EQ(Check("ChkAutoLogin")->isChecked(), c.autoLogin) << "autologin=" << c.autologin;
        // The fields hold the values as read, so an untouched Save writes nothing.
        EXPECT_EQ(session().CurrentConfig.ldbp, Vb::Trim(QLatin1String(c.ldbp)));
    }
}

TEST_F(EditorTest, KeysMatchInAnyCaseButNotWithBlanks)
{
    app.writeConfig(QStringLiteral("x.tsy"), {"SatelliteAppln=4010", "DSN=upper", " user=ignored",
                                              "database =ignored", "dbmachinename=  a=b = c  ",
                                              "   ", "password=" + ScramblePassword("pw"), "masterdatadirectory=/m"});
    OpenExisting(QStringLiteral("x.tsy"));
    EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("upper"));
    EXPECT_EQ(Box("txtusername")->text(), QString());
    EXPECT_EQ(Box("txtdatabase")->text(), QString());
    EXPECT_EQ(Box("txtmachine")->text(), QStringLiteral("a=b = c"));
    EXPECT_EQ(Box("txtpassword")->text(), QStringLiteral("pw"));
    EXPECT_EQ(session().CurrentConfig.password, QStringLiteral("pw"));
    EXPECT_EQ(Combo("ComboApplication")->currentIndex(), 2);
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(EditorTest, LoadStopsAtALineWithoutEquals)
{
    const QString loadError = session().GetText(QStringLiteral("SLBL0167"));
    app.writeConfig(QStringLiteral("joint.tsy"), {"dsn=first", "[FMK]", "user=late"});
    OpenExisting(QStringLiteral("joint.tsy"));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("first"));
    EXPECT_EQ(Box("txtusername")->text(), QString());
    EXPECT_EQ(session().CurrentConfig.dsn, QStringLiteral("first"));
    EXPECT_EQ(app.shownTexts(), QStringList{loadError});
    EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::None);

    // A file that has gone gives the same message.
    app.messages().ClearShown();
    OpenExisting(QStringLiteral("gone.tsy"));
    EXPECT_EQ(app.shownTexts(), QStringList{loadError});
}

TEST_F(EditorTest, FailedWriteEmptiesThePathAndTheNextSaveAsksForAName)
{
    const QString path = app.lib(QStringLiteral("old.tsy"));
    const QList<QPair<const char *, std::function<void()>>> cases = {
        {"read-only", [&] { QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther); }},
        {"deleted meanwhile", [&] { QFile::remove(path); }},
    };
    for (const auto &[what, spoil] : cases) {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        WriteRecord(QStringLiteral("old.tsy"), SampleRecord());
        app.messages().ClearShown();
        OpenExisting(QStringLiteral("old.tsy"));
        spoil();
        const QByteArray before = app.readFile(QStringLiteral("lib/old.tsy"));
        Type("txtdsn", QStringLiteral("CHANGED"));
        ClickSave();
        EXPECT_TRUE(editor->isVisible()) << what;
        EXPECT_EQ(app.shownTexts(), QStringList{session().GetText(QStringLiteral("SLBL0356"))}) << what;
        EXPECT_TRUE(session().SelectedConfigPath.isEmpty()) << what;
        EXPECT_EQ(app.readFile(QStringLiteral("lib/old.tsy")), before) << what;
        EXPECT_EQ(session().CurrentConfig.dsn, QStringLiteral("RST_DSN")) << what;

        bool prompted = false;
        AnswerNamePrompt(QStringLiteral("copy"), &prompted);
        ClickSave();
        EXPECT_TRUE(prompted) << what;
        EXPECT_FALSE(editor->isVisible()) << what;
        EXPECT_EQ(LinesOf(QStringLiteral("copy.tsy")).value(2), QStringLiteral("dsn=CHANGED"));
        EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("copy.tsy")));
    }
}

TEST_F(EditorTest, ValuesAFileCannotHoldAreRefusedNamingTheField)
{
    struct Case
    {
        const char *box;
        QString text;
        bool savePassword;
        const char *label; // the field's label, which the message names
        int tab;
    };
    // '‡' (byte 87) scrambles to a blank, which a reader would trim away.
    const Case cases[] = {
        {"txtdsn", QStringLiteral("Łódź"), false, "lblDSN", 0},
        {"txtpassword", QString(QChar(0x2021)) + QStringLiteral("pw"), true, "lblPassword", 0},
        {"txtconnection", QStringLiteral("cn=\u4e2d, o=x"), false, "Label1", 1},
    };
    for (const Case &c : cases) {
        WriteRecord(QStringLiteral("rst.tsy"), SampleRecord());
        const QByteArray before = app.readFile(QStringLiteral("lib/rst.tsy"));
        app.messages().ClearShown();
        OpenExisting(QStringLiteral("rst.tsy"));
        if (!c.savePassword)
            QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
        Child<QTabBar>("TSConfig")->setCurrentIndex(c.tab);
        Type(c.box, c.text);
        Child<QTabBar>("TSConfig")->setCurrentIndex(c.tab == 0 ? 1 : 0);
        ClickSave();

        EXPECT_TRUE(editor->isVisible()) << c.box;
        EXPECT_EQ(app.readFile(QStringLiteral("lib/rst.tsy")), before) << c.box;
        ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.box;
        const auto shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, MsgIcon::Critical);
        EXPECT_TRUE(shown.text.startsWith(Child<QLabel>(c.label)->text())) << shown.text.toStdString();
        // The user is taken to the field.
        EXPECT_EQ(Child<QTabBar>("TSConfig")->currentIndex(), c.tab) << c.box;
        EXPECT_TRUE(Box(c.box)->hasFocus()) << c.box;
    }
}

TEST_F(EditorTest, FieldmarkNeedsAnExistingWebDirectory)
{
    struct Case
    {
        QString web;
        const char *message; // label of the refusal, or nullptr when Save writes
    };
    const Case cases[] = {
        {QString(), "SLBL0494"},
        {QStringLiteral("   "), "SLBL0498"},
        {QStringLiteral("/no/such/folder"), "SLBL0498"},
        {QStringLiteral(" ") + QDir::tempPath() + QStringLiteral(" "), nullptr},
    };
    for (const Case &c : cases) {
        WriteRecord(QStringLiteral("rst.tsy"), SampleRecord());
        const QByteArray before = app.readFile(QStringLiteral("lib/rst.tsy"));
        app.messages().ClearShown();
        OpenExisting(QStringLiteral("rst.tsy"));
        Pick("ComboApplication", 3);
        Box("txtwebdirectory")->setText(c.web);
        ClickSave();
        if (c.message) {
            EXPECT_TRUE(editor->isVisible()) << c.web.toStdString();
            EXPECT_EQ(app.shownTexts(), QStringList{session().GetText(QLatin1String(c.message))});
            EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::Critical);
            EXPECT_EQ(app.readFile(QStringLiteral("lib/rst.tsy")), before);
        } else {
            EXPECT_FALSE(editor->isVisible());
            EXPECT_EQ(LinesOf(QStringLiteral("rst.tsy")).value(11), QStringLiteral("webdirectory=") + QDir::tempPath());
        }
    }
}

} // namespace
