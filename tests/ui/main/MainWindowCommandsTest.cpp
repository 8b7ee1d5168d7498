#include "MainWindowTest.h"

#include "support/StubPrograms.h"

#include <QDialog>
#include <QFile>
#include <QStatusBar>
#include <QToolButton>

namespace {

// Which modal window opened first and what it saw; it is closed at once.
struct Opened
{
    QString window, selectedName, selectedPath;
};

std::shared_ptr<Opened> CloseWhenModal(Session &session, int timeoutMs = 5000)
{
    auto opened = std::make_shared<Opened>();
    WhenModal(QString(), [opened, &session](QWidget *w) {
        *opened = {w->objectName(), session.SelectedConfigName, session.SelectedConfigPath};
        static_cast<QDialog *>(w)->reject();
    }, timeoutMs);
    return opened;
}

const QString Console = QStringLiteral("TessHost.exe");

using MainWindowCommands = MainWindowTest;

// Each command's editor sees the selection it needs; after it the list is refreshed (a file
// written meanwhile shows) and the entry selected before is selected again.
TEST_F(MainWindowCommands, NewAndUpdateOpenTheEditorThatFitsThenRefresh)
{
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "[RST]", "SatelliteAppln=1028"});
    Open();

    struct Case { int key; const char *select, *window, *name; bool unsaved; };
    const Case cases[] = {
        {Qt::Key_N, "b_joint.tsy", "frmEditConfiguration", "New Configuration", true},
        {Qt::Key_E, "b_joint.tsy", "frmEditConfigurationMergeSplit", "b_joint.tsy", false},
        {Qt::Key_E, "a.tsy", "frmEditConfiguration", "a.tsy", false},
        {Qt::Key_E, nullptr, "frmEditConfiguration", "New Configuration", true}, // a.tsy, its path forgotten
    };
    QString selected;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.window);
        if (c.select)
            Select({selected = c.select});
        else
            app.session().SelectedConfigPath.clear();
        const QString saved = QString("saved%1.tsy").arg(&c - cases);
        WriteConfig(saved, "1028");
        auto opened = CloseWhenModal(app.session());
        Key(c.key, Qt::ControlModifier);
        ASSERT_EQ(opened->window, c.window);
        EXPECT_EQ(opened->selectedName, c.name);
        EXPECT_EQ(opened->selectedPath, c.unsaved ? QString() : app.lib(c.name));
        EXPECT_NE(Item(saved), nullptr);
        EXPECT_EQ(app.session().SelectedConfigName, selected);
        EXPECT_EQ(List()->selectedItems(), QList<QTreeWidgetItem *>({Item(selected)}));
    }
}

TEST_F(MainWindowCommands, DeleteAsksAndRemovesOnlyOnYes)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b.tsy", "4009");
    Open();
    Select({"b.tsy"});
    const QString question = app.session().GetText("SLBL0029");
    for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        app.messages().ClearShown();
        app.messages().SetNextAnswers({answer});
        Key(Qt::Key_Delete);
        EXPECT_EQ(app.shownTexts(), QStringList({question}));
        EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(QFile::exists(app.lib("b.tsy")), answer == MsgResult::No);
        EXPECT_EQ(Names(), answer == MsgResult::No ? QStringList({"a.tsy", "b.tsy"}) : QStringList({"a.tsy"}));
    }

    // Deleting it again fails and says so; the list is refreshed all the same.
    WriteConfig("c.tsy", "1028");
    app.messages().ClearShown();
    app.messages().SetNextAnswers({MsgResult::Yes});
    ClickButton("tbNED", 2);
    EXPECT_EQ(app.shownTexts(), QStringList({question, app.session().GetText("SLBL0119")}));
    EXPECT_EQ(app.messages().ShownMessages()[1].icon, MsgIcon::Information);
    EXPECT_EQ(Names(), QStringList({"a.tsy", "c.tsy"}));
}

// An entry deleted or renamed elsewhere is not found by its exact name: nothing is selected and
// the selection keeps naming it.
TEST_F(MainWindowCommands, RefreshSelectsTheRememberedEntryByExactName)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
        WriteConfig(name, "4009");
    Open();
    for (const auto &[select, renamed] : {std::pair<QString, QString>{"c.tsy", ""}, {"b.tsy", "B.tsy"}}) {
        SCOPED_TRACE(select.toStdString());
        Select({select});
        ASSERT_TRUE(renamed.isEmpty() ? QFile::remove(app.lib(select))
                                      : QFile::rename(app.lib(select), app.lib(renamed)));
        Key(Qt::Key_F5);
        EXPECT_TRUE(List()->selectedItems().isEmpty());
        EXPECT_EQ(app.session().SelectedConfigName, select);
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(select));
    }
    EXPECT_EQ(Names(), QStringList({"a.tsy", "B.tsy"}));
}

