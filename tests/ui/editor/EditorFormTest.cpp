// The editor window's controls and the rules that tie them together.
#include "EditorFixture.h"

#include <QGroupBox>

namespace {

TEST_F(EditorTest, NewConfigurationOpensInItsInitialState)
{
    OpenNew();
    EXPECT_EQ(Combo("ComboApplication")->currentIndex(), -1);
    EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), -1);
    EXPECT_TRUE(Combo("ComboPlatform")->isEnabled());
    EXPECT_FALSE(Child<QGroupBox>("fraAppSetting")->isHidden());
    EXPECT_TRUE(Box("txtLog")->isReadOnly());
    EXPECT_FALSE(Child<QPushButton>("cmdBrowse1")->isEnabled());

    // Logging on by itself needs the saved password.
    EXPECT_FALSE(Check("ChkAutoLogin")->isEnabled());
    QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
    EXPECT_TRUE(Check("ChkAutoLogin")->isEnabled());
    QTest::mouseClick(Check("ChkSavePass"), Qt::LeftButton);
    EXPECT_FALSE(Check("ChkAutoLogin")->isEnabled());
}

TEST_F(EditorTest, CaptionsTipsAndTabsComeFromTheTextsFile)
{
    app.writeFile(QStringLiteral("I18nText.xml"),
                  "<I18NTEXT><SLBL0496>Editeur</SLBL0496><SLBL0423>Enregistrer</SLBL0423>"
                  "<SLBL0439>Conseil</SLBL0439><SLBL0305>Source</SLBL0305><SLBL0371>Nouvelle</SLBL0371>"
                  "</I18NTEXT>");
    OpenNew();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Editeur (Nouvelle)"));
    EXPECT_EQ(Child<QPushButton>("cmdOK")->text(), QStringLiteral("Enregistrer"));
    // A missing text shows its identifier; the browse buttons keep their design captions.
    EXPECT_EQ(Child<QPushButton>("cmdCancel")->text(), QStringLiteral("SLBL0428"));
    EXPECT_EQ(Child<QPushButton>("cmdBrowse2")->text(), QStringLiteral("..."));
    EXPECT_EQ(Child<QTabBar>("TSConfig")->tabToolTip(1), QStringLiteral("Conseil"));
    EXPECT_EQ(Box("txtdsn")->toolTip(), QStringLiteral("Source"));
}

TEST_F(EditorTest, ApplicationAndPlatformRules)
{
    OpenNew();
    auto *platform = Combo("ComboPlatform");
    auto *database = Child<QLabel>("lblDatabase");
    auto *machine = Child<QLabel>("lblmachine");
    const QString sqlDatabase = session().GetText(QStringLiteral("SLBL0135"));

    Pick("ComboApplication", 1);
    Pick("ComboPlatform", 1);
    // Picking alone does not change the labels; leaving the list does.
    EXPECT_EQ(database->text(), sqlDatabase);
    Box("txtdsn")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(database->text(), session().GetText(QStringLiteral("SLBL0285")));
    EXPECT_EQ(machine->text(), session().GetText(QStringLiteral("SLBL0509")));

    // (That the second application sets the first platform: ClosingWritesOnlyAChangeTheUserKeeps.)
    Pick("ComboApplication", 2);
    EXPECT_EQ(database->text(), sqlDatabase);
    EXPECT_EQ(machine->text(), session().GetText(QStringLiteral("SLBL0508")));

    // Only the first application chooses its platform; only the third has a web directory.
    for (int position : {0, 1, 2, 3}) {
        Pick("ComboApplication", position);
        EXPECT_EQ(platform->isEnabled(), position == 1) << position;
        EXPECT_EQ(Child<QGroupBox>("fraAppSetting")->isHidden(), position != 3) << position;
    }
}

