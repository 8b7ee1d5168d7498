#include "MainWindowTest.h"

#include "config/PasswordScramble.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

class FirstStart : public MainWindowTest
{
protected:
    FirstStart() : MainWindowTest(false) {}
};

TEST_F(FirstStart, CreatesTheFoldersAndDisablesTheCommandsThatNeedAnEntry)
{
    ASSERT_FALSE(QDir(app.path() + "/lib").exists());
    Open();
    EXPECT_TRUE(QDir(app.path() + "/lib").exists());
    EXPECT_TRUE(QDir(app.path() + "/log").exists());
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_EQ(app.session().SelectedConfigName, "");
    EXPECT_EQ(app.session().SelectedConfigPath, "");
    for (QAction *a : {Button("tbNED", 1), Button("tbNED", 2), Button("tbNED", 3), Button("tbExecute", 0),
                       window->mnuExecute, window->mnuUpdate, window->mnuDelete})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(Button("tbNED", 0)->isEnabled());
    EXPECT_TRUE(window->mnuNew->isEnabled());
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(FirstStart, ALogFolderThatCannotBeMadeIsReportedAndStopsTheLoad)
{
    app.writeFile("log", "a file where the folder belongs");
    Open();
    EXPECT_EQ(app.shownTexts(), QStringList({"58 File already exists"}));
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Information);
    EXPECT_FALSE(QDir(app.path() + "/lib").exists());
}

using MainWindowLoad = MainWindowTest;