TEST_F(MainWindowCommands, TheToolBarToggleMovesTheListToTheTop)
{
    Open();
    Settle();
    const int top = List()->y();
    EXPECT_GT(top, 0);
    for (bool shown : {false, true}) {
        window->mnuToolbar->trigger();
        Settle();
        EXPECT_EQ(window->cbMain->isVisible(), shown);
        EXPECT_EQ(List()->y(), shown ? top : 0);
    }
    window->mnuStatusbar->trigger();
    EXPECT_FALSE(window->StatusBar1->isVisible());
}

// On an empty list the commands that need an entry do nothing. Configurations made elsewhere
// show after F5, which enables them; a double click then starts the one clicked.
TEST_F(MainWindowCommands, DoubleClickStartsTheConfigurationAndNothingOnAnEmptyList)
{
    StubPrograms stubs(app.path());
    stubs.Add(Console);
    Open();
    auto opened = CloseWhenModal(app.session(), 200);
    Key(Qt::Key_E, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, List()->viewport()->rect().center());
    EXPECT_TRUE(stubs.WaitForRuns(Console, 1, 500).isEmpty());
    EXPECT_EQ(opened->window, "");
    EXPECT_TRUE(app.shownTexts().isEmpty());

    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "[RST]", "SatelliteAppln=1028"});
    Key(Qt::Key_F5);
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b_joint.tsy"}));
    EXPECT_TRUE(window->mnuUpdate->isEnabled());
    EXPECT_TRUE(window->mnuDelete->isEnabled());

    // The first click of a double click selects the entry.
    auto doubleClick = [this](const QString &name) {
        Select({name});
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(Item(name)).center());
    };
    doubleClick("a.tsy");
    auto runs = stubs.WaitForRuns(Console, 1);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].arguments, QStringList({"/F", app.lib("a.tsy")}));

    // A joint file starts one console per section, never the plain console line.
    stubs.Clear();
    doubleClick("b_joint.tsy");
    runs = stubs.WaitForRuns(Console, 2);
    ASSERT_EQ(runs.size(), 2);
    for (const auto &run : runs)
        EXPECT_NE(run.arguments, QStringList({"/F", app.lib("b_joint.tsy")}));
}

TEST_F(MainWindowCommands, ExitClosesTheWindow)
{
    Open();
    ClickButton("tbExit", 0);
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
    struct Case { QStringList selected; const char *fieldmark, *rostrum; bool complaint, publisher; };
    const Case cases[] = {
        {{"a_fm.tsy", "b_rst.tsy"}, "a_fm.tsy", "b_rst.tsy", false, true},
        {{"b_rst.tsy", "c_fm.tsy"}, "c_fm.tsy", "b_rst.tsy", false, true},
        {{"0_none.tsy", "a_fm.tsy", "f_rst.tsy"}, "a_fm.tsy", "f_rst.tsy", false, true},
        {{"a_fm.tsy", "c_fm.tsy"}, "a_fm.tsy", "", true, false},
        {{"d_web.tsy", "f_rst.tsy"}, "", "", true, false},
        {{"a_fm.tsy", "d_web.tsy"}, "a_fm.tsy", "", true, false},
        {{"b_rst.tsy"}, "", "b_rst.tsy", false, false},
        {{"0_none.tsy", "a_fm.tsy", "c_fm.tsy"}, "a_fm.tsy", "", true, false},
    };
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        app.session().MnSFieldmarkConfig.clear();
        app.session().MnSRostrumConfig.clear();
        app.messages().ClearShown();
        std::shared_ptr<Opened> opened;
        if (c.publisher)
            opened = CloseWhenModal(app.session());
        Select(c.selected);
        window->MnSConfig->trigger();
        Settle();
        EXPECT_EQ(app.session().MnSFieldmarkConfig, c.fieldmark);
        EXPECT_EQ(app.session().MnSRostrumConfig, c.rostrum);
        EXPECT_EQ(app.shownTexts().contains("invalid products for Merge and split"), c.complaint);
        // Without a database behind the entries the dialog tells so and does not show.
        EXPECT_EQ((opened && opened->window == "frmMergeAndSplit")
                      || !app.shownTexts().filter("Database connection failed").isEmpty(),
                  c.publisher);
    }
}

// Sorted by application, the entries no longer stand in directory order; the tool button runs the pick.
TEST_F(MainWindowMergeSplit, TheButtonPicksFromEachEntrysOwnFileAfterSorting)
{
    Open();
    ClickHeader(1);
    ASSERT_NE(Names().indexOf("f_rst.tsy"), 5);
    Select({"a_fm.tsy", "f_rst.tsy"});
    auto opened = CloseWhenModal(app.session());
    ClickButton("tbNED", 3);
    EXPECT_TRUE(app.shownTexts().filter("invalid products").isEmpty());
    EXPECT_EQ(app.session().MnSFieldmarkConfig, "a_fm.tsy");
    EXPECT_EQ(app.session().MnSRostrumConfig, "f_rst.tsy");
    EXPECT_TRUE(opened->window == "frmMergeAndSplit" || !app.shownTexts().filter("Database connection failed").isEmpty());
}

} // namespace
