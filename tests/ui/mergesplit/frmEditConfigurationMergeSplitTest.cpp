#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"

#include "config/PasswordScramble.h"
#include "suite/JointFile.h"
#include "platform/Ansi.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QCheckBox>
#include <QCompleter>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray JointFileBytes(const QString &rstLdbp = QStringLiteral("1"), const QString &rstSavePass = QStringLiteral("1"),
                          const QString &fmkSavePass = QStringLiteral("1"))
{
    const QString text = QStringLiteral(
        "[FMK]\r\nSatelliteAppln=4009\r\nldbp=1\r\ndsn=FMK_DSN\r\ndatabase=fmdb\r\ndbmachinename=fmhost\r\n"
        "user=fmuser\r\nsavepass=%5\r\npassword=%1\r\nautologin=0\r\nlhbuscomponent=cn=FMK\r\n"
        "logdirectory=/var/log/fmk\r\nwebdirectory=/srv/www\r\nbatchsize=100\r\ndelay=30\r\n\r\n"
        "[RST]\r\nSatelliteAppln=1028\r\nldbp=%2\r\ndsn=RST_DSN\r\ndatabase=rsdb\r\ndbmachinename=rshost\r\n"
        "user=rsuser\r\nsavepass=%3\r\npassword=%4\r\nautologin=1\r\nlhbuscomponent=cn=RST\r\n"
        "logdirectory=/var/log/rst\r\nwebdirectory=\r\nbatchsize=200\r\ndelay=40\r\n")
                             .arg(ScramblePassword(QStringLiteral("fmpw")), rstLdbp, rstSavePass,
                                  ScramblePassword(QStringLiteral("rspw")), fmkSavePass);
    return Ansi::Encode(text);
}

class MergeSplitEditorTest : public ::testing::Test
{
protected:
    void Open(const QByteArray &bytes)
    {
        app.writeFile(QStringLiteral("lib/Joint.tsy"), bytes);
        app.session().SelectedConfigPath = app.lib(QStringLiteral("Joint.tsy"));
        editor = std::make_unique<frmEditConfigurationMergeSplit>(app.session());
        editor->Load();
    }
    template <typename T> T *Child(const char *name) { return editor->findChild<T *>(QLatin1String(name)); }
    QLineEdit *Field(const char *name) { return Child<QLineEdit>(name); }
    void ClickOk() { QTest::mouseClick(Child<QPushButton>("bOk"), Qt::LeftButton); }

    TestAppDir app;
    std::unique_ptr<frmEditConfigurationMergeSplit> editor;
};

// Fieldmark always runs on the first platform; Rostrum's platform names its fields.
TEST_F(MergeSplitEditorTest, RostrumPlatformSelectsEntryAndLabels)
{
    struct Case { const char *ldbp; int entry; const char *database; };
    for (const Case &c : {Case{"2", 1, "SLBL0285"}, Case{"abc", 0, "SLBL0135"}, Case{"", 0, "SLBL0135"}}) {
        SCOPED_TRACE(c.ldbp);
        Open(JointFileBytes(QLatin1String(c.ldbp)));
        EXPECT_EQ(Child<QComboBox>("ComboPlatform_1")->currentIndex(), c.entry);
        EXPECT_EQ(Child<QLabel>("lblDatabase_1")->text(), app.session().GetText(QLatin1String(c.database)));
    }
    EXPECT_FALSE(Child<QComboBox>("ComboPlatform_0")->isEnabled());
    EXPECT_EQ(Child<QComboBox>("ComboPlatform_0")->currentIndex(), 0);
    // Changing the Rostrum platform by hand applies the rule at once.
    Child<QComboBox>("ComboPlatform_1")->setCurrentIndex(1);
    EXPECT_EQ(Child<QLabel>("lblmachine_1")->text(), app.session().GetText(QStringLiteral("SLBL0509")));
}

