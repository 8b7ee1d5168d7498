#include "MainWindowTest.h"

#include "support/StubPrograms.h"

#include <QDialog>
#include <QFile>
#include <QStatusBar>
#include <QToolButton>

namespace {

// What a modal window saw when it opened; it is closed at once.
struct Opened
{
    bool seen = false;
    QString selectedName, selectedPath;
};

std::shared_ptr<Opened> CloseWhenModal(const char *name, Session &session)
{
    auto opened = std::make_shared<Opened>();
    WhenModal(QLatin1String(name), [opened, &session](QWidget *w) {
        opened->seen = true;
        opened->selectedName = session.SelectedConfigName;
        opened->selectedPath = session.SelectedConfigPath;
        static_cast<QDialog *>(w)->reject();
    });
    return opened;
}

using MainWindowCommands = MainWindowTest;

TEST_F(MainWindowCommands, NewOpensTheEditorForAnUnsavedConfigurationThenRefreshes)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b.tsy", "4009");
    Open();
    Select({"b.tsy"});
    WriteConfig("c.tsy", "1028"); // as if the editor had saved it

    auto opened = CloseWhenModal("frmEditConfiguration", app.session());
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(opened->seen);
    EXPECT_EQ(opened->selectedName, "New Configuration");
    EXPECT_EQ(opened->selectedPath, "");
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b.tsy", "c.tsy"}));
    // The entry selected before is selected again.
    EXPECT_EQ(app.session().SelectedConfigName, "b.tsy");
    EXPECT_EQ(List()->selectedItems(), QList<QTreeWidgetItem *>({Item("b.tsy")}));
}

TEST_F(MainWindowCommands, UpdateOpensTheEditorThatFitsTheSelection)
{
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "[RST]", "SatelliteAppln=1028"});
    Open();

    struct Case
    {
        const char *select;
        const char *window;
        const char *name;
        bool emptyPath;
    };
    const Case cases[] = {
        {"b_joint.tsy", "frmEditConfigurationMergeSplit", "b_joint.tsy", false},
        {"a.tsy", "frmEditConfiguration", "a.tsy", false},
        {nullptr, "frmEditConfiguration", "New Configuration", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        if (c.select)
            Select({c.select});
        else
            app.session().SelectedConfigPath.clear();
        auto opened = CloseWhenModal(c.window, app.session());
        Key(Qt::Key_E, Qt::ControlModifier);
        ASSERT_TRUE(opened->seen);
        EXPECT_EQ(opened->selectedName, c.name);
        EXPECT_EQ(opened->selectedPath.isEmpty(), c.emptyPath);
    }
}

TEST_F(MainWindowCommands, DeleteAsksAndRemovesOnlyOnYes)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b.tsy", "4009");
    Open();
    Select({"b.tsy"});

    app.messages().SetNextAnswers({MsgResult::No});
    Key(Qt::Key_Delete);
    EXPECT_EQ(app.shownTexts(), QStringList({app.session().GetText("SLBL0029")}));
    EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(QFile::exists(app.lib("b.tsy")));
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b.tsy"}));

    app.messages().ClearShown();
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Delete);
    EXPECT_EQ(app.shownTexts().size(), 1);
    EXPECT_FALSE(QFile::exists(app.lib("b.tsy")));
    EXPECT_EQ(Names(), QStringList({"a.tsy"}));
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    // The selection still names the deleted file until the user picks another.
    EXPECT_EQ(app.session().SelectedConfigName, "b.tsy");

    // Deleting it again fails and says so; the list is refreshed all the same.
    WriteConfig("c.tsy", "1028");
    app.messages().ClearShown();
    app.messages().SetNextAnswers({MsgResult::Yes});
    QTest::mouseClick(window->tbNED->widgetForAction(Button("tbNED", 2)), Qt::LeftButton);
    Settle();
    ASSERT_EQ(app.shownTexts().size(), 2);
    EXPECT_EQ(app.shownTexts()[1], app.session().GetText("SLBL0119"));
    EXPECT_EQ(app.messages().ShownMessages()[1].icon, MsgIcon::Information);
    EXPECT_EQ(Names(), QStringList({"a.tsy", "c.tsy"}));
}

