#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QFile>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MergeSplitEditorTest : public ::testing::Test
{
protected:
    // A joint file as other writers leave it, keys in lower case, the web directory the
    // application directory.
    QByteArray JointFileBytes(const QString &rstLdbp = QStringLiteral("1"), const QString &rstSavePass = QStringLiteral("1"))
    {
        return Ansi::Encode(
            QStringLiteral(
                "[FMK]\r\nSatelliteAppln=4009\r\nldbp=1\r\ndsn=FMK_DSN\r\ndatabase=fmdb\r\ndbmachinename=fmhost\r\n"
                "user=fmuser\r\nsavepass=1\r\npassword=%1\r\nautologin=0\r\nlhbuscomponent=cn=FMK\r\n"
                "logdirectory=/var/log/fmk\r\nwebdirectory=%5\r\nbatchsize=100\r\ndelay=30\r\n\r\n"
                "[RST]\r\nSatelliteAppln=1028\r\nldbp=%2\r\ndsn=RST_DSN\r\ndatabase=rsdb\r\ndbmachinename=rshost\r\n"
                "user=rsuser\r\nsavepass=%3\r\npassword=%4\r\nautologin=1\r\nlhbuscomponent=cn=RST\r\n"
                "logdirectory=/var/log/rst\r\nwebdirectory=\r\nbatchsize=200\r\ndelay=40\r\n")
                .arg(ScramblePassword(QStringLiteral("fmpw")), rstLdbp, rstSavePass, ScramblePassword(QStringLiteral("rspw")),
                     app.path()));
    }
    void Open(const QByteArray &bytes)
    {
        app.writeFile(QStringLiteral("lib/Joint.tsy"), bytes);
        editor = std::make_unique<frmEditConfigurationMergeSplit>(app.session(), app.lib(QStringLiteral("Joint.tsy")));
        editor->Load();
    }
    template <typename T> T *Child(const char *name) { return editor->findChild<T *>(QLatin1String(name)); }
    QLineEdit *Field(const char *name) { return Child<QLineEdit>(name); }
    void ClickOk() { QTest::mouseClick(Child<QPushButton>("bOk"), Qt::LeftButton); }
    // Picks folder in the browser that button opens.
    void Browse(const QByteArray &button, const QString &folder)
    {
        WhenModal(QStringLiteral("frmbrowse"), [&](QWidget *browser) {
            browser->findChild<QLineEdit *>(QStringLiteral("txtpath"))->setText(folder);
            QTest::mouseClick(browser->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>(button.constData()), Qt::LeftButton);
    }

    TestAppDir app;
    std::unique_ptr<frmEditConfigurationMergeSplit> editor;
};

// The save-password box shows "partly" while the sections disagree; left so, each section
// keeps its own setting: Fieldmark its password, Rostrum none.
TEST_F(MergeSplitEditorTest, LoadsBothSectionsAndSaveOverwritesKeysInPlace)
{
    Open(JointFileBytes(QStringLiteral("2"), QStringLiteral("0")));
    // Every field goes back to the file on saving: a value loaded into the wrong field would show there.
    EXPECT_EQ(Field("txtpassword_0")->text(), QStringLiteral("fmpw"));
    EXPECT_TRUE(Field("txtpassword_1")->text().isEmpty());
    EXPECT_EQ(Child<QCheckBox>("ChkSavePass")->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(Child<QCheckBox>("ChkAutoLogin")->isChecked()); // the Rostrum section's value
    // Fieldmark always runs on the first platform; Rostrum's platform names its fields, at
    // once when changed by hand.
    EXPECT_FALSE(Child<QComboBox>("ComboPlatform_0")->isEnabled());
    EXPECT_EQ(Child<QComboBox>("ComboPlatform_0")->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>("ComboPlatform_1")->currentIndex(), 1);
    const QString serverLabel = Child<QLabel>("lblDatabase_1")->text();
    Child<QComboBox>("ComboPlatform_1")->setCurrentIndex(0);
    EXPECT_NE(Child<QLabel>("lblDatabase_1")->text(), serverLabel);

    // An existing file passes as the web directory.
    const QString web = app.path() + QStringLiteral("/afile");
    app.writeFile(QStringLiteral("afile"), "x");
    Field("txtwebdirectory")->setText(web);
    ClickOk();
    ASSERT_EQ(editor->result(), QDialog::Accepted) << app.shownTexts().join(u'\n').toStdString();

    // Keys other writers spelled in lower case keep their line and spelling; missing ones are added.
    QByteArray expected = JointFileBytes(QStringLiteral("1"), QStringLiteral("0"));
    const std::pair<QByteArray, QByteArray> changes[] = {
        {"autologin=0", "autologin=1"}, {"webdirectory=" + app.path().toLatin1(), "webdirectory=" + web.toLatin1()},
        {"delay=30\r\n", "delay=30\r\nmns=1\r\n"}, {"delay=40\r\n", "delay=40\r\nmns=1\r\n"},
        {"password=" + Ansi::Encode(ScramblePassword(QStringLiteral("rspw"))), "password="},
    };
    for (const auto &[from, to] : changes)
        expected.replace(from, to);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), expected);
}

// The title names the file. Escape drops typing only after the single editor's question;
// OK writes autologin "1" into both sections whatever the (hidden) box shows.
TEST_F(MergeSplitEditorTest, EscapeAsksAndAutoLoginIsWrittenAsOne)
{
    QByteArray bytes = JointFileBytes();
    Open(bytes.replace("autologin=0", "autologin=X").replace("autologin=1", "autologin=0").replace("autologin=X", "autologin=1"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Configuration Editor (Joint.tsy)"));
    ASSERT_FALSE(Child<QCheckBox>("ChkAutoLogin")->isChecked()); // the Rostrum section's "0"
    // Nothing typed: Escape closes without a word.
    editor->show();
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(app.shownTexts().isEmpty());
    editor->show();
    Field("txtBatch_0")->setText(QStringLiteral("150"));
    for (const MsgResult answer : {MsgResult::Cancel, MsgResult::No, MsgResult::Yes}) {
        app.messages().SetNextAnswers({answer});
        QTest::keyClick(editor.get(), Qt::Key_Escape);
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_EQ(app.shownTexts()[0], QStringLiteral("Save the changes to Joint.tsy?"));
        app.messages().ClearShown();
        EXPECT_EQ(editor->isVisible(), answer == MsgResult::Cancel);
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")).contains("batchsize=150"), answer == MsgResult::Yes);
        editor->show();
    }
    const QByteArray saved = app.readFile(QStringLiteral("lib/Joint.tsy"));
    EXPECT_EQ(saved.count("autologin=1"), 2) << saved.constData();
}

// Each refusal is told once, parented to the editor, and leaves the file as it was; so does
// an OK with nothing changed.
TEST_F(MergeSplitEditorTest, RefusalsAndAnUnchangedOkWriteNothing)
{
    const QByteArray before = JointFileBytes(QStringLiteral("abc"), QStringLiteral("0"));
    Open(before);
    EXPECT_EQ(Child<QComboBox>("ComboPlatform_1")->currentIndex(), 0); // anything but 2 is the first platform
    const std::pair<const char *, QString> refused[] = {
        {"txtwebdirectory", QString()}, // the editors' shared rule, tested with the editor
        {"txtconnection_0", QStringLiteral("   ")},
        {"txtconnection_1", QStringLiteral(" ")},
        {"txtdsn_1", QStringLiteral("DSN\u4e2d")}, // the single-byte file cannot hold it
    };
    for (const auto &[field, value] : refused) {
        SCOPED_TRACE(field);
        app.messages().ClearShown();
        const QString was = Field(field)->text();
        Field(field)->setText(value);
        ClickOk();
        EXPECT_NE(editor->result(), QDialog::Accepted);
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(app.messages().ShownMessages()[0].asker, editor.get());
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), before);
        Field(field)->setText(was);
    }
    ClickOk();
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), before);

}