TEST_F(MainWindowLoad, LocalisesTitleMenusAndTooltipsAndKeepsHiddenItemsHidden)
{
    Open();
    EXPECT_EQ(window->windowTitle(), "Tessaly - Configuration Selector");
    EXPECT_EQ(app.session().ProgramTitle, "Configuration Selector");

    struct Row { QAction *item; const char *caption, *shortcut; bool visible; };
    const frmConfigurationSelector *w = window.get();
    const Row rows[] = {
        {w->mnuFile->menuAction(), "&File", "", true},       {w->mnuNew, "&New", "Ctrl+N", true},
        {w->mnuSep1, "", "", false},                         {w->mnuSetDefault, "Set as &Default", "", false},
        {w->mnuUpdate, "&Update", "Ctrl+E", true},           {w->mnuRename, "Re&name", "F2", true},
        {w->mnuDelete, "&Delete", "Del", true},              {w->MnSConfig, "Merge and Split Configuration", "", true},
        {w->mnuExit, "E&xit", "", true},                     {w->mnuView->menuAction(), "&View", "", true},
        {w->mnuToolbar, "&Tool bar", "", true},              {w->mnuStatusbar, "&Status bar", "", false},
        {w->mnuRefresh, "&Refresh", "F5", true},             {w->mnuRun->menuAction(), "&Run", "", true},
        {w->mnuExecute, "Run &Server Console", "", true},    {w->mnuExecuteJS, "Run Java Server", "", false},
        {w->mnuTools->menuAction(), "&Tools", "", false},    {w->mnuOptions, "&Options", "Ctrl+O", true},
        {w->mnuHelp->menuAction(), "&Help", "", true},       {w->mnuAbout, "&About", "", true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.item->objectName().toStdString() + " " + r.caption);
        EXPECT_EQ(r.item->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(r.item->shortcut().toString(), QLatin1String(r.shortcut));
        EXPECT_EQ(r.item->isVisible(), r.visible);
    }
    EXPECT_FALSE(window->mnuSetDefault->isEnabled());

    const QList<std::pair<QAction *, QString>> tooltips = {
        {Button("tbNED", 0), "New Configuration File"}, {Button("tbNED", 1), "Edit Configuration"},
        {Button("tbNED", 2), "Delete Configuration"},   {Button("tbNED", 3), "Configure Merge and Split"},
        {Button("tbExecute", 0), "Run Server Console"}, {Button("tlbJS", 0), "Run Java Server"},
        {Button("tbRefresh", 0), "Refresh List"},       {Button("tbExit", 0), "Exit"},
    };
    for (const auto &[button, tip] : tooltips)
        EXPECT_EQ(button->toolTip(), tip) << button->objectName().toStdString();
    EXPECT_FALSE(window->tlbJS->isVisible());
    EXPECT_TRUE(window->StatusBar1->isVisible());
}

TEST_F(MainWindowLoad, ListsEveryConfigurationFileWithItsColumns)
{
    QByteArray scrambled;
    for (char c : QByteArrayLiteral("s3cret"))
        scrambled += char(c ^ PasswordKey);
    app.writeFile("lib/a_fieldmark.tsy",
                  "SatelliteAppln=4009\r\nldbp=2\r\nDSN = ignored\r\ndsn=  FMK DSN  \r\ndatabase=fmdb\r\n"
                  "user=fm\r\npassword=" + scrambled + "\r\ndbmachinename=host1\r\nlhbuscomponent=cn=bus\r\n"
                  "logdirectory=/var/log/fm\r\nnot a key line\r\n\r\nmystery=1\r\n");
    WriteConfig("b_unknown.tsy", "1234");
    WriteConfig("c_webtrell.tsy", "4010");
    WriteConfig("d_rostrum.tsy", "1028", "RST");
    app.writeConfig("e_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "dsn=FMK", "[RST]", "SatelliteAppln=1028"});
    WriteConfig("f_upper.TSY", "4009");
    app.writeFile("lib/g_notes.txt", "dsn=x\r\n");
    Open();

    const QStringList columns[] = {
        {"a_fieldmark.tsy", "b_unknown.tsy", "c_webtrell.tsy", "d_rostrum.tsy", "e_joint.tsy"},
        {"Fieldmark", "", "Webtrell", "Rostrum", ""},
        {"FMK DSN", "DSN1", "DSN1", "RST", ""},
        {"fmdb", "db", "db", "db", ""},
        {"fm", "u", "u", "u", ""},
        {"cn=bus", "bus", "bus", "bus", ""},
        {"/var/log/fm", "/logs", "/logs", "/logs", ""},
    };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(Column(c), columns[c]) << "column " << c;
    for (const QString &name : Names())
        EXPECT_EQ(Item(name)->font(0).bold(), name == "e_joint.tsy") << name.toStdString();

    // One slot per file of the folder; the listed files fill the first ones.
    QStringList files;
    QList<int> products;
    for (const ConfigEntry &e : window->ConfigEntries()) {
        files << e.FileName;
        products << e.ProductCode;
    }
    EXPECT_EQ(files, columns[0] + QStringList({"", ""}));
    EXPECT_EQ(products, QList<int>({4009, 0, 4010, 1028, 0, 0, 0}));
    const ConfigEntry &fm = window->ConfigEntries()[0];
    EXPECT_EQ(QStringList({fm.Dsn, fm.User, fm.Password, fm.DbMachineName}),
              QStringList({"FMK DSN", "fm", "s3cret", "host1"}));
    EXPECT_EQ(fm.Platform, 2);

    EXPECT_EQ(app.session().SelectedConfigName, "a_fieldmark.tsy");
    EXPECT_EQ(app.session().SelectedConfigPath, app.lib("a_fieldmark.tsy"));
    EXPECT_FALSE(window->IsMergeSplitSelected);
    EXPECT_TRUE(Button("tbExecute", 0)->isEnabled());
}

TEST_F(MainWindowLoad, APlatformThatIsNoWholeNumberStopsTheListAtThatFile)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b.tsy", "4009", "DSN1", "one");
    WriteConfig("c.tsy", "4009");
    Open();
    EXPECT_EQ(app.shownTexts(), QStringList({"13 Type mismatch"}));
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Information);
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b.tsy"}));
}

using MainWindowList = MainWindowTest;

// A joint file first is the merge-and-split selection from the load on. A single click names the
// selection (joint or not); more entries keep the first one's name.
TEST_F(MainWindowList, SelectionSetsTheRunAndMergeButtonsAndTheSelectedName)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
        WriteConfig(name, "4009");
    app.writeConfig("0_joint.tsy", {"[FMK]"});
    Open();
    EXPECT_TRUE(window->IsMergeSplitSelected);

    struct Case { QStringList selected; bool run, mergeSplit; const char *name; bool joint; };
    const Case cases[] = {
        {{"a.tsy", "b.tsy"}, false, true, "a.tsy", false},
        {{"a.tsy", "b.tsy", "c.tsy"}, false, false, "a.tsy", false},
        {{"b.tsy"}, true, false, "b.tsy", false},
        {{"a.tsy", "0_joint.tsy"}, false, true, "a.tsy", false},
        {{"0_joint.tsy"}, true, false, "0_joint.tsy", true},
        {{"c.tsy", "a.tsy"}, false, true, "c.tsy", false},
        {{"c.tsy"}, true, false, "c.tsy", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        Select(c.selected);
        EXPECT_EQ(Button("tbExecute", 0)->isEnabled(), c.run);
        EXPECT_EQ(Button("tbNED", 3)->isEnabled(), c.mergeSplit);
        EXPECT_EQ(app.session().SelectedConfigName, c.name);
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(c.name));
        EXPECT_EQ(window->IsMergeSplitSelected, c.joint);
    }
    // The menu item is not the button: it stays as the load left it.
    EXPECT_TRUE(window->MnSConfig->isEnabled());
}

