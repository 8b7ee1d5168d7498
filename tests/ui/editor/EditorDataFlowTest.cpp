// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

// Every way out of an opened file: only a change the user keeps is written, the whole file at once.
TEST_F(EditorTest, ClosingWritesOnlyAChangeTheUserKeeps)
{
    auto click = [this](const char *button) {
        return [=, this] { QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton); };
    };
    auto press = [](Qt::Key key) { return [=] { QTest::keyClick(QApplication::focusWidget(), key); }; };
    auto machine = [this] { Type("txtmachine", QStringLiteral("otherhost")); };
    const ConfigRecord sample = SampleRecord();
    const ConfigRecord otherHost = With(sample, {"dbmachinename=otherhost"});
    struct Case { const char *what; std::function<void()> change, close; QList<MsgResult> answers; bool closes;
                  std::optional<ConfigRecord> written; };
    const Case cases[] = {
        {"untouched, Save", nullptr, click("cmdOK"), {}, true, std::nullopt},
        {"untouched, Cancel", nullptr, click("cmdCancel"), {}, true, std::nullopt},
        {"untouched, Escape", nullptr, press(Qt::Key_Escape), {}, true, std::nullopt},
        {"Enter", machine, press(Qt::Key_Return), {}, true, otherHost},
        // The second application runs on the first platform only.
        {"application", [this] { Pick("ComboApplication", 2); }, click("cmdOK"), {}, true,
         With(sample, {"SatelliteAppln=4010", "ldbp=1"})},
        {"save password", [this] { QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton); }, click("cmdOK"), {},
         true, With(sample, {"savepass=0", "autologin=0"})},
        {"Escape, Yes", machine, press(Qt::Key_Escape), {MsgResult::Yes}, true, otherHost},
        {"Escape, No", machine, press(Qt::Key_Escape), {MsgResult::No}, true, std::nullopt},
        {"Escape, Cancel", machine, press(Qt::Key_Escape), {MsgResult::Cancel}, false, std::nullopt},
    };
    const QString path = app.lib(QStringLiteral("rst.tsy"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OpenRst();
        // An old modification time, so that a rewrite of the same bytes shows too.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime);
        file.close();
        const QDateTime before = QFileInfo(path).lastModified();
        if (c.change)
            c.change();
        app.messages().SetNextAnswers(c.answers);
        c.close();
        EXPECT_EQ(editor->isVisible(), !c.closes);
        ASSERT_EQ(app.shownTexts().size(), c.answers.size());
        if (!c.answers.isEmpty())
            EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoCancel);
        if (!c.written) {
            EXPECT_EQ(QFileInfo(path).lastModified(), before);
            if (!c.change)
                EXPECT_EQ(session().CurrentConfig, sample);
            continue;
        }
        EXPECT_EQ(Rst(), ConfigFormat::Format(*c.written));
        EXPECT_EQ(session().CurrentConfig, *c.written);
        EXPECT_EQ(session().SelectedConfigPath, path);
    }
}

TEST_F(EditorTest, NewConfigurationSavedAsAbcReplacingAnOldFileOnlyAfterYes)
{
    app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
    OpenNew();
    Pick("ComboApplication", 1);
    Type("txtdsn", QStringLiteral("  RST_NEW "));
    Type("txtdatabase", QStringLiteral("rostrum"));
    Type("txtusername", QStringLiteral("scott"));
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
    const ConfigRecord expected = NewRecordWith({"SatelliteAppln=1028", "dsn=RST_NEW", "database=rostrum", "user=scott",
                                                 "savepass=1", "password=secret"});
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), ConfigFormat::Format(expected));
}

TEST_F(EditorTest, EachLoadStartsFromANewConfiguration)
{
    // What a file does not say takes a new configuration's default, never the file opened before.
    WriteRecord(QStringLiteral("first.tsy"), SampleRecord());
    app.writeConfig(QStringLiteral("second.tsy"), {"SatelliteAppln=1028", "database=db", "user=u"});
    Open(QStringLiteral("first.tsy"));
    QTest::mouseClick(Child<QPushButton>("cmdCancel"), Qt::LeftButton);
    Open(QStringLiteral("second.tsy"));
    Type("txtdsn", QStringLiteral("SECOND"));
    ClickSave();
    EXPECT_EQ(app.readFile(QStringLiteral("lib/second.tsy")),
              ConfigFormat::Format(NewRecordWith({"SatelliteAppln=1028", "dsn=SECOND", "database=db", "user=u"})));

    // A new configuration after an opened one: untouched, Save makes no file and asks no name.
    OpenNew();
    // (A product code left from the file would open the name prompt and wait for it.)
    ASSERT_TRUE(session().CurrentConfig.SatelliteAppln.isEmpty());
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files).size(), 2);
}

// Which lines the reader keeps is the format's concern; the editor carries them through a save.
TEST_F(EditorTest, LinesTheEditorDoesNotKnowStayAfterTheTwentyInTheirOrder)
{
    const QByteArray others = "; kept by hand\r\nCustom Key = x = y\r\n";
    app.writeFile(QStringLiteral("lib/rst.tsy"),
                  "; kept by hand\r\n" + ConfigFormat::Format(SampleRecord()) + "Custom Key = x = y\r\n");
    Open(QStringLiteral("rst.tsy"));
    Type("txtmachine", QStringLiteral("otherhost"));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Rst(), ConfigFormat::Format(With(SampleRecord(), {"dbmachinename=otherhost"})) + others);
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
    // Where the reader stops is the format's concern (ConfigFormatTest); the editor shows what it read.
    app.writeConfig(QStringLiteral("joint.tsy"), {"dsn=first", "[FMK]", "user=late"});
    Open(QStringLiteral("joint.tsy"));
    EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("first"));
    ASSERT_EQ(app.shownTexts().size(), 1);
    // The message says where reading stopped.
    EXPECT_TRUE(app.shownTexts()[0].startsWith(loadError));
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("Line 2, \"[FMK]\""))) << app.shownTexts()[0].toStdString();
    EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::None);

    // A file that has gone gives the same message.
    app.messages().ClearShown();
    Open(QStringLiteral("gone.tsy"));
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].startsWith(loadError));
}

