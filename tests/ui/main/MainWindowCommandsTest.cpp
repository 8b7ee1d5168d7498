#include "MainWindowTest.h"

#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"

#include <QDialog>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

namespace {

// Which modal window opened first and what it saw; it is closed at once.
struct Opened
{
    QString window, selectedName, selectedPath;
};

std::shared_ptr<Opened> CloseWhenModal(Session &session)
{
    auto opened = std::make_shared<Opened>();
    WhenModal(QString(), [opened, &session](QWidget *w) {
        *opened = {w->objectName(), session.SelectedConfigName, session.SelectedConfigPath};
        static_cast<QDialog *>(w)->reject();
    });
    return opened;
}

const QString Console = QStringLiteral("TessHost.exe");

using MainWindowCommands = MainWindowTest;

// Each command's editor sees the selection it needs; after it the list is refreshed (a file
// written meanwhile shows) and the entry highlighted before is highlighted again. Enter on a
// highlighted row opens it, as Update does; a configuration the editor saved is highlighted after.
TEST_F(MainWindowCommands, NewAndUpdateOpenTheEditorThatFitsThenRefresh)
{
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "[RST]", "SatelliteAppln=1028"});
    Open();

    struct Case { int key; Qt::KeyboardModifiers modifiers; const char *select, *window, *name; bool unsaved; };
    const Case cases[] = {
        {Qt::Key_N, Qt::ControlModifier, "b_joint.tsy", "frmEditConfiguration", "New Configuration", true},
        {Qt::Key_E, Qt::ControlModifier, "a.tsy", "frmEditConfiguration", "a.tsy", false},
        {Qt::Key_Return, Qt::NoModifier, "b_joint.tsy", "frmEditConfigurationMergeSplit", "b_joint.tsy", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        Select({c.select});
        List()->setFocus();
        const QString saved = QString("saved%1.tsy").arg(&c - cases);
        WriteConfig(saved, "1028");
        auto opened = CloseWhenModal(app.session());
        Key(c.key, c.modifiers);
        ASSERT_EQ(opened->window, c.window);
        EXPECT_EQ(opened->selectedName, c.name);
        EXPECT_EQ(opened->selectedPath, c.unsaved ? QString() : app.lib(c.name));
        EXPECT_NE(Item(saved), nullptr);
        EXPECT_EQ(Highlighted(), QStringList({c.select}));
    }

    // The editor reports a first save through the selected path. The folder watcher notices
    // the new file and may refresh before the command goes on: that must not undo the report.
    WhenModal("frmEditConfiguration", [this](QWidget *editor) {
        WriteConfig("new.tsy", "4009");
        app.session().SelectedConfigPath = app.lib("new.tsy");
        static_cast<QDialog *>(editor)->reject();
        QTest::qWait(600);
    });
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Highlighted(), QStringList({"new.tsy"}));
    EXPECT_EQ(app.session().SelectedConfigPath, app.lib("new.tsy"));
}

// One question names every highlighted file and Enter answers No; Yes deletes all of them,
// and a file that cannot be deleted is named with the reason.
TEST_F(MainWindowCommands, DeleteAsksOnceForEveryHighlightedFile)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy", "d.tsy"})
        WriteConfig(name, "4009");
    Open();
    const QString question = app.session().GetText("SLBL0029") + "\r\n\r\n";
    struct Case { QStringList selected; QList<MsgResult> answers; QStringList files; const char *outcome; };
    const Case cases[] = {
        {{"b.tsy", "d.tsy"}, {}, {"a.tsy", "b.tsy", "c.tsy", "d.tsy"}, "Nothing deleted"},
        {{"b.tsy", "d.tsy"}, {MsgResult::Yes}, {"a.tsy", "c.tsy"}, "Deleted b.tsy, d.tsy"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answers.size());
        Select(c.selected);
        app.messages().ClearShown();
        app.messages().SetNextAnswers(c.answers);
        Key(Qt::Key_Delete);
        EXPECT_EQ(app.shownTexts(), QStringList({question + c.selected.join("\r\n")}));
        EXPECT_EQ(Files(), c.files);
        EXPECT_EQ(StatusText("lblOutcome"), c.outcome);
    }
    // Nothing is left highlighted in place of the deleted files, so nothing else can be deleted by mistake.
    EXPECT_TRUE(Highlighted().isEmpty());
    EXPECT_FALSE(Action("mnuDelete")->isEnabled());

    // One file gone meanwhile: the other is deleted all the same, the missing one named.
    Select({"a.tsy", "c.tsy"});
    QFile::remove(app.lib("a.tsy"));
    app.messages().ClearShown();
    app.messages().SetNextAnswers({MsgResult::Yes});
    ClickButton("Delete");
    ASSERT_EQ(app.shownTexts().size(), 2);
    EXPECT_TRUE(app.shownTexts()[1].startsWith(app.session().GetText("SLBL0119") + "\r\na.tsy: "));
    EXPECT_TRUE(Names().isEmpty());
}