// A change made from outside while the editor is open is never reverted unasked; Cancel (the
// default) keeps it, "theirs" shows it, "mine" writes this window's keys over it, leaving
// what it does not edit (their comment) in place. A file deleted meanwhile is never written again.
TEST_F(MergeSplitEditorTest, OkNeverRevertsAChangeMadeMeanwhile)
{
    const QByteArray theirs = JointFileBytes().replace("dsn=FMK_DSN", "dsn=THEIR_DSN") + "; note by admin\r\n";
    const struct { MsgResult answer; bool accepted; const char *dsn, *user; } cases[] = {
        {MsgResult::Cancel, false, "FMK_DSN", "myuser"},
        {MsgResult::Theirs, false, "THEIR_DSN", "rsuser"},
        {MsgResult::Mine, true, "FMK_DSN", "myuser"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.answer));
        Open(JointFileBytes());
        app.writeFile(QStringLiteral("lib/Joint.tsy"), theirs);
        Field("txtusername_1")->setText(QStringLiteral("myuser"));
        app.messages().ClearShown();
        app.messages().SetNextAnswers({c.answer});
        ClickOk();
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::TheirsMineCancel);
        EXPECT_EQ(editor->result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(Field("txtdsn_0")->text(), QLatin1String(c.dsn));
        EXPECT_EQ(Field("txtusername_1")->text(), QLatin1String(c.user));
        const QByteArray onDisk = app.readFile(QStringLiteral("lib/Joint.tsy"));
        EXPECT_EQ(onDisk == theirs, !c.accepted);
        EXPECT_TRUE(onDisk.contains("; note by admin") && onDisk.contains(c.accepted ? "dsn=FMK_DSN" : "dsn=THEIR_DSN")
                    && onDisk.contains(QByteArray("user=") + (c.accepted ? "myuser" : "rsuser")))
            << onDisk.toStdString();
    }

    Open(JointFileBytes());
    QFile::remove(app.lib(QStringLiteral("Joint.tsy")));
    Field("txtusername_1")->setText(QStringLiteral("myuser"));
    app.messages().ClearShown();
    ClickOk();
    EXPECT_NE(editor->result(), QDialog::Accepted);
    EXPECT_TRUE(app.shownTexts().value(0).contains(QStringLiteral("not written again"))) << app.shownTexts().join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(app.lib(QStringLiteral("Joint.tsy"))));
}

