#include "MainWindowTest.h"

#include "support/PostgresFixture.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

using MainWindowCommands = MainWindowTest;

// Each command's editor sees the selection it needs; after it the list is refreshed (a file
// written meanwhile shows) and the entry highlighted before is highlighted again. Enter on a
// highlighted row opens it, as Update does; a configuration the editor saved is highlighted after.
TEST_F(MainWindowCommands, NewAndUpdateOpenTheEditorThatFitsThenRefresh)
{
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "dsn=JOINT", "[RST]", "SatelliteAppln=1028"});
    Open();
    // dsnField shows the dsn of the file the editor opened.
    struct Case { int key; Qt::KeyboardModifiers modifiers; const char *select, *window, *name, *dsnField, *dsn; };
    const Case cases[] = {
        {Qt::Key_N, Qt::ControlModifier, "b_joint.tsy", "frmEditConfiguration", nullptr, "txtdsn", ""},
        {Qt::Key_E, Qt::ControlModifier, "a.tsy", "frmEditConfiguration", "a.tsy", "txtdsn", "DSN1"},
        {Qt::Key_Return, Qt::NoModifier, "b_joint.tsy", "frmEditConfigurationMergeSplit", nullptr, "txtdsn_0", "JOINT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        Select({c.select});
        List()->setFocus();
        const QString saved = QString("saved%1.tsy").arg(&c - cases);
        WriteConfig(saved, "1028");
        QString opened, title, dsn;
        WhenModal(QString(), [&](QWidget *w) {
            std::tie(opened, title, dsn) =
                std::tuple(w->objectName(), w->windowTitle(), ::Child<QLineEdit>(w, c.dsnField)->text());
            static_cast<QDialog *>(w)->reject();
        });
        Key(c.key, c.modifiers);
        ASSERT_EQ(opened, c.window);
        // A new configuration has no file yet and the name the editor proposes.
        if (opened == "frmEditConfiguration") {
            EXPECT_TRUE(title.endsWith(u'(' + (c.name ? QString(c.name) : app.session().NewConfigName()) + u')'))
                << title.toStdString();
        }
        EXPECT_EQ(dsn, c.dsn);
        EXPECT_TRUE(Item(saved));
        EXPECT_EQ(Highlighted(), QStringList({c.select}));
    }

    // The editor hands back the file of a first save. The folder watcher notices the new file
    // and may refresh before the command goes on: that must not undo the highlight.
    QSignalSpy settled(Child<QTimer>("changeSettle"), &QTimer::timeout);
    WhenModal("frmEditConfiguration", [&](QWidget *editor) {
        ::Child<QComboBox>(editor, "ComboApplication")->setCurrentIndex(1);
        for (const char *field : {"txtdsn", "txtdatabase", "txtusername"})
            ::Child<QLineEdit>(editor, field)->setText("x");
        WhenModal("frmConfigFileSelector", [](QWidget *names) {
            ::Child<QLineEdit>(names, "txtFileName")->setText("new");
            QTest::mouseClick(::Child<QPushButton>(names, "OKButton"), Qt::LeftButton);
        });
        QTest::mouseClick(::Child<QPushButton>(editor, "cmdOK"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !settled.isEmpty(); })); // the change was seen
    });
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(app.lib("new.tsy")));
    EXPECT_EQ(Highlighted(), QStringList({"new.tsy"}));
    EXPECT_EQ(window->SelectedConfigPath(), app.lib("new.tsy"));
}

// A right click on a row offers the row commands for it (a row outside the highlight becomes
// the highlight); on empty space, which takes the highlight away, New and Refresh.
// Delete asks one question naming every highlighted file, and Enter answers No; Yes deletes all
// of them and leaves nothing highlighted in their place; a file that cannot be deleted is named.
TEST_F(MainWindowCommands, TheContextMenuAndDeleteActOnTheHighlightedRows)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy", "d.tsy"})
        WriteConfig(name, "4009");
    Open();
    struct Case { QStringList selected; const char *clicked; QStringList highlighted; const char *menu; };
    const Case cases[] = {
        {{"a.tsy"}, "c.tsy", {"c.tsy"}, "mnuRowContext"},
        {{"a.tsy", "b.tsy"}, "b.tsy", {"a.tsy", "b.tsy"}, "mnuRowContext"},
        {{"a.tsy"}, nullptr, {}, "mnuListContext"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.menu);
        Select(c.selected);
        const QPoint at = At(c.clicked ? c.clicked : "d.tsy") + QPoint(0, c.clicked ? 0 : 200);
        // The window system sends the menu request after the press.
        QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, List()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(List()->viewport(), &request);
        Settle();
        QMenu *menu = Menu(c.menu);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(Highlighted(), c.highlighted);
        EXPECT_EQ(menu->actions().contains(Action("mnuDelete")), bool(c.clicked));
        menu->hide();
    }

    Select({"b.tsy", "d.tsy"});
    app.messages().ClearShown();
    Key(Qt::Key_Delete); // Enter answers No
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains("b.tsy") && app.shownTexts()[0].contains("d.tsy"));
    EXPECT_EQ(Files().size(), 4);
    EXPECT_EQ(StatusText("lblOutcome"), "Nothing deleted: b.tsy, d.tsy kept");

    // A file gone or rewritten since it was listed: nothing is deleted or started, the list
    // catches up and the status bar says why.
    ASSERT_TRUE(QFile::remove(app.lib("b.tsy")));
    app.messages().SetNextAnswers({MsgResult::Yes});
    Action("mnuDelete")->trigger();
    EXPECT_EQ(Files(), QStringList({"a.tsy", "c.tsy", "d.tsy"}));
    EXPECT_EQ(Names(), Files());
    EXPECT_TRUE(StatusText("lblOutcome").contains("b.tsy no longer")) << StatusText("lblOutcome").toStdString();
    EXPECT_EQ(Highlighted(), QStringList({"d.tsy"}));
    WriteConfig("d.tsy", "4009", "REWRITTEN");
    Action("mnuExecute")->trigger(); // no stand-in console: a start would bring a message
    EXPECT_TRUE(StatusText("lblOutcome").contains("d.tsy changed")) << StatusText("lblOutcome").toStdString();
    EXPECT_EQ(Item("d.tsy")->text(2), "REWRITTEN");
    app.messages().SetNextAnswers({MsgResult::Yes});
    Action("mnuDelete")->trigger();
    EXPECT_EQ(Files(), QStringList({"a.tsy", "c.tsy"}));
    EXPECT_EQ(app.shownTexts().size(), 3); // the three questions, no message of a start
}