TEST_F(MergeSplitEditorTest, LoadsBothSectionsAndSaveOverwritesKeysInPlace)
{
    // Fieldmark keeps its password although the Rostrum section clears the shared box.
    Open(JointFileBytes(QStringLiteral("1"), QStringLiteral("0")));
    const std::pair<const char *, const char *> loaded[] = {
        {"txtdsn_0", "FMK_DSN"}, {"txtmachine_1", "rshost"}, {"txtBatch_0", "100"}, // spelled "batchsize" in the file
        {"txtBatch_1", "200"}, {"txtDelay_0", "30"}, {"txtwebdirectory", "/srv/www"}, {"txtconnection_1", "cn=RST"},
        {"txtpassword_0", "fmpw"}, {"txtpassword_1", ""},
    };
    for (const auto &[field, text] : loaded)
        EXPECT_EQ(Field(field)->text(), QLatin1String(text)) << field;
    auto *savePass = Child<QCheckBox>("ChkSavePass");
    auto *autoLogin = Child<QCheckBox>("ChkAutoLogin");
    EXPECT_EQ(savePass->checkState(), Qt::PartiallyChecked); // the sections disagree
    EXPECT_TRUE(autoLogin->isChecked()); // the Rostrum section's value

    Field("txtwebdirectory")->setText(app.path());
    Child<QComboBox>("ComboPlatform_1")->setCurrentIndex(1);
    Field("txtpassword_1")->setText(QStringLiteral("newpw"));
    // The save-password box decides whether auto login may be changed.
    for (bool ticked : {true, false, true}) {
        QTest::mouseClick(savePass, Qt::LeftButton);
        EXPECT_EQ(autoLogin->isEnabled(), ticked);
    }
    ClickOk();
    ASSERT_EQ(editor->result(), QDialog::Accepted) << app.shownTexts().join(u'\n').toStdString();

    // Keys other writers spelled in lower case keep their line and spelling; Fieldmark keeps its password.
    QByteArray expected = JointFileBytes(QStringLiteral("2"));
    const std::pair<QByteArray, QByteArray> changes[] = {
        {"autologin=0", "autologin=1"}, {"webdirectory=/srv/www", "webdirectory=" + app.path().toLatin1()},
        {"delay=30\r\n", "delay=30\r\nmns=1\r\n"}, {"delay=40\r\n", "delay=40\r\nmns=1\r\n"},
        {Ansi::Encode(ScramblePassword(QStringLiteral("rspw"))), Ansi::Encode(ScramblePassword(QStringLiteral("newpw")))},
    };
    for (const auto &[from, to] : changes)
        expected.replace(from, to);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), expected);
}

TEST_F(MergeSplitEditorTest, SaveAddsMissingKeysInTheirOrder)
{
    Open("[FMK]\r\n\r\n[RST]\r\n");
    Field("txtwebdirectory")->setText(app.path());
    Field("txtconnection_0")->setText(QStringLiteral("cn=F"));
    Field("txtconnection_1")->setText(QStringLiteral("cn=R"));
    ClickOk();
    ASSERT_EQ(editor->result(), QDialog::Accepted);
    // Save Password is not ticked: empty passwords in both sections.
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")),
              QStringLiteral("[FMK]\r\ndsn=\r\ndatabase=\r\ndbmachinename=\r\nuser=\r\nlhbuscomponent=cn=F\r\nlogdirectory=\r\n"
                             "Delay=\r\nbatchSize=\r\nwebdirectory=%1\r\npassword=\r\nsavepass=0\r\nautologin=1\r\nmns=1\r\n\r\n"
                             "[RST]\r\ndsn=\r\ndatabase=\r\ndbmachinename=\r\nuser=\r\nlhbuscomponent=cn=R\r\nlogdirectory=\r\n"
                             "ldbp=1\r\nbatchSize=\r\npassword=\r\nsavepass=0\r\nautologin=1\r\nmns=1\r\n")
                  .arg(app.path())
                  .toLatin1());
}

// The box shows "partly" while the sections disagree; left so, each keeps its own setting.
TEST_F(MergeSplitEditorTest, EachSectionKeepsItsOwnPassword)
{
    for (const bool fieldmarkSaves : {true, false}) {
        SCOPED_TRACE(fieldmarkSaves);
        Open(JointFileBytes(QStringLiteral("1"), fieldmarkSaves ? QStringLiteral("0") : QStringLiteral("1"),
                            fieldmarkSaves ? QStringLiteral("1") : QStringLiteral("0")));
        Field("txtwebdirectory")->setText(app.path());
        ClickOk();
        ASSERT_EQ(editor->result(), QDialog::Accepted);
        const QString path = app.lib(QStringLiteral("Joint.tsy"));
        auto password = [&](const QString &section) {
            return UnscramblePassword(JointFile::GetAttributeValueFromTSY(path, section, QStringLiteral("password")));
        };
        EXPECT_EQ(password(JointFile::FieldmarkSection), fieldmarkSaves ? QStringLiteral("fmpw") : QString());
        EXPECT_EQ(password(JointFile::RostrumSection), fieldmarkSaves ? QString() : QStringLiteral("rspw"));
    }
}

TEST_F(MergeSplitEditorTest, OkWithNothingChangedWritesNothing)
{
    const QByteArray bytes = JointFileBytes().replace("/srv/www", app.path().toLatin1());
    Open(bytes);
    const QString path = app.lib(QStringLiteral("Joint.tsy"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(-7200), QFileDevice::FileModificationTime);
    file.close();
    const QDateTime before = QFileInfo(path).lastModified();
    ClickOk();
    EXPECT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), bytes);
    EXPECT_EQ(QFileInfo(path).lastModified(), before);
}

