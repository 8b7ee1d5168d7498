// Loading a configuration into the editor and saving it back, through the real window.
#include "EditorFixture.h"

#include "platform/FileLock.h"
#include "support/RecordedMessages.h"

#include <QDir>
#include <QTimer>
#include <pwd.h>
#include <unistd.h>
#include <optional>

namespace {

// Every way out of an opened file: only a change the user keeps is written, the whole file at
// once, the lines the editor does not know after the twenty in their order (which lines the
// reader keeps is the format's concern). The file starts with one of those lines, so that even
// a rewrite of the same record shows.
TEST_F(EditorTest, ClosingWritesOnlyAChangeTheUserKeeps)
{
    auto click = [this](const char *name) { return [=, this] { Click(name); }; };
    auto press = [](Qt::Key key) { return [=] { QTest::keyClick(QApplication::focusWidget(), key); }; };
    auto machine = [this] { Type("txtmachine", QStringLiteral("otherhost")); };
    const ConfigRecord sample = SampleRecord();
    const ConfigRecord otherHost = With(sample, {"dbmachinename=otherhost"});
    struct Case { const char *what; std::function<void()> change, close; QList<MsgResult> answers;
                  std::optional<ConfigRecord> written; };
    const Case cases[] = {
        {"untouched, Save", nullptr, click("cmdOK"), {}, std::nullopt},
        {"untouched, Cancel", nullptr, click("cmdCancel"), {}, std::nullopt},
        {"untouched, Escape", nullptr, press(Qt::Key_Escape), {}, std::nullopt},
        {"Enter", machine, press(Qt::Key_Return), {}, otherHost},
        // The second application runs on the first platform only.
        {"application", [this] { Pick("ComboApplication", 2); }, click("cmdOK"), {},
         With(sample, {"SatelliteAppln=4010", "ldbp=1"})},
        {"save password", click("ChkSavePass"), click("cmdOK"), {}, With(sample, {"savepass=0", "autologin=0"})},
        {"Escape, Yes", machine, press(Qt::Key_Escape), {MsgResult::Yes}, otherHost},
        {"Escape, No", machine, press(Qt::Key_Escape), {MsgResult::No}, std::nullopt},
        {"Escape, Cancel", machine, press(Qt::Key_Escape), {MsgResult::Cancel}, std::nullopt},
    };
    const QByteArray others = "; kept by hand\r\nCustom Key = x = y\r\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray original = OpenRst("; kept by hand\r\n" + ConfigFormat::Format(sample) + "Custom Key = x = y\r\n");
        if (c.change)
            c.change();
        app.messages().SetNextAnswers(c.answers);
        c.close();
        // Only Cancel to the question keeps the window open.
        EXPECT_EQ(window->isVisible(), c.answers == QList{MsgResult::Cancel});
        ASSERT_EQ(app.shownTexts().size(), c.answers.size());
        for (const auto &question : app.messages().ShownMessages())
            EXPECT_EQ(question.buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(Rst(), c.written ? ConfigFormat::Format(*c.written) + others : original);
        EXPECT_EQ(ConfigFormat::Format(window->Record()), ConfigFormat::Format(c.written.value_or(sample)) + others);
        EXPECT_EQ(window->SavedPath(), c.written ? app.lib(QStringLiteral("rst.tsy")) : QString());
    }
}

// What a file does not say takes a new configuration's default, never the file opened before.
TEST_F(EditorTest, EachLoadStartsFromANewConfiguration)
{
    app.writeFile(QStringLiteral("lib/first.tsy"), ConfigFormat::Format(SampleRecord()));
    app.writeConfig(QStringLiteral("second.tsy"), {"SatelliteAppln=1028", "database=db", "user=u"});
    Open(QStringLiteral("first.tsy"));
    Click("cmdCancel");
    Open(QStringLiteral("second.tsy"));
    Type("txtdsn", QStringLiteral("SECOND"));
    Click("cmdOK");
    const ConfigRecord defaults =
        With({}, {"ldbp=1", "savepass=0", "autologin=0", "lhbuscomponent=cn=<mycomponent>, o=<myroot>",
                  "logdirectory=" + session().DefaultLogDirectory(), "batchsize=100", "delay=30"});
    EXPECT_EQ(app.readFile(QStringLiteral("lib/second.tsy")),
              ConfigFormat::Format(With(defaults, {"SatelliteAppln=1028", "dsn=SECOND", "database=db", "user=u"})));

    // A new configuration after an opened one: untouched, Save makes no file and asks no name.
    OpenNew();
    // (A product code left from the file would open the name prompt and wait for it.)
    ASSERT_TRUE(window->Record().SatelliteAppln.isEmpty());
    Click("cmdOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files).size(), 2);
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
        EXPECT_EQ(window->Record().ldbp, Vb::Trim(QLatin1String(c.ldbp)));
    }
}

// A file read up to a line without "=" (where reading stops is the format's concern), or one
// that has gone: the form shows what was read, the message says where reading stopped, and
// Save then writes only a change the user confirms.
TEST_F(EditorTest, AfterALoadErrorSaveWritesOnlyAChangeTheUserConfirms)
{
    const QString loadError = session().GetText(QStringLiteral("SLBL0167"));
    const QByteArray half = "SatelliteAppln=1028\r\ndsn=D\r\ndatabase=db\r\nuser=u\r\n[FMK]\r\nbatchsize=999\r\n";
    // No answer: nothing changed, so nothing to ask.
    for (const QList<MsgResult> &answers : {QList<MsgResult>{}, {MsgResult::No}, {MsgResult::Yes}}) {
        SCOPED_TRACE(answers.size() ? int(answers[0]) : -1);
        OpenRst(half);
        EXPECT_EQ(Box("txtdsn")->text(), QStringLiteral("D"));
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto shown = app.messages().ShownMessages()[0];
        EXPECT_TRUE(shown.text.startsWith(loadError) && shown.text.contains(QStringLiteral("[FMK]")))
            << shown.text.toStdString();
        EXPECT_EQ(shown.icon, MsgIcon::None);
        app.messages().ClearShown();
        if (!answers.isEmpty())
            Type("txtmachine", QStringLiteral("host"));
        app.messages().SetNextAnswers(answers);
        Click("cmdOK");
        EXPECT_EQ(Rst() != half, answers == QList{MsgResult::Yes});
        EXPECT_EQ(window->isVisible(), answers == QList{MsgResult::No});
        ASSERT_EQ(app.shownTexts().size(), answers.size());
        for (const auto &question : app.messages().ShownMessages())
            EXPECT_EQ(question.buttons, MsgButtons::YesNoDefaultNo);
    }
    app.messages().ClearShown();
    Open(QStringLiteral("gone.tsy"));
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].startsWith(loadError));
}