// A password whose scrambled form the reader would trim or unquote is refused, by the rule the
// publisher settings use, and the file stays as it was.
TEST_F(MergeSplitEditorTest, RefusesAPasswordThatWouldReadBackChanged)
{
    const QByteArray before = JointFileBytes();
    Open(before);
    for (const QString &password : {QStringLiteral("\u00aepw"), QStringLiteral("pw\u00ac"), QStringLiteral("\u20acpw\u20ac")}) {
        SCOPED_TRACE(password.toStdString());
        Field("txtpassword_1")->setText(password);
        app.messages().ClearShown();
        ClickOk();
        EXPECT_NE(editor->result(), QDialog::Accepted);
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("[RST]")) && !app.shownTexts()[0].contains(password))
            << app.shownTexts()[0].toStdString();
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), before);
    }
}

// Each application tab browses into its own log field and tests its own connection: the other
// tab still names a data source that does not exist. (The Tab key: tests/ui/windows.)
TEST_F(MergeSplitEditorTest, EachTabBrowsesAndConnectsWithItsOwnFields)
{
    PgDatabase *db = PostgresFixture::Ready(QStringLiteral("jointconn"), QStringLiteral("INSERT INTO tsparameters VALUES (6)"));
    ASSERT_TRUE(db);
    Open(JointFileBytes());
    auto *tabs = Child<QTabWidget>("SSTab1");
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const QByteArray index = QByteArray::number(i);
        Browse("BtnBrowseLog_" + index, app.path() + index);
        EXPECT_EQ(Field("txtLogpath_" + index)->text(), app.path() + index);
        tabs->setCurrentIndex(i);
        // The list itself is the shared data source field's, tested with the editor.
        EXPECT_NE(Field("txtdsn_" + index)->completer(), nullptr);
        Field("txtdsn_" + index)->setText(db->dsn());
        Field("txtusername_" + index)->setText(db->user());
        Field("txtpassword_" + index)->setText(db->password());
        app.messages().ClearShown();
        QTest::mouseClick(Child<QPushButton>("cmdTestConnection_" + index), Qt::LeftButton);
        EXPECT_TRUE(app.shownTexts().value(0).contains(QStringLiteral("Connected to server \"%1\"").arg(db->serverName())))
            << app.shownTexts().join(u'\n').toStdString();
    }
    Browse("cmdBrowse2", app.lib());
    EXPECT_EQ(Field("txtwebdirectory")->text(), app.lib());
}

} // namespace