TEST_F(MainWindowCommands, RefreshSelectsTheRememberedEntryByExactName)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b.tsy", "4009");
    WriteConfig("c.tsy", "4009");
    Open();

    struct Case
    {
        const char *select;
        const char *renameOutside; // new name of the selected file, or null to delete it
        bool found;
    };
    const Case cases[] = {
        {"b.tsy", "b.tsy", true},  // unchanged
        {"c.tsy", nullptr, false}, // deleted elsewhere
        {"b.tsy", "B.tsy", false}, // only the letter case differs
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.select);
        Select({c.select});
        if (!c.renameOutside)
            QFile::remove(app.lib(c.select));
        else if (QLatin1String(c.renameOutside) != QLatin1String(c.select))
            QFile::rename(app.lib(c.select), app.lib(c.renameOutside));
        Key(Qt::Key_F5);
        EXPECT_EQ(List()->selectedItems().size(), c.found ? 1 : 0);
        EXPECT_EQ(Item(c.select) && Item(c.select)->isSelected(), c.found);
        EXPECT_EQ(app.session().SelectedConfigName, c.select);
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(c.select));
    }
    // Directory order is alphabetical without regard to case.
    EXPECT_EQ(Names(), QStringList({"a.tsy", "B.tsy"}));
}

TEST_F(MainWindowCommands, CommandsThatNeedAnEntryDoNothingOnAnEmptyList)
{
    Open();
    auto editorOpened = std::make_shared<bool>(false);
    WhenModal(QString(), [editorOpened](QWidget *w) {
        *editorOpened = true;
        static_cast<QDialog *>(w)->reject();
    }, 200);
    Key(Qt::Key_E, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    QTest::qWait(300);
    EXPECT_FALSE(*editorOpened);
    EXPECT_TRUE(app.shownTexts().isEmpty());
    EXPECT_EQ(window->tbNED->widgetForAction(Button("tbNED", 1))->isEnabled(), false);

    // A configuration made elsewhere shows after F5 and enables them.
    WriteConfig("a.tsy", "4009");
    Key(Qt::Key_F5);
    EXPECT_EQ(Names(), QStringList({"a.tsy"}));
    EXPECT_TRUE(window->mnuUpdate->isEnabled());
    EXPECT_TRUE(window->mnuDelete->isEnabled());
}

TEST_F(MainWindowCommands, TheToolBarToggleMovesTheListToTheTop)
{
    Open();
    Settle();
    const int top = List()->y();
    EXPECT_GT(top, 0);
    window->mnuToolbar->trigger();
    Settle();
    EXPECT_FALSE(window->mnuToolbar->isChecked());
    EXPECT_FALSE(window->cbMain->isVisible());
    EXPECT_EQ(List()->y(), 0);
    window->mnuToolbar->trigger();
    Settle();
    EXPECT_TRUE(window->cbMain->isVisible());
    EXPECT_EQ(List()->y(), top);

    window->mnuStatusbar->trigger();
    EXPECT_FALSE(window->StatusBar1->isVisible());
}

TEST_F(MainWindowCommands, DoubleClickStartsTheSelectedConfiguration)
{
    const QString console = QStringLiteral("TessHost.exe");
    StubPrograms stubs(app.path());
    stubs.Add(console);
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "[RST]", "SatelliteAppln=1028"});
    Open();
    // The first click of a double click selects the entry.
    auto doubleClick = [this](const QString &name) {
        const QPoint at = List()->visualItemRect(Item(name)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };

    doubleClick("a.tsy");
    auto runs = stubs.WaitForRuns(console, 1);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, QStringList({"/F", app.lib("a.tsy")}));

    // A joint file starts one console per section, never the plain console line.
    stubs.Clear();
    doubleClick("b_joint.tsy");
    runs = stubs.WaitForRuns(console, 2);
    ASSERT_EQ(runs.size(), 2);
    for (const auto &run : runs)
        EXPECT_NE(run.arguments, QStringList({"/F", app.lib("b_joint.tsy")}));
}