// The menus hide the commands not offered. Localised captions may give two items the same Alt
// letter (the default texts do: New and Rename): within the menu bar and each menu a letter
// names one visible item only. The View menu hides the tool bar, the filter box staying above
// the list, and the status bar; Exit and Ctrl+Q close the window. The tool bar's buttons run the
// menu commands themselves.
TEST_F(MainWindowCommands, TheMenusAndBarsShowWhatIsOfferedAndExitOrCtrlQCloses)
{
    Open();
    for (QAction *hidden : {Action("mnuSetDefault"), Action("mnuStatusbar"), Action("mnuExecuteJS"),
                            Menu("mnuTools")->menuAction()})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_FALSE(Child<QToolBar>("tlbJS")->isVisible());
    QList<QMenu *> menus = window->menuBar()->findChildren<QMenu *>();
    menus << nullptr; // the menu bar itself
    for (QMenu *menu : menus) {
        QStringList letters;
        for (QAction *item : menu ? menu->actions() : window->menuBar()->actions()) {
            const QString text = item->text().remove(QStringLiteral("&&"));
            if (item->isVisible() && text.contains(u'&'))
                letters << text.mid(text.indexOf(u'&') + 1, 1).toUpper();
        }
        EXPECT_EQ(letters.removeDuplicates(), 0) << (menu ? menu->objectName() : QString("mnuBar")).toStdString();
    }

    for (bool shown : {false, true}) {
        Action("mnuToolbar")->trigger();
        EXPECT_EQ(Child<QWidget>("cbMain")->isVisible(), shown);
        EXPECT_LT(Filter()->y(), List()->y());
    }
    Action("mnuStatusbar")->trigger();
    EXPECT_FALSE(Child<QStatusBar>("StatusBar1")->isVisible());

    // The tool bar's buttons are the menu commands themselves, in the bar's order.
    QStringList buttons;
    for (const QToolButton *button : Child<QWidget>("cbMain")->findChildren<QToolButton *>()) {
        if (button->defaultAction()) // not the bar's overflow button
            buttons << button->defaultAction()->objectName();
    }
    EXPECT_EQ(buttons, QStringList({"mnuNew", "mnuUpdate", "mnuDelete", "MnSConfig", "mnuExecute", "mnuStop", "mnuShowLog", "mnuExecuteJS",
                                    "mnuRefresh", "mnuExit"}));
    Action("mnuExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    Open();
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// The window hands the pairing rule the highlighted rows in list order (sorted by application,
// not directory order) and acts on its verdict: the publisher dialog for a pair, a complaint for a
// refusal, only the status bar otherwise.
// The entries' data sources are not among the test server's, so the dialog's load says the
// database cannot be reached and the dialog does not show.
TEST_F(MainWindowCommands, MergeAndSplitActsOnThePairOfTheHighlightedRowsInListOrder)
{
    // The test server's own ODBC files, never the machine's.
    QString error;
    ASSERT_TRUE(PostgresFixture::EnsureServer(&error)) << error.toStdString();
    for (const auto &[name, product] : {std::pair{"b_rst.tsy", "1028"}, {"c_fm.tsy", "4009"},
                                        {"d_web.tsy", "4010"}, {"0_none.tsy", "9999"}})
        WriteConfig(name, product);
    Open();
    ClickHeader(1);
    ASSERT_NE(Names().indexOf("b_rst.tsy"), 1);

    struct Case { QStringList selected; bool complaint, publisher; };
    const Case cases[] = {
        {{"b_rst.tsy", "c_fm.tsy"}, false, true},
        {{"d_web.tsy", "b_rst.tsy"}, true, false}, // Rostrum sorts first
        {{"0_none.tsy", "b_rst.tsy"}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        app.messages().ClearShown();
        Select(c.selected);
        Action("MnSConfig")->trigger();
        Settle();
        // The complaint comes from the main window, the database's refusal from the publisher dialog.
        const auto &shown = app.messages().ShownMessages();
        ASSERT_EQ(shown.size(), c.complaint || c.publisher ? 1 : 0) << app.shownTexts().join('\n').toStdString();
        EXPECT_TRUE(shown.isEmpty() || (shown[0].asker == window.get()) == c.complaint);
    }
}

} // namespace