TEST_F(EditorTest, TabKeysSwitchOnThePressAndTakeTheFocusAlong)
{
    // Each page's first field: where the focus is at opening and after every switch.
    const char *first[] = {"ComboApplication", "txtconnection"};
    OpenRst();
    EXPECT_TRUE(Child<QWidget>(first[0])->hasFocus());
    OpenNew();
    EXPECT_TRUE(Child<QWidget>(first[0])->hasFocus());

    auto *tabs = Child<QTabBar>("TSConfig");
    struct Case { Qt::Key key; Qt::KeyboardModifiers modifiers; bool switches; };
    const Case cases[] = {
        {Qt::Key_Tab, Qt::ControlModifier, true},
        {Qt::Key_PageDown, Qt::ControlModifier, true},
        {Qt::Key_PageUp, Qt::ControlModifier, true},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, false},
        {Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::Key_PageDown, Qt::NoModifier, false},
    };
    for (const Case &c : cases) {
        for (int from : {0, 1}) {
            tabs->setCurrentIndex(from);
            QWidget *start = Child<QWidget>(from == 0 ? "txtdsn" : "txtconnection");
            start->setFocus();
            // The press alone switches; letting go of Ctrl before the key switches nothing more.
            QTest::keyPress(start, c.key, c.modifiers);
            const int to = c.switches ? 1 - from : from;
            EXPECT_EQ(tabs->currentIndex(), to) << c.key << " from " << from;
            EXPECT_EQ(Child<QGroupBox>("fraLH")->isHidden(), to == 0);
            QWidget *focus = QApplication::focusWidget();
            EXPECT_EQ(focus, c.switches ? Child<QWidget>(first[to]) : start) << c.key << " from " << from;
            QTest::keyRelease(focus, Qt::Key_Control);
            QTest::keyRelease(focus, c.key);
            EXPECT_EQ(tabs->currentIndex(), to) << c.key << " from " << from;
        }
    }
}

TEST_F(EditorTest, EnteringTheComponentStringSelectsTheComponentName)
{
    OpenNew();
    Child<QTabBar>("TSConfig")->setCurrentIndex(1);
    QLineEdit *box = Box("txtconnection");
    struct Case { QString text, selected; int cursor; };
    const Case cases[] = {
        {QStringLiteral("cn=<mycomponent>, o=<myroot>"), QStringLiteral("<mycomponent>"), 16},
        {QStringLiteral("cn=FMK_Sales,o=Norwen"), QStringLiteral("FMK_Sales"), 12},
        {QStringLiteral("a,bc,d"), QStringLiteral("c"), 4}, // the name starts at the 4th character
        {QStringLiteral("cn=nocomma"), QString(), 3},
        {QStringLiteral("cn=,o"), QString(), 3},
        {QStringLiteral("cn"), QString(), 2},
    };
    for (const Case &c : cases) {
        box->setText(c.text);
        Box("txtwebdirectory")->setFocus(Qt::TabFocusReason);
        box->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(box->selectedText(), c.selected) << c.text.toStdString();
        EXPECT_EQ(box->cursorPosition(), c.cursor) << c.text.toStdString();
    }
}

TEST_F(EditorTest, WindowKeepsItsFixedSize)
{
    // The size itself shows in the window's picture.
    OpenNew();
    const QSize fixed = editor->size();
    EXPECT_FALSE(editor->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        editor->setWindowState(state);
        QCoreApplication::processEvents();
        EXPECT_FALSE(editor->isMaximized() || editor->isMinimized()) << int(state);
        EXPECT_EQ(editor->size(), fixed);
    }
}

// The folder browser as the web directory's browse button opens it: preset only with a folder.
TEST_F(EditorTest, BrowsingFillsTheWebDirectory)
{
    const QList<QPair<QString, bool>> cases = {{QStringLiteral("/no/such/folder"), false}, {app.lib(), true}};
    for (const auto &[start, presets] : cases) {
        OpenNew();
        Pick("ComboApplication", 3);
        Child<QTabBar>("TSConfig")->setCurrentIndex(1);
        Box("txtwebdirectory")->setText(start);
        QString preset;
        WhenModal(QStringLiteral("frmbrowse"), [&](QWidget *browser) {
            auto *path = ::Child<QLineEdit>(browser, "txtpath");
            preset = path->text();
            path->setText(app.path());
            QTest::mouseClick(::Child<QPushButton>(browser, "cmdOK"), Qt::LeftButton);
        });
        QTest::mouseClick(Child<QPushButton>("cmdBrowse2"), Qt::LeftButton);

        EXPECT_EQ(preset, presets ? start : QString());
        EXPECT_EQ(Box("txtwebdirectory")->text(), app.path());
        EXPECT_TRUE(app.shownTexts().isEmpty());
    }
}

} // namespace
