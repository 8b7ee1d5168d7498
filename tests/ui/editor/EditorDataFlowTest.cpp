// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

TEST_F(EditorTest, NothingTouchedWritesNothing)
{
    // An opened file is neither saved nor cancelled into a rewrite (a new one: EachLoadStartsFromANewConfiguration).
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
    EXPECT_EQ(LinesOf(QStringLiteral("abc.tsy")).size(), 20);
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

TEST_F(EditorTest, LinesTheEditorDoesNotKnowStayAfterTheTwentyInTheirOrder)
{
    const QStringList others = {QStringLiteral("; kept by hand"), QStringLiteral("masterdatadirectory=/data"),
                                QStringLiteral(" user=not the user key"), QStringLiteral("Custom Key = x = y")};
    QStringList lines = QString::fromLatin1(ConfigFormat::Format(SampleRecord())).split(QStringLiteral("\r\n"));
    lines.removeLast();
    for (int i = 0; i < others.size(); ++i)
        lines.insert(1 + 6 * i, others[i]);
    app.writeConfig(QStringLiteral("rst.tsy"), lines);
    Open(QStringLiteral("rst.tsy"));
    Type("txtmachine", QStringLiteral("otherhost"));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Rst(), ConfigFormat::Format(With(SampleRecord(), {"dbmachinename=otherhost"}))
                         + others.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
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
    // Lines before the one without "=" are read, none after it.
    app.writeConfig(QStringLiteral("joint.tsy"), {"dsn=first", "[FMK]", "user=late"});
    Open(QStringLiteral("joint.tsy"));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("first"));
    EXPECT_EQ(Box("txtusername")->text(), QString());
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

TEST_F(EditorTest, EnterSavesAndEscapeAsksAboutChanges)
{
    struct Case { const char *what; Qt::Key key; bool change; QList<MsgResult> answers; bool closes, written; };
    const Case cases[] = {
        {"Enter", Qt::Key_Return, true, {}, true, true},
        {"Escape, untouched", Qt::Key_Escape, false, {}, true, false},
        {"Escape, Yes", Qt::Key_Escape, true, {MsgResult::Yes}, true, true},
        {"Escape, No", Qt::Key_Escape, true, {MsgResult::No}, true, false},
        {"Escape, Cancel", Qt::Key_Escape, true, {MsgResult::Cancel}, false, false},
    };
    for (const Case &c : cases) {
        const QByteArray before = OpenRst();
        if (c.change)
            Type("txtmachine", QStringLiteral("otherhost"));
        app.messages().SetNextAnswers(c.answers);
        QTest::keyClick(QApplication::focusWidget(), c.key);
        EXPECT_EQ(editor->isVisible(), !c.closes) << c.what;
        EXPECT_EQ(Rst() != before, c.written) << c.what;
        ASSERT_EQ(app.shownTexts().size(), c.answers.size()) << c.what;
        if (!c.answers.isEmpty())
            EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoCancel) << c.what;
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
        EXPECT_EQ(LinesOf(QStringLiteral("copy.tsy")).value(2), QStringLiteral("dsn=CHANGED")) << what;
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
    EXPECT_EQ(LinesOf(QStringLiteral("rst.tsy")).value(11), QStringLiteral("webdirectory=") + QDir::tempPath());
}

} // namespace