// An entry deleted or renamed elsewhere is not found by its exact name: nothing is highlighted,
// the selection names nothing, and nothing can be run. A double click starts the row clicked;
// on the empty space below the rows it starts nothing. (On an empty list the row commands are
// disabled: FirstStart checks it.)
TEST_F(MainWindowCommands, RefreshHighlightsByExactNameAndDoubleClickStartsTheRowClicked)
{
    StubPrograms stubs(app.path());
    stubs.Add(Console);
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
        WriteConfig(name, "4009");
    Open();
    for (const auto &[select, renamed] : {std::pair<QString, QString>{"c.tsy", ""}, {"b.tsy", "B.tsy"}}) {
        SCOPED_TRACE(select.toStdString());
        Select({select});
        ASSERT_TRUE(renamed.isEmpty() ? QFile::remove(app.lib(select))
                                      : QFile::rename(app.lib(select), app.lib(renamed)));
        Key(Qt::Key_F5);
        EXPECT_TRUE(Highlighted().isEmpty());
        EXPECT_EQ(app.session().SelectedConfigPath, "");
        EXPECT_FALSE(Action("mnuExecute")->isEnabled());
        Key(Qt::Key_R, Qt::ControlModifier);
    }
    EXPECT_EQ(Names(), QStringList({"a.tsy", "B.tsy"}));

    // Two rows highlighted stay so after F5, and the tool bar follows them.
    Select({"a.tsy", "B.tsy"});
    Key(Qt::Key_F5);
    EXPECT_EQ(Highlighted(), QStringList({"a.tsy", "B.tsy"}));
    EXPECT_TRUE(Action("ConfigMnS")->isEnabled());
    EXPECT_FALSE(Action("Run")->isEnabled());

    // Below the last row: nothing, whatever is highlighted.
    Select({"B.tsy"});
    const QPoint below = List()->visualItemRect(Item("B.tsy")).center() + QPoint(0, 200);
    ASSERT_EQ(List()->itemAt(below), nullptr);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(stubs.WaitForRuns(Console, 1, 500).isEmpty());

    DoubleClick("a.tsy");
    const auto runs = stubs.WaitForRuns(Console, 1);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].arguments.contains(app.lib("a.tsy")));
}

