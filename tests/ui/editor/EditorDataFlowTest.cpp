// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

// Every way out of an opened file: only a change the user keeps is written, the whole file at
// once. The lines the editor does not know follow the twenty, in their order (which lines the
// reader keeps is the format's concern).
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
    const QByteArray others = "; kept by hand\r\nCustom Key = x = y\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OpenRst("; kept by hand\r\n" + ConfigFormat::Format(sample) + "Custom Key = x = y\r\n");
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
        if (!c.answers.isEmpty()) {
            EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoCancel);
        }
        if (!c.written) {
            EXPECT_EQ(QFileInfo(path).lastModified(), before);
            if (!c.change) {
                EXPECT_EQ(ConfigFormat::Format(session().CurrentConfig), ConfigFormat::Format(sample) + others);
            }
            continue;
        }
        EXPECT_EQ(Rst(), ConfigFormat::Format(*c.written) + others);
        EXPECT_EQ(ConfigFormat::Format(session().CurrentConfig), Rst());
        EXPECT_EQ(session().SelectedConfigPath, path);
    }
}

// What a file does not say takes a new configuration's default, never the file opened before.
TEST_F(EditorTest, EachLoadStartsFromANewConfiguration)
{
    app.writeFile(QStringLiteral("lib/first.tsy"), ConfigFormat::Format(SampleRecord()));
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

    // Filled in and saved under a name whose file exists: replaced only after a Yes.
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
    EXPECT_TRUE(session().SelectedConfigPath.isEmpty());

    WhenNamePrompt(QStringLiteral("abc"));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(session().SelectedConfigPath, app.lib(QStringLiteral("abc.tsy")));
    const ConfigRecord expected = NewRecordWith({"SatelliteAppln=1028", "dsn=RST_NEW", "database=rostrum", "user=scott",
                                                 "savepass=1", "password=secret"});
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), ConfigFormat::Format(expected));
}

// The platform and logging on take a value that rounds (half to even) to one; the saved
// password flag is the format's rule, tested with it.
TEST_F(EditorTest, PlatformAndFlagValuesLoadByTheirNumbers)
{
    struct Case { const char *ldbp; int platform; const char *savepass, *autologin; bool savePass, autoLogin; };
    const Case cases[] = {
        {"2", 1, "1", "1.4", true, true},   {"0", 1, "1.0", "0.5", true, false},
        {"", 1, "1.4", "0", false, false}, {"1", 0, "1", "1.5", true, false},
        {"1.2", 0, "0", "0", false, false}, {" 1 ", 0, "2", "1", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ldbp);
        // A blank line is passed over, not the end of the load.
        app.writeConfig(QStringLiteral("x.tsy"),
                        {"SatelliteAppln=1028", "   ", QStringLiteral("ldbp=") + c.ldbp,
                         QStringLiteral("savepass=") + c.savepass, QStringLiteral("autologin=") + c.autologin});
        Open(QStringLiteral("x.tsy"));
        EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), c.platform);
        EXPECT_EQ(Check("ChkSavePass")->isChecked(), c.savePass);
        EXPECT_EQ(Check("ChkAutoLogin")->isChecked(), c.autoLogin);
        // The field holds the value as read.
        EXPECT_EQ(session().CurrentConfig.ldbp, Vb::Trim(QLatin1String(c.ldbp)));
    }
}

// A file read up to a line without "=" (where reading stops is the format's concern): the form
// shows what was read, the message says where reading stopped, and Save then writes only a
// change the user confirms.
TEST_F(EditorTest, AfterALoadErrorSaveWritesOnlyAChangeTheUserConfirms)
{
    const QString loadError = session().GetText(QStringLiteral("SLBL0167"));
    const QByteArray half = "SatelliteAppln=1028\r\ndsn=D\r\ndatabase=db\r\nuser=u\r\n[FMK]\r\nbatchsize=999\r\n";
    struct Case { const char *what; bool change; QList<MsgResult> answers; bool written; };
    const Case cases[] = {
        {"untouched", false, {}, false},
        {"changed, declined", true, {MsgResult::No}, false},
        {"changed, confirmed", true, {MsgResult::Yes}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        OpenRst(half);
        EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("D"));
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].startsWith(loadError));
        EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("Line 5, \"[FMK]\""))) << app.shownTexts()[0].toStdString();
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::None);
        app.messages().ClearShown();
        if (c.change)
            Type("txtmachine", QStringLiteral("host"));
        app.messages().SetNextAnswers(c.answers);
        ClickSave();
        EXPECT_EQ(Rst() != half, c.written);
        EXPECT_EQ(editor->isVisible(), c.change && !c.written);
        EXPECT_EQ(app.shownTexts().size(), c.change ? 1 : 0);
        if (c.change) {
            EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoDefaultNo);
        }
    }
    // A file that has gone gives the same message.
    app.messages().ClearShown();
    Open(QStringLiteral("gone.tsy"));
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].startsWith(loadError));
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
    // A value the file cannot hold (which ones is the format's concern), a required field left
    // empty, a web directory that is missing (the shared editor rule, tested with the joint
    // editor too): a message naming the field, its tab shown, the focus in it, nothing written.
    // One window for all rows: each puts its field back.
    struct Case { const char *field; QString value; int tab; const char *label, *message; };
    const Case cases[] = {
        {"txtdsn", QStringLiteral("Łódź"), 0, "lblDSN", nullptr},
        {"txtconnection", QStringLiteral("cn=\u4e2d, o=x"), 1, "Label1", nullptr},
        {"ComboApplication", QString(), 0, "lblAppln", nullptr},
        {"txtdsn", QStringLiteral("   "), 0, "lblDSN", nullptr},
        {"txtdatabase", QString(), 0, "lblDatabase", nullptr},
        {"txtusername", QString(), 0, "lblUsername", nullptr},
        // The third application, the one with a web directory, from here on.
        {"txtwebdirectory", QString(), 1, nullptr, "SLBL0494"},
        {"txtwebdirectory", QStringLiteral("/no/such/folder"), 1, nullptr, "SLBL0498"},
    };
    const QByteArray before = OpenRst();
    QTabBar *tabs = Child<QTabBar>("TSConfig");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field + (" " + c.value.toStdString()));
        if (c.message)
            Combo("ComboApplication")->setCurrentIndex(3);
        QLineEdit *box = qobject_cast<QLineEdit *>(Child<QWidget>(c.field));
        const QString kept = box ? box->text() : QString();
        const int keptApplication = Combo("ComboApplication")->currentIndex();
        tabs->setCurrentIndex(c.tab);
        box ? Type(c.field, c.value) : Combo(c.field)->setCurrentIndex(0);
        tabs->setCurrentIndex(1 - c.tab);
        app.messages().ClearShown();
        ClickSave();

        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(Rst(), before);
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, MsgIcon::Critical);
        if (c.message)
            EXPECT_EQ(shown.text, session().GetText(QLatin1String(c.message)));
        else
            EXPECT_TRUE(shown.text.contains(Child<QLabel>(c.label)->text())) << shown.text.toStdString();
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        EXPECT_TRUE(Child<QWidget>(c.field)->hasFocus());
        box ? box->setText(kept) : Combo(c.field)->setCurrentIndex(keptApplication);
    }
    // An existing web directory is written without the blanks around it.
    Box("txtwebdirectory")->setText(QStringLiteral(" ") + QDir::tempPath() + QStringLiteral(" "));
    ClickSave();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(session().CurrentConfig.webdirectory, QDir::tempPath());
    EXPECT_EQ(Rst(), ConfigFormat::Format(session().CurrentConfig));
}

} // namespace
