// The editor window's controls and the rules that tie them together.
#include "EditorFixture.h"

#include <QGroupBox>
#include <QKeySequence>

namespace {

// A new configuration: the window's initial state and the rules of its fields. The labels are
// compared with what the window showed at first, so the texts file may be a small one of the
// test's own.
TEST_F(EditorTest, NewConfigurationOpensInItsInitialStateAndTheFieldsFollowTheirRules)
{
    app.writeFile(QStringLiteral("I18nText.xml"),
                  "<I18NTEXT><SLBL0496>Editeur</SLBL0496><SLBL0423>Enregistrer</SLBL0423>"
                  "<SLBL0439>Conseil</SLBL0439><SLBL0305>Source</SLBL0305><SLBL0371>Nouvelle</SLBL0371>"
                  "</I18NTEXT>");
    OpenNew();
    // Captions and tips come from the texts file.
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Editeur (Nouvelle)"));
    // A caption without an Alt letter is given its first free one.
    EXPECT_EQ(Child<QPushButton>("cmdOK")->text(), QStringLiteral("&Enregistrer"));
    EXPECT_EQ(Child<QTabBar>("TSConfig")->tabToolTip(1), QStringLiteral("Conseil"));
    EXPECT_EQ(Box("txtdsn")->toolTip(), QStringLiteral("Source"));

    EXPECT_EQ(Combo("ComboApplication")->currentIndex(), -1);
    EXPECT_EQ(Combo("ComboPlatform")->currentIndex(), -1);
    EXPECT_TRUE(Combo("ComboPlatform")->isEnabled());
    EXPECT_FALSE(Child<QGroupBox>("fraAppSetting")->isHidden());
    EXPECT_TRUE(Box("txtLog")->isReadOnly());
    EXPECT_FALSE(Child<QPushButton>("cmdBrowse1")->isEnabled());

    // Logging on by itself needs the saved password.
    EXPECT_FALSE(Check("ChkAutoLogin")->isEnabled());
    for (bool saved : {true, false}) {
        Click("ChkSavePass");
        EXPECT_EQ(Check("ChkAutoLogin")->isEnabled(), saved);
    }

    // The platform names the database and server fields, once the list is left.
    auto *database = Child<QLabel>("lblDatabase");
    auto *machine = Child<QLabel>("lblmachine");
    const QStringList firstPlatformNames = {database->text(), machine->text()};
    Pick("ComboApplication", 1);
    Pick("ComboPlatform", 1);
    EXPECT_EQ(database->text(), firstPlatformNames[0]);
    Box("txtdsn")->setFocus(Qt::TabFocusReason);
    EXPECT_NE(database->text(), firstPlatformNames[0]);
    EXPECT_NE(machine->text(), firstPlatformNames[1]);
    // (That the second application sets the first platform: ClosingWritesOnlyAChangeTheUserKeeps.)
    Pick("ComboApplication", 2);
    EXPECT_EQ((QStringList{database->text(), machine->text()}), firstPlatformNames);

    // Only the first application chooses its platform; only the third has a web directory.
    for (int position : {0, 1, 2, 3}) {
        Pick("ComboApplication", position);
        EXPECT_EQ(Combo("ComboPlatform")->isEnabled(), position == 1) << position;
        EXPECT_EQ(Child<QGroupBox>("fraAppSetting")->isHidden(), position != 3) << position;
    }

    // Entering the component string selects the component's name.
    Child<QTabBar>("TSConfig")->setCurrentIndex(1);
    QLineEdit *box = Box("txtconnection");
    struct Case { QString text, selected; int cursor; };
    const Case cases[] = {
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

    // The browse button fills the web directory (when the browser presets its path is the
    // browser's concern).
    Box("txtwebdirectory")->setText(app.lib());
    QString preset;
    WhenModal(QStringLiteral("frmbrowse"), [&](QWidget *browser) {
        auto *path = ::Child<QLineEdit>(browser, "txtpath");
        preset = path->text();
        path->setText(app.path());
        QTest::mouseClick(::Child<QPushButton>(browser, "cmdOK"), Qt::LeftButton);
    });
    Click("cmdBrowse2");
    EXPECT_EQ(preset, app.lib());
    EXPECT_EQ(Box("txtwebdirectory")->text(), app.path());

    // The window keeps its size (the size itself shows in the window's picture).
    const QSize fixed = window->size();
    EXPECT_FALSE(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    for (Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        window->setWindowState(state);
        QCoreApplication::processEvents();
        EXPECT_FALSE(window->isMaximized() || window->isMinimized()) << int(state);
        EXPECT_EQ(window->size(), fixed);
    }
}

TEST_F(EditorTest, TabKeysSwitchOnThePressAndTakeTheFocusAlong)
{
    // Each page's first field: where the focus is at opening and after every switch.
    const char *first[] = {"ComboApplication", "txtconnection"};
    OpenRst();
    EXPECT_TRUE(Child<QWidget>(first[0])->hasFocus());

    auto *tabs = Child<QTabBar>("TSConfig");
    struct Case { QKeyCombination keys; bool switches; };
    const Case cases[] = {
        {Qt::CTRL | Qt::Key_Tab, true}, {Qt::CTRL | Qt::Key_PageDown, true}, {Qt::CTRL | Qt::Key_PageUp, true},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, false}, {Qt::CTRL | Qt::ALT | Qt::Key_Tab, false},
        {QKeyCombination(Qt::Key_PageDown), false},
    };
    for (const Case &c : cases) {
        for (int from : {0, 1}) {
            SCOPED_TRACE(testing::Message() << QKeySequence(c.keys).toString().toStdString() << " from " << from);
            tabs->setCurrentIndex(from);
            QWidget *start = Child<QWidget>(from == 0 ? "txtdsn" : "txtconnection");
            start->setFocus();
            // The press alone switches; letting go of Ctrl before the key switches nothing more.
            QTest::keyPress(start, c.keys.key(), c.keys.keyboardModifiers());
            const int to = c.switches ? 1 - from : from;
            EXPECT_EQ(Child<QGroupBox>("fraLH")->isHidden(), to == 0);
            QWidget *focus = QApplication::focusWidget();
            EXPECT_EQ(focus, c.switches ? Child<QWidget>(first[to]) : start);
            QTest::keyRelease(focus, Qt::Key_Control);
            QTest::keyRelease(focus, c.keys.key());
            EXPECT_EQ(tabs->currentIndex(), to);
        }
    }
}

} // namespace
