// The editor window's controls and the rules that tie them together.
#include "EditorFixture.h"

#include "ui/dialogs/frmbrowse.h"

#include <QDir>
#include <QGroupBox>
#include <QScreen>

namespace {

int Twips(int twips, qreal dpi) { return qRound(twips * dpi / 1440.0); }

TEST_F(EditorTest, NewConfigurationOpensInItsInitialState)
{
    OpenNew();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Configuration Editor (New Configuration)"));
    EXPECT_EQ(Combo("ComboApplication")->currentIndex(), -1);
    EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), -1);
    EXPECT_TRUE(Combo("ComboPlatform")->isEnabled());
    EXPECT_FALSE(Child<QGroupBox>("fraAppSetting")->isHidden());
    EXPECT_FALSE(Check("ChkAutoLogin")->isEnabled());
    EXPECT_EQ(Child<QLabel>("lblDatabase")->text(), session().GetText(QStringLiteral("SLBL0135")));
    EXPECT_EQ(Child<QLabel>("lblmachine")->text(), session().GetText(QStringLiteral("SLBL0508")));
    EXPECT_EQ(Box("txtLog")->text(), session().DefaultLogDirectory);
    EXPECT_TRUE(Box("txtLog")->isReadOnly());
    EXPECT_FALSE(Child<QPushButton>("cmdBrowse1")->isEnabled());
    EXPECT_EQ(Box("txtconnection")->text(), QStringLiteral("cn=<mycomponent>, o=<myroot>"));
    EXPECT_FALSE(Child<QGroupBox>("fraDBDetails")->isHidden());
    EXPECT_TRUE(Child<QGroupBox>("fraLH")->isHidden());

}