TEST_F(MainWindowCommands, DoubleClickOnAnEmptyListStartsNothing)
{
    const QString console = QStringLiteral("TessHost.exe");
    StubPrograms stubs(app.path());
    stubs.Add(console);
    Open();
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, List()->viewport()->rect().center());
    EXPECT_TRUE(stubs.WaitForRuns(console, 1, 500).isEmpty());
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(MainWindowCommands, ExitClosesTheWindow)
{
    Open();
    QTest::mouseClick(window->tbExit->widgetForAction(Button("tbExit", 0)), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

// The merge-and-split pick: which names it records, and whether it complains or opens the
// publisher dialog (whose load ends the program when the databases cannot be reached).
class MainWindowMergeSplit : public MainWindowTest
{
protected:
    void SetUp() override
    {
        WriteConfig("a_fm.tsy", "4009");
        WriteConfig("b_rst.tsy", "1028");
        WriteConfig("c_fm.tsy", "4009");
        WriteConfig("d_web.tsy", "4010");
        WriteConfig("0_none.tsy", "9999"); // no known application
        WriteConfig("f_rst.tsy", "1028");
    }
};

TEST_F(MainWindowMergeSplit, PicksOneFieldmarkAndOneRostrum)
{
    struct Case
    {
        QStringList selected;
        const char *fieldmark;
        const char *rostrum;
        bool complaint;
        bool publisher;
    };
    const Case cases[] = {
        {{"a_fm.tsy", "b_rst.tsy"}, "a_fm.tsy", "b_rst.tsy", false, true},
        {{"f_rst.tsy", "c_fm.tsy"}, "c_fm.tsy", "f_rst.tsy", false, true},
        {{"0_none.tsy", "a_fm.tsy", "f_rst.tsy"}, "a_fm.tsy", "f_rst.tsy", false, true},
        {{"a_fm.tsy", "c_fm.tsy"}, "a_fm.tsy", "", true, false},
        {{"d_web.tsy", "b_rst.tsy"}, "", "b_rst.tsy", true, false},
        {{"a_fm.tsy", "d_web.tsy"}, "a_fm.tsy", "", true, false},
        {{"b_rst.tsy"}, "", "b_rst.tsy", false, false},
        {{"0_none.tsy", "b_rst.tsy"}, "", "b_rst.tsy", false, false},
    };
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        app.session().MnSFieldmarkConfig.clear();
        app.session().MnSRostrumConfig.clear();
        app.messages().ClearShown();
        const int quitsBefore = app.quitCount();
        std::shared_ptr<Opened> opened;
        if (c.publisher)
            opened = CloseWhenModal("frmMergeAndSplit", app.session());
        Select(c.selected);
        window->MnSConfig->trigger();
        Settle();
        EXPECT_EQ(app.session().MnSFieldmarkConfig, c.fieldmark);
        EXPECT_EQ(app.session().MnSRostrumConfig, c.rostrum);
        EXPECT_EQ(app.shownTexts().contains("invalid products for Merge and split"), c.complaint);
        const bool publisherReached = (opened && opened->seen) || app.quitCount() > quitsBefore;
        EXPECT_EQ(publisherReached, c.publisher);
    }
}

TEST_F(MainWindowMergeSplit, ThePickReadsEachEntrysOwnFileAfterSorting)
{
    Open();
    ClickHeader(1); // by application: the entries no longer stand in directory order
    ASSERT_NE(Names().indexOf("f_rst.tsy"), 5);
    Select({"a_fm.tsy", "f_rst.tsy"});
    auto opened = CloseWhenModal("frmMergeAndSplit", app.session());
    window->MnSConfig->trigger();
    Settle();
    EXPECT_TRUE(app.shownTexts().filter("invalid products").isEmpty());
    EXPECT_EQ(app.session().MnSFieldmarkConfig, "a_fm.tsy");
    EXPECT_EQ(app.session().MnSRostrumConfig, "f_rst.tsy");
    EXPECT_TRUE(opened->seen || app.quitCount() > 0);
}

TEST_F(MainWindowMergeSplit, TheButtonRunsTheSamePick)
{
    Open();
    Select({"b_rst.tsy", "c_fm.tsy"});
    ASSERT_TRUE(Button("tbNED", 3)->isEnabled());
    auto opened = CloseWhenModal("frmMergeAndSplit", app.session());
    QTest::mouseClick(window->tbNED->widgetForAction(Button("tbNED", 3)), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(opened->seen || app.quitCount() > 0);
    EXPECT_EQ(app.session().MnSFieldmarkConfig, "c_fm.tsy");
    EXPECT_EQ(app.session().MnSRostrumConfig, "b_rst.tsy");
}

} // namespace