TEST_F(EditorTest, AfterALoadErrorSaveWritesOnlyAChangeTheUserConfirms)
{
    const QByteArray half = "SatelliteAppln=1028\r\ndsn=D\r\ndatabase=db\r\nuser=u\r\n[FMK]\r\nbatchsize=999\r\n";
    struct Case { const char *what; bool change; QList<MsgResult> answers; bool written; };
    const Case cases[] = {
        {"untouched", false, {}, false},
        {"changed, declined", true, {MsgResult::No}, false},
        {"changed, confirmed", true, {MsgResult::Yes}, true},
    };
    for (const Case &c : cases) {
        app.writeFile(QStringLiteral("lib/half.tsy"), half);
        Open(QStringLiteral("half.tsy"));
        app.messages().ClearShown();
        if (c.change)
            Type("txtmachine", QStringLiteral("host"));
        app.messages().SetNextAnswers(c.answers);
        ClickSave();
        EXPECT_EQ(app.readFile(QStringLiteral("lib/half.tsy")) != half, c.written) << c.what;
        EXPECT_EQ(editor->isVisible(), c.change && !c.written) << c.what;
        EXPECT_EQ(app.shownTexts().size(), c.change ? 1 : 0) << c.what;
        if (c.change)
            EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoDefaultNo) << c.what;
    }
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
        EXPECT_EQ(app.readFile(QStringLiteral("lib/copy.tsy")), ConfigFormat::Format(With(SampleRecord(), {"dsn=CHANGED"})))
            << what;
        EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("copy.tsy"))) << what;
    }
}

TEST_F(EditorTest, SaveRefusalsNameTheFieldAndGoToIt)
{
    // A value the file cannot hold, a required field left empty, a web directory that is
    // missing: a message naming the field, its tab shown, the focus in it, nothing written.
    auto type = [this](const char *box, const QString &text) { return [=, this] { Type(box, text); }; };
    auto web = [this](const QString &text) {
        return [=, this] {
            Combo("ComboApplication")->setCurrentIndex(3);
            Type("txtwebdirectory", text);
        };
    };
    struct Case { const char *field; std::function<void()> change; int tab; const char *label, *message; };
    // '‡' (byte 87) scrambles to a blank, which a reader would trim away.
    const Case cases[] = {
        {"txtdsn", type("txtdsn", QStringLiteral("Łódź")), 0, "lblDSN", nullptr},
        {"txtpassword", type("txtpassword", QString(QChar(0x2021)) + QStringLiteral("pw")), 0, "lblPassword", nullptr},
        {"txtconnection", type("txtconnection", QStringLiteral("cn=\u4e2d, o=x")), 1, "Label1", nullptr},
        {"ComboApplication", [this] { Combo("ComboApplication")->setCurrentIndex(0); }, 0, "lblAppln", nullptr},
        {"txtdsn", type("txtdsn", QStringLiteral("   ")), 0, "lblDSN", nullptr},
        {"txtdatabase", type("txtdatabase", QString()), 0, "lblDatabase", nullptr},
        {"txtusername", type("txtusername", QString()), 0, "lblUsername", nullptr},
        {"txtwebdirectory", web(QString()), 1, nullptr, "SLBL0494"},
        {"txtwebdirectory", web(QStringLiteral("   ")), 1, nullptr, "SLBL0498"},
        {"txtwebdirectory", web(QStringLiteral("/no/such/folder")), 1, nullptr, "SLBL0498"},
    };
    for (const Case &c : cases) {
        const QByteArray before = OpenRst();
        QTabBar *tabs = Child<QTabBar>("TSConfig");
        tabs->setCurrentIndex(c.tab);
        c.change();
        tabs->setCurrentIndex(1 - c.tab);
        ClickSave();

        EXPECT_TRUE(editor->isVisible()) << c.field;
        EXPECT_EQ(Rst(), before) << c.field;
        ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.field;
        const auto shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, MsgIcon::Critical);
        if (c.message)
            EXPECT_EQ(shown.text, session().GetText(QLatin1String(c.message))) << c.field;
        else
            EXPECT_TRUE(shown.text.contains(Child<QLabel>(c.label)->text())) << shown.text.toStdString();
        EXPECT_EQ(tabs->currentIndex(), c.tab) << c.field;
        EXPECT_TRUE(Child<QWidget>(c.field)->hasFocus()) << c.field;
    }
    // An existing web directory is written without the blanks around it.
    OpenRst();
    Pick("ComboApplication", 3);
    Box("txtwebdirectory")->setText(QStringLiteral(" ") + QDir::tempPath() + QStringLiteral(" "));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(session().CurrentConfig.webdirectory, QDir::tempPath());
    EXPECT_EQ(Rst(), ConfigFormat::Format(session().CurrentConfig));
}

} // namespace