// The View menu hides the tool bar and the status bar; Exit and Ctrl+Q close the window.
TEST_F(MainWindowCommands, TheViewMenuHidesTheBarsAndExitOrCtrlQCloses)
{
    Open();
    for (bool shown : {false, true}) {
        Action("mnuToolbar")->trigger();
        EXPECT_EQ(Child<QWidget>(window.get(), "cbMain")->isVisible(), shown);
        // The filter box stays above the list.
        EXPECT_LT(Filter()->y(), List()->y());
    }
    Action("mnuStatusbar")->trigger();
    EXPECT_FALSE(Child<QStatusBar>(window.get(), "StatusBar1")->isVisible());

    ClickButton("Exit");
    EXPECT_FALSE(window->isVisible());
    Open();
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

// A right click on a row offers the row commands for it (a row outside the highlight becomes
// the highlight); on empty space, which takes the highlight away, New and Refresh.
TEST_F(MainWindowCommands, TheContextMenuOffersTheRowCommands)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
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
        const QPoint at = c.clicked ? List()->visualItemRect(Item(c.clicked)).center()
                                    : List()->visualItemRect(Item("c.tsy")).center() + QPoint(0, 200);
        // The window system sends the menu request after the press.
        QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, List()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(List()->viewport(), &request);
        Settle();
        auto *menu = Menu(c.menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(Highlighted(), c.highlighted);
        if (c.clicked)
            EXPECT_TRUE(menu->actions().contains(Action("mnuDelete")));
        menu->hide();
    }
}

// The merge-and-split pick: which names it records, and whether it complains or opens the
// publisher dialog. The entries' data sources are not among the test server's, so the dialog's
// load says the database cannot be reached and the dialog does not show.
class MainWindowMergeSplit : public MainWindowTest
{
protected:
    void SetUp() override
    {
        // The test server's own ODBC files, never the machine's.
        QString error;
        ASSERT_TRUE(PostgresFixture::EnsureServer(&error)) << error.toStdString();
        const std::pair<const char *, const char *> files[] = {
            {"a_fm.tsy", "4009"}, {"b_rst.tsy", "1028"}, {"c_fm.tsy", "4009"},
            {"d_web.tsy", "4010"}, {"0_none.tsy", "9999"}, {"f_rst.tsy", "1028"},
        };
        for (const auto &[name, product] : files)
            WriteConfig(name, product);
    }

    // Shown when the publisher dialog's load finds no database.
    bool PublisherRefused() const { return !app.shownTexts().filter("Database connection failed").isEmpty(); }
};

// Only the rows highlighted now count: a name kept from an earlier attempt never completes a pair.
// Sorted by application, the entries no longer stand in directory order; after a rename the pick
// takes the file's new name. The tool button runs the pick as the menu does.
TEST_F(MainWindowMergeSplit, PicksOneFieldmarkAndOneRostrumFromEachEntrysOwnFile)
{
    struct Case { QStringList selected; const char *leftover, *fieldmark, *rostrum; bool complaint, publisher; };
    const Case cases[] = {
        {{"b_rst.tsy", "c_fm.tsy"}, "", "c_fm.tsy", "b_rst.tsy", false, true},
        {{"a_fm.tsy", "c_fm.tsy"}, "", "a_fm.tsy", "", true, false},
        {{"d_web.tsy", "f_rst.tsy"}, "", "", "", true, false},
        {{"0_none.tsy", "b_rst.tsy"}, "c_fm.tsy", "", "b_rst.tsy", false, false},
    };
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        app.session().MnSFieldmarkConfig = c.leftover;
        app.session().MnSRostrumConfig.clear();
        app.messages().ClearShown();
        Select(c.selected);
        Action("MnSConfig")->trigger();
        Settle();
        EXPECT_EQ(app.session().MnSFieldmarkConfig, c.fieldmark);
        EXPECT_EQ(app.session().MnSRostrumConfig, c.rostrum);
        EXPECT_EQ(app.shownTexts().contains("invalid products for Merge and split"), c.complaint);
        EXPECT_EQ(PublisherRefused(), c.publisher);
    }

    app.messages().ClearShown();
    ClickHeader(1);
    ASSERT_NE(Names().indexOf("f_rst.tsy"), 5);
    Select({"a_fm.tsy"});
    Rename("z_fm");
    Select({"z_fm.tsy", "f_rst.tsy"});
    ClickButton("ConfigMnS");
    EXPECT_EQ(app.session().MnSFieldmarkConfig, "z_fm.tsy");
    EXPECT_EQ(app.session().MnSRostrumConfig, "f_rst.tsy");
    EXPECT_TRUE(PublisherRefused());
}

} // namespace