// A file that became read-only: the message names it and the reason, nothing is written, and
// the next Save is a Save of the same file. One deleted meanwhile is made anew only after a Yes.
TEST_F(EditorTest, AFailedOrRefusedSaveKeepsTheFile)
{
    const QString path = app.lib(QStringLiteral("rst.tsy"));
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted ? "deleted" : "read-only");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        OpenRst();
        deleted ? QFile::remove(path) : QFile::setPermissions(path, QFileDevice::ReadOwner);
        const QByteArray before = Rst();
        Type("txtpassword", QStringLiteral("secret"));
        Click("cmdOK");
        EXPECT_TRUE(window->isVisible());
        ASSERT_EQ(app.shownTexts().size(), 1);
        const QString shown = app.shownTexts()[0];
        EXPECT_TRUE(shown.contains(path)) << shown.toStdString();
        EXPECT_TRUE(deleted || (shown.startsWith(session().GetText(QStringLiteral("SLBL0356")))
                                && shown.contains(QStringLiteral("Permission denied"))))
            << shown.toStdString();
        EXPECT_EQ(Rst(), before);
        EXPECT_EQ(window->SavedPath(), QString());
        EXPECT_EQ(window->Record().password, QStringLiteral("tiger"));

        app.messages().ClearShown();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        app.messages().SetNextAnswers(deleted ? QList{MsgResult::Yes} : QList<MsgResult>{});
        Click("cmdOK"); // no name asked: a name prompt would wait here and fail the test
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(app.shownTexts().size(), deleted ? 1 : 0); // the question to make it anew
        EXPECT_EQ(Rst(), ConfigFormat::Format(With(SampleRecord(), {"password=secret"})));
    }
}