TEST_F(EditorTest, CaptionsTipsAndTabsComeFromTheTextsFile)
{
    app.writeFile(QStringLiteral("I18nText.xml"),
                  "<I18NTEXT><SLBL0496>Editeur</SLBL0496><SLBL0423>Enregistrer</SLBL0423>"
                  "<SLBL0427>Garder</SLBL0427><SLBL0025>Appli</SLBL0025><SLBL0416>Grand livre</SLBL0416>"
                  "<SLBL0439>Conseil</SLBL0439><SLBL0305>Source</SLBL0305><SLBL0371>Nouvelle</SLBL0371>"
                  "</I18NTEXT>");
    OpenNew();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Editeur (Nouvelle)"));
    const QList<QPair<const char *, QString>> buttonsAndBoxes = {
        {"cmdOK", QStringLiteral("Enregistrer")},
        {"cmdCancel", QStringLiteral("SLBL0428")}, // missing text: the identifier shows
        {"cmdBrowse2", QStringLiteral("...")},     // browse buttons keep their design captions
    };
    for (const auto &[name, text] : buttonsAndBoxes)
        EXPECT_EQ(Child<QPushButton>(name)->text(), text) << name;
    EXPECT_EQ(Check("ChkSavePass")->text(), QStringLiteral("Garder"));
    EXPECT_EQ(Child<QLabel>("lblAppln")->text(), QStringLiteral("Appli"));
    EXPECT_EQ(Child<QGroupBox>("fraAppSetting")->title(), QStringLiteral("Application Settings"));
    auto *tabs = Child<QTabBar>("TSConfig");
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Grand livre"));
    EXPECT_EQ(tabs->tabToolTip(1), QStringLiteral("Conseil"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("SLBL0135"));
    EXPECT_EQ(Box("txtdsn")->toolTip(), QStringLiteral("Source"));
    EXPECT_EQ(Box("txtmachine")->toolTip(), QString());
}

TEST_F(EditorTest, ApplicationAndPlatformRules)
{
    OpenNew();
    auto *platform = Combo("ComboPlatform");
    auto *database = Child<QLabel>("lblDatabase");
    auto *machine = Child<QLabel>("lblmachine");
    const QString sqlDatabase = session().GetText(QStringLiteral("SLBL0135"));
    const QString sqlMachine = session().GetText(QStringLiteral("SLBL0508"));

    Pick("ComboApplication", 1);
    EXPECT_TRUE(platform->isEnabled());
    Pick("ComboPlatform", 1);
    // Picking alone does not change the labels; leaving the list does.
    EXPECT_EQ(database->text(), sqlDatabase);
    Box("txtdsn")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(database->text(), session().GetText(QStringLiteral("SLBL0285")));
    EXPECT_EQ(machine->text(), session().GetText(QStringLiteral("SLBL0509")));

    Pick("ComboApplication", 2);
    EXPECT_EQ(platform->currentIndex(), 0);
    EXPECT_FALSE(platform->isEnabled());
    EXPECT_EQ(database->text(), sqlDatabase);
    EXPECT_EQ(machine->text(), sqlMachine);

    for (int position : {0, 1, 2, 3}) {
        Pick("ComboApplication", position);
        EXPECT_EQ(!Child<QGroupBox>("fraAppSetting")->isHidden(), position == 3) << position;
    }
}

TEST_F(EditorTest, SavePasswordGovernsAutoLogin)
{
    OpenNew();
    auto *savePass = Check("ChkSavePass");
    auto *autoLogin = Check("ChkAutoLogin");
    QTest::mouseClick(savePass, Qt::LeftButton);
    EXPECT_TRUE(autoLogin->isEnabled());
    QTest::mouseClick(autoLogin, Qt::LeftButton);
    EXPECT_TRUE(autoLogin->isChecked());
    QTest::mouseClick(savePass, Qt::LeftButton);
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_FALSE(autoLogin->isEnabled());
}

TEST_F(EditorTest, CtrlTabAloneSwitchesTabs)
{
    OpenNew();
    auto *tabs = Child<QTabBar>("TSConfig");
    auto *databasePage = Child<QGroupBox>("fraDBDetails");
    auto *ledgerhallPage = Child<QGroupBox>("fraLH");
    const QList<QPair<Qt::KeyboardModifiers, bool>> cases = {
        {Qt::ControlModifier, true},
        {Qt::ControlModifier | Qt::ShiftModifier, false},
        {Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::AltModifier, false},
    };
    for (const auto &[modifiers, switches] : cases) {
        tabs->setCurrentIndex(0);
        QLineEdit *field = Box("txtdsn");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Tab, modifiers);
        EXPECT_EQ(tabs->currentIndex(), switches ? 1 : 0) << int(modifiers);
        EXPECT_EQ(ledgerhallPage->isHidden(), !switches);
        EXPECT_EQ(databasePage->isHidden(), switches);
    }
    // And back, from a field of the second page.
    tabs->setCurrentIndex(1);
    Box("txtconnection")->setFocus();
    QTest::keyClick(Box("txtconnection"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(EditorTest, EnteringTheComponentStringSelectsTheComponentName)
{
    OpenNew();
    Child<QTabBar>("TSConfig")->setCurrentIndex(1);
    struct Case
    {
        QString text, selected;
        int cursor;
    };
    const Case cases[] = {
        {QStringLiteral("cn=<mycomponent>, o=<myroot>"), QStringLiteral("<mycomponent>"), 16},
        {QStringLiteral("cn=FMK_Sales,o=Norwen"), QStringLiteral("FMK_Sales"), 12},
        {QStringLiteral("a,bc,d"), QStringLiteral("c"), 4}, // the name starts at the 4th character
        {QStringLiteral("cn=nocomma"), QString(), 3},
        {QStringLiteral("cn=,o"), QString(), 3},
        {QStringLiteral("cn"), QString(), 2},
    };
    for (const Case &c : cases) {
        QLineEdit *box = Box("txtconnection");
        box->setText(c.text);
        Box("txtwebdirectory")->setFocus(Qt::TabFocusReason);
        box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(box->selectedText(), c.selected) << c.text.toStdString();
        EXPECT_EQ(box->cursorPosition(), c.cursor) << c.text.toStdString();
    }
}

TEST_F(EditorTest, WindowKeepsItsFixedSize)
{
    OpenNew();
    const qreal dpiX = editor->logicalDpiX(), dpiY = editor->logicalDpiY();
    // Inside the caption and borders: the outer frame, 5500 x 5800 twips.
    const QSize fixed(Twips(5500, dpiX), Twips(5800, dpiY));
    EXPECT_EQ(editor->size(), fixed);
    EXPECT_FALSE(editor->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(editor->windowFlags() & Qt::WindowMaximizeButtonHint);

    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        editor->setWindowState(state);
        QCoreApplication::processEvents();
        EXPECT_FALSE(editor->isMaximized() || editor->isMinimized()) << int(state);
        EXPECT_EQ(editor->size(), fixed);
    }
    // Save and Cancel sit 700 twips apart, centred under the pages.
    const QRect ok = Child<QPushButton>("cmdOK")->geometry();
    const QRect cancel = Child<QPushButton>("cmdCancel")->geometry();
    EXPECT_NEAR(cancel.left() - (ok.right() + 1), Twips(700, dpiX), 1);
    EXPECT_NEAR((ok.left() + cancel.right() + 1) / 2.0, fixed.width() / 2.0, 1.5);
}

// The folder browser as the web directory's browse button opens it.
TEST_F(EditorTest, BrowsingFillsTheWebDirectory)
{
    struct Case
    {
        QString start;    // the field's text when browsing starts
        bool presets;     // the browser starts there
        bool confirm;     // OK (else Cancel)
    };
    const QString existing = app.lib();
    const Case cases[] = {
        {QStringLiteral("/no/such/folder"), false, true},
        {existing, true, true},
        {existing, true, false},
    };
    for (const Case &c : cases) {
        OpenNew();
        Pick("ComboApplication", 3);
        Child<QTabBar>("TSConfig")->setCurrentIndex(1);
        Box("txtwebdirectory")->setText(c.start);
        const QString chosen = app.path();
        int opened = 0;
        QString presetPath, presetDir;
        WhenModal(QStringLiteral("frmbrowse"), [&](QWidget *w) {
            ++opened;
            auto *browser = static_cast<frmbrowse *>(w);
            auto *path = browser->findChild<QLineEdit *>(QStringLiteral("txtpath"));
            presetPath = path->text();
            presetDir = browser->DirPath();
            path->setText(chosen);
            QTest::mouseClick(browser->findChild<QPushButton *>(c.confirm ? QStringLiteral("cmdOK")
                                                                           : QStringLiteral("cmdCancel")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>("cmdBrowse2"), Qt::LeftButton);

        EXPECT_EQ(opened, 1);
        EXPECT_EQ(presetPath, c.presets ? c.start : QString());
        EXPECT_EQ(presetDir, c.presets ? c.start : QDir::currentPath());
        EXPECT_EQ(Box("txtwebdirectory")->text(), c.confirm ? chosen : c.start);
        EXPECT_TRUE(app.shownTexts().isEmpty());
    }
}

} // namespace