TEST_F(MergeSplitEditorTest, ValidationStopsTheSaveWithItsMessage)
{
    app.writeFile(QStringLiteral("afile"), "x");
    // An empty expected message: saved. "*": refused with a message of its own.
    struct Case { const char *field; QString value, message; };
    const QString ledgerhall = QStringLiteral("Please fill valid data in Ledgerhall tab");
    const Case cases[] = {
        {"txtwebdirectory", QString(), app.session().GetText(QStringLiteral("SLBL0494"))},
        {"txtwebdirectory", QStringLiteral("  "), app.session().GetText(QStringLiteral("SLBL0498"))},
        {"txtwebdirectory", app.path() + QStringLiteral("/missing"), app.session().GetText(QStringLiteral("SLBL0498"))},
        {"txtconnection_0", QStringLiteral("   "), ledgerhall},
        {"txtconnection_1", QStringLiteral(" "), ledgerhall},
        {"txtdsn_1", QStringLiteral("DSN\u4e2d"), QStringLiteral("*")}, // the single-byte file cannot hold it
        {"txtwebdirectory", app.path() + QStringLiteral("/afile"), QString()}, // an existing file passes
    };
    const QByteArray before = JointFileBytes();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field + (": " + c.value.toStdString()));
        Open(before);
        app.messages().ClearShown();
        Field("txtwebdirectory")->setText(app.path());
        Field(c.field)->setText(c.value);
        ClickOk();
        EXPECT_EQ(editor->result() == QDialog::Accepted, c.message.isEmpty());
        if (c.message.isEmpty())
            continue;
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(app.messages().ShownMessages()[0].asker, editor.get());
        if (c.message != QLatin1String("*")) {
            EXPECT_EQ(app.shownTexts()[0], c.message);
        }
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), before);
    }
}

TEST_F(MergeSplitEditorTest, BrowsedFolderLandsInTheFieldOfTheButtonAndTabEntersTheNextTab)
{
    Open(JointFileBytes());
    const QString folder = app.path() + QStringLiteral("/log");
    for (const auto &[button, field] : {std::pair{"BtnBrowseLog_1", "txtLogpath_1"}, {"cmdBrowse2", "txtwebdirectory"}}) {
        WhenModal(QStringLiteral("frmbrowse"), [&](QWidget *browser) {
            browser->findChild<QLineEdit *>(QStringLiteral("txtpath"))->setText(folder);
            QTest::mouseClick(browser->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton);
        EXPECT_EQ(Field(field)->text(), folder) << button;
    }
    EXPECT_EQ(Field("txtLogpath_0")->text(), QStringLiteral("/var/log/fmk"));

    // Tab from the last control of a tab.
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    auto *tabs = Child<QTabWidget>("SSTab1");
    const std::pair<const char *, const char *> steps[] = {{"BtnBrowseLog_0", "txtdsn_1"}, {"BtnBrowseLog_1", "txtconnection_0"}};
    for (int i = 0; i < 2; ++i) {
        tabs->setCurrentIndex(i);
        Child<QPushButton>(steps[i].first)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), Child<QWidget>(steps[i].second));
        EXPECT_EQ(tabs->currentIndex(), i + 1);
    }
}

TEST_F(MergeSplitEditorTest, EachApplicationTabOffersDataSourcesAndTestsItsOwnConnection)
{
    QString error;
    auto db = PostgresFixture::CreateDatabase(QStringLiteral("jointconn"), &error);
    ASSERT_TRUE(db) << error.toStdString();
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsparameters VALUES (6)")));
    Open(JointFileBytes());
    // Each tab tests its own fields: the other tab still names a data source that does not exist.
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const QByteArray index = QByteArray::number(i);
        editor->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(i);
        QLineEdit *dsn = Field("txtdsn_" + index);
        // The list itself is the shared data source field's, tested with the editor.
        EXPECT_NE(dsn->completer(), nullptr);
        dsn->setText(db->dsn());
        Field("txtusername_" + index)->setText(db->user());
        Field("txtpassword_" + index)->setText(db->password());
        app.messages().ClearShown();
        QTest::mouseClick(Child<QPushButton>("cmdTestConnection_" + index), Qt::LeftButton);
        EXPECT_TRUE(app.shownTexts().value(0).contains(
            QStringLiteral("Connected to server \"%1\", back-end version 6.").arg(db->serverName())))
            << app.shownTexts().join(u'\n').toStdString();
    }
}

} // namespace
