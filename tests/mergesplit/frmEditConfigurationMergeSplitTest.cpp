#include "mergesplit/frmEditConfigurationMergeSplit.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "support/TestAppDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray JointFileBytes(const QString &rstLdbp, const QString &fmkSavePass, const QString &rstSavePass)
{
    const QString text = QStringLiteral(
        "[FMK]\r\nSatelliteAppln=4009\r\nldbp=1\r\ndsn=FMK_DSN\r\ndatabase=fmdb\r\ndbmachinename=fmhost\r\n"
        "user=fmuser\r\nsavepass=%1\r\npassword=%2\r\nautologin=0\r\nlhbuscomponent=cn=FMK\r\n"
        "logdirectory=/var/log/fmk\r\nwebdirectory=/srv/www\r\nbatchsize=100\r\ndelay=30\r\n\r\n"
        "[RST]\r\nSatelliteAppln=1028\r\nldbp=%3\r\ndsn=RST_DSN\r\ndatabase=rsdb\r\ndbmachinename=rshost\r\n"
        "user=rsuser\r\nsavepass=%4\r\npassword=%5\r\nautologin=1\r\nlhbuscomponent=cn=RST\r\n"
        "logdirectory=/var/log/rst\r\nwebdirectory=\r\nbatchsize=200\r\ndelay=40\r\n")
                             .arg(fmkSavePass, ScramblePassword(QStringLiteral("fmpw")), rstLdbp, rstSavePass,
                                  ScramblePassword(QStringLiteral("rspw")));
    return Ansi::Encode(text);
}

class MergeSplitEditorTest : public ::testing::Test
{
protected:
    void Open(const QByteArray &bytes)
    {
        app.writeFile(QStringLiteral("lib/Joint.tsy"), bytes);
        app.session().SelectedConfigPath = path;
        editor = std::make_unique<frmEditConfigurationMergeSplit>(app.session());
    }
    template <typename T> T *Child(const char *name) { return editor->findChild<T *>(QLatin1String(name)); }
    QLineEdit *Field(const char *name) { return Child<QLineEdit>(name); }
    QString Value(const char *section, const char *key)
    {
        return IniProfile::GetPrivateProfileString(QLatin1String(section), QLatin1String(key), QStringLiteral("<absent>"),
                                                   255, path);
    }
    // The key names of one section, in file order.
    QStringList KeysOf(const QString &section)
    {
        QStringList keys;
        bool inside = false;
        for (const QString &line : FileIo::SplitLines(QString::fromLatin1(app.readFile(QStringLiteral("lib/Joint.tsy"))))) {
            if (line.startsWith(u'['))
                inside = line == u'[' + section + u']';
            else if (inside && line.contains(u'='))
                keys << line.section(u'=', 0, 0);
        }
        return keys;
    }
    void ClickOk() { QTest::mouseClick(Child<QPushButton>("bOk"), Qt::LeftButton); }

    TestAppDir app;
    QString path = app.lib(QStringLiteral("Joint.tsy"));
    std::unique_ptr<frmEditConfigurationMergeSplit> editor;
};

TEST_F(MergeSplitEditorTest, RostrumPlatformSelectsEntryAndLabels)
{
    struct Case { const char *ldbp; int entry; const char *database; const char *machine; };
    const Case cases[] = {
        {"2", 1, "SLBL0285", "SLBL0509"},
        {"1", 0, "SLBL0135", "SLBL0508"},
        {"", 0, "SLBL0135", "SLBL0508"},
        {"abc", 0, "SLBL0135", "SLBL0508"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ldbp);
        Open(JointFileBytes(QLatin1String(c.ldbp), QStringLiteral("1"), QStringLiteral("1")));
        EXPECT_EQ(Child<QComboBox>("ComboPlatform_1")->currentIndex(), c.entry);
        EXPECT_EQ(Child<QLabel>("lblDatabase_1")->text(), app.session().GetText(QLatin1String(c.database)));
        EXPECT_EQ(Child<QLabel>("lblmachine_1")->text(), app.session().GetText(QLatin1String(c.machine)));
        EXPECT_FALSE(Child<QComboBox>("ComboPlatform_0")->isEnabled());
        EXPECT_EQ(Child<QComboBox>("ComboPlatform_0")->currentIndex(), 0);
    }
    // Changing the Rostrum platform by hand applies the rule at once.
    Child<QComboBox>("ComboPlatform_1")->setCurrentIndex(1);
    EXPECT_EQ(Child<QLabel>("lblDatabase_1")->text(), app.session().GetText(QStringLiteral("SLBL0285")));
}