TEST_F(MainWindowList, HeaderClicksSortAscendingThenDescendingAndRefreshKeepsTheOrder)
{
    WriteConfig("a.tsy", "4009", "beta");
    WriteConfig("b.tsy", "4009", "Gamma");
    WriteConfig("c.tsy", "4009", "alpha");
    Open();

    ClickHeader(2);
    EXPECT_EQ(Column(2), QStringList({"alpha", "beta", "Gamma"}));
    ClickHeader(2);
    EXPECT_EQ(Column(2), QStringList({"Gamma", "beta", "alpha"}));

    WriteConfig("d.tsy", "4009", "delta");
    Key(Qt::Key_F5);
    EXPECT_EQ(Column(2), QStringList({"Gamma", "delta", "beta", "alpha"}));

    // The order toggles whichever column is clicked.
    ClickHeader(0);
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b.tsy", "c.tsy", "d.tsy"}));
}

// F2 on the selected entry, the typed text, Enter.
class MainWindowRename : public MainWindowTest
{
protected:
    void Rename(const QString &from, const QString &typed)
    {
        Select({from});
        Key(Qt::Key_F2);
        auto *editor = List()->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
    }

    QStringList Files() const { return QDir(app.lib()).entryList(QDir::Files, QDir::Name); }
};

// The file moves and the selection follows it; the same name (with or without the extension)
// moves nothing; a forbidden character is refused. The list shows the file's name each time.
TEST_F(MainWindowRename, MovesTheFileOrRefusesAndTheListShowsTheFileName)
{
    struct Case { const char *typed, *file; bool refused; };
    const Case cases[] = {
        {"renamed", "renamed.tsy", false}, {"again.tsy", "again.tsy", false}, {"again", "again.tsy", false},
        {"again.tsy", "again.tsy", false}, {"x.TSY", "x.TSY.tsy", false},    {"bad:name", "x.TSY.tsy", true},
        {"a/b", "x.TSY.tsy", true},        {"what?", "x.TSY.tsy", true},      {"pipe|d", "x.TSY.tsy", true},
    };
    QString current = "a.tsy";
    WriteConfig(current, "4009");
    WriteConfig("z.tsy", "1028");
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        app.messages().ClearShown();
        Rename(current, c.typed);
        EXPECT_EQ(Files(), QStringList({c.file, "z.tsy"}));
        EXPECT_EQ(Names(), QStringList({c.file, "z.tsy"}));
        EXPECT_EQ(app.session().SelectedConfigName, c.file);
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(c.file));
        EXPECT_EQ(app.shownTexts(), c.refused ? QStringList({app.session().GetText("SLBL0357")}) : QStringList());
        current = c.file;
    }
}

TEST_F(MainWindowRename, AFailedMoveIsReportedAndTheEntryShowsTheTypedName)
{
    WriteConfig("a.tsy", "4009", "first");
    WriteConfig("b.tsy", "1028", "second");
    Open();
    Rename("a.tsy", "b");
    EXPECT_EQ(app.shownTexts(), QStringList({"File already exists"}));
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::None);
    EXPECT_EQ(Names(), QStringList({"b", "b.tsy"}));
    EXPECT_EQ(app.session().SelectedConfigName, "a.tsy");
    EXPECT_TRUE(app.readFile("lib/a.tsy").contains("dsn=first"));
    EXPECT_TRUE(app.readFile("lib/b.tsy").contains("dsn=second"));

    QFile::remove(app.lib("b.tsy"));
    app.messages().ClearShown();
    Rename("b.tsy", "gone");
    EXPECT_EQ(app.shownTexts(), QStringList({"File not found"}));
}

} // namespace