// Two instances of the program on one folder, each with its own window and session: a save
// replaces only the version its window read. Asked, the user keeps the other's change (Cancel,
// the default), shows it (their typing dropped) or overwrites it.
TEST_F(EditorTest, ASaveNeverDropsAnotherInstancesChangeUnasked)
{
    RecordedMessages otherMessages;
    Session other(app.path(), otherMessages);
    const ConfigRecord theirs = With(SampleRecord(), {"dbmachinename=theirhost"});
    const ConfigRecord mine = With(SampleRecord(), {"user=myuser"});
    const struct { MsgResult answer; const ConfigRecord *onDisk; bool open; const char *user, *machine; } cases[] = {
        {MsgResult::Cancel, &theirs, true, "myuser", "dbhost"},
        {MsgResult::Theirs, &theirs, true, "scott", "theirhost"},
        {MsgResult::Mine, &mine, false, "myuser", "dbhost"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.answer));
        OpenRst();
        // The other instance opens the same file after this one and saves first.
        {
            frmEditConfiguration theirWindow(other, app.lib(QStringLiteral("rst.tsy")));
            ASSERT_TRUE(theirWindow.Load());
            ::Child<QLineEdit>(&theirWindow, "txtmachine")->setText(QStringLiteral("theirhost"));
            QTest::mouseClick(::Child<QPushButton>(&theirWindow, "cmdOK"), Qt::LeftButton);
            ASSERT_EQ(Rst(), ConfigFormat::Format(theirs));
        }
        Type("txtusername", QStringLiteral("myuser"));
        app.messages().SetNextAnswers({c.answer});
        Click("cmdOK");
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto asked = app.messages().ShownMessages()[0];
        EXPECT_EQ(asked.buttons, MsgButtons::TheirsMineCancel);
        EXPECT_TRUE(asked.text.contains(app.lib(QStringLiteral("rst.tsy"))) && asked.text.contains(QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name)))
            << asked.text.toStdString();
        EXPECT_EQ(Rst(), ConfigFormat::Format(*c.onDisk));
        EXPECT_EQ(window->isVisible(), c.open);
        EXPECT_EQ(Box("txtusername")->text(), QLatin1String(c.user));
        EXPECT_EQ(Box("txtmachine")->text(), QLatin1String(c.machine));
        if (c.answer == MsgResult::Theirs) {
            // Their version is now the one read: the next save goes through unasked.
            app.messages().ClearShown();
            Type("txtusername", QStringLiteral("myuser"));
            Click("cmdOK");
            EXPECT_TRUE(app.shownTexts().isEmpty());
            EXPECT_EQ(Rst(), ConfigFormat::Format(With(theirs, {"user=myuser"})));
        }
    }
}

// Another process holding the folder's lock: Save waits with a busy cursor and goes on when
// the lock is let go; held past the wait limit, Save says so and writes nothing.
TEST_F(EditorTest, SaveWaitsForTheFolderLockThenGivesUp)
{
    FileLock::SetWaitLimitMs(400);
    for (const bool released : {true, false}) {
        SCOPED_TRACE(released);
        const QByteArray before = OpenRst();
        auto lock = FileLock::LockFolder(app.lib());
        ASSERT_TRUE(lock);
        bool busy = false;
        QTimer::singleShot(50, window.get(), [&] {
            busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            if (released)
                lock.value().reset();
        });
        Type("txtmachine", QStringLiteral("otherhost"));
        Click("cmdOK");
        EXPECT_TRUE(busy);
        EXPECT_EQ(window->isVisible(), !released);
        EXPECT_EQ(Rst() == before, !released);
        if (!released) {
            ASSERT_EQ(app.shownTexts().size(), 1);
            EXPECT_TRUE(app.shownTexts()[0].contains(app.lib()) && app.shownTexts()[0].contains(QStringLiteral("locked")))
                << app.shownTexts()[0].toStdString();
        }
    }
    FileLock::SetWaitLimitMs(5000);
}

// A value the file cannot hold (which ones is the format's concern), a required field left
// empty, a web directory that is missing (the shared editor rule, tested with the joint editor
// too): a message naming the field, its tab shown, the focus in it, nothing written. One window
// for all rows: each puts its field back.
TEST_F(EditorTest, SaveRefusalsNameTheFieldAndGoToIt)
{
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
        box ? box->setText(c.value) : Combo(c.field)->setCurrentIndex(0);
        tabs->setCurrentIndex(1 - c.tab);
        app.messages().ClearShown();
        Click("cmdOK");

        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Rst(), before);
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, MsgIcon::Critical);
        EXPECT_TRUE(c.message ? shown.text == session().GetText(QLatin1String(c.message))
                              : shown.text.contains(Child<QLabel>(c.label)->text()))
            << shown.text.toStdString();
        EXPECT_EQ(tabs->currentIndex(), c.tab);
        EXPECT_TRUE(Child<QWidget>(c.field)->hasFocus());
        box ? box->setText(kept) : Combo(c.field)->setCurrentIndex(keptApplication);
    }
    // An existing web directory is written without the blanks around it.
    Box("txtwebdirectory")->setText(QStringLiteral(" ") + QDir::tempPath() + QStringLiteral(" "));
    Click("cmdOK");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->Record().webdirectory, QDir::tempPath());
    EXPECT_EQ(Rst(), ConfigFormat::Format(window->Record()));
}

} // namespace