TEST_F(MergeSplitEditorTest, LoadsBothSectionsWithTheSharedSavePasswordBox)
{
    // Fieldmark keeps its password although the Rostrum section clears the shared box.
    Open(JointFileBytes(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0")));
    EXPECT_EQ(Field("txtdsn_0")->text(), QStringLiteral("FMK_DSN"));
    EXPECT_EQ(Field("txtmachine_1")->text(), QStringLiteral("rshost"));
    EXPECT_EQ(Field("txtBatch_0")->text(), QStringLiteral("100")); // spelled "batchsize" in the file
    EXPECT_EQ(Field("txtBatch_1")->text(), QStringLiteral("200"));
    EXPECT_EQ(Field("txtDelay_0")->text(), QStringLiteral("30"));
    EXPECT_EQ(Field("txtwebdirectory")->text(), QStringLiteral("/srv/www"));
    EXPECT_EQ(Field("txtconnection_1")->text(), QStringLiteral("cn=RST"));
    EXPECT_EQ(Field("txtpassword_0")->text(), QStringLiteral("fmpw"));
    EXPECT_EQ(Field("txtpassword_1")->text(), QString());
    EXPECT_FALSE(Child<QCheckBox>("ChkSavePass")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("ChkAutoLogin")->isChecked()); // the Rostrum section's value
}

TEST_F(MergeSplitEditorTest, SaveOverwritesKeysInPlace)
{
    Open(JointFileBytes(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")));
    Field("txtwebdirectory")->setText(app.path());
    Child<QComboBox>("ComboPlatform_1")->setCurrentIndex(1);
    Field("txtpassword_1")->setText(QStringLiteral("newpw"));
    // The save-password box decides whether auto login may be changed.
    auto *savePass = Child<QCheckBox>("ChkSavePass");
    QTest::mouseClick(savePass, Qt::LeftButton);
    EXPECT_FALSE(Child<QCheckBox>("ChkAutoLogin")->isEnabled());
    QTest::mouseClick(savePass, Qt::LeftButton);
    EXPECT_TRUE(Child<QCheckBox>("ChkAutoLogin")->isEnabled());
    ClickOk();
    ASSERT_EQ(editor->result(), QDialog::Accepted) << app.shownTexts().join(u'\n').toStdString();

    EXPECT_EQ(Value("FMK", "autologin"), QStringLiteral("1")); // was 0
    EXPECT_EQ(Value("RST", "ldbp"), QStringLiteral("2"));
    EXPECT_EQ(Value("RST", "password"), ScramblePassword(QStringLiteral("newpw")));
    EXPECT_EQ(Value("FMK", "password"), ScramblePassword(QStringLiteral("fmpw")));
    // Keys other writers spelled in lower case keep their line and spelling.
    const QStringList fieldmark = KeysOf(QStringLiteral("FMK"));
    EXPECT_EQ(fieldmark.mid(0, 15), QString("SatelliteAppln ldbp dsn database dbmachinename user savepass password "
                                            "autologin lhbuscomponent logdirectory webdirectory batchsize delay mns")
                                        .split(u' '));
    EXPECT_EQ(fieldmark.size(), 15);
}

TEST_F(MergeSplitEditorTest, SaveAddsMissingKeysInTheirOrder)
{
    Open("[FMK]\r\n\r\n[RST]\r\n");
    Field("txtwebdirectory")->setText(app.path());
    Field("txtconnection_0")->setText(QStringLiteral("cn=F"));
    Field("txtconnection_1")->setText(QStringLiteral("cn=R"));
    ClickOk();
    ASSERT_EQ(editor->result(), QDialog::Accepted);
    EXPECT_EQ(KeysOf(QStringLiteral("FMK")),
              QString("dsn database dbmachinename user lhbuscomponent logdirectory Delay batchSize webdirectory "
                      "password savepass autologin mns").split(u' '));
    EXPECT_EQ(KeysOf(QStringLiteral("RST")),
              QString("dsn database dbmachinename user lhbuscomponent logdirectory ldbp batchSize "
                      "password savepass autologin mns").split(u' '));
    // Save Password is not ticked: empty passwords in both sections.
    EXPECT_EQ(Value("FMK", "password"), QString());
    EXPECT_EQ(Value("RST", "password"), QString());
    EXPECT_EQ(Value("RST", "savepass"), QStringLiteral("0"));
}

TEST_F(MergeSplitEditorTest, ValidationStopsTheSaveWithItsMessage)
{
    app.writeFile(QStringLiteral("afile"), "x");
    // An empty expected message: saved. "*": refused with a message of its own.
    struct Case { const char *field; QString value; QString message; };
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
    const QByteArray before = JointFileBytes(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
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
        if (c.message != QLatin1String("*"))
            EXPECT_EQ(app.shownTexts()[0], c.message);
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), before);
    }
}

TEST_F(MergeSplitEditorTest, BrowsedFolderLandsInTheFieldOfTheButton)
{
    Open(JointFileBytes(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")));
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
}

TEST_F(MergeSplitEditorTest, TabFromTheLastControlOfATabEntersTheNextTab)
{
    Open(JointFileBytes(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")));
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

} // namespace
