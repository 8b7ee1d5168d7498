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
    ASSERT_EQ(app.messages().ShownMessages().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].text, "58 File already exists");
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Information);
    EXPECT_FALSE(QDir(app.path() + "/lib").exists());
}

using MainWindowLoad = MainWindowTest;

TEST_F(MainWindowLoad, LocalisesTitleMenusAndTooltipsAndKeepsHiddenItemsHidden)
{
    Open();
    EXPECT_EQ(window->windowTitle(), "Tessaly - Configuration Selector");
    EXPECT_EQ(app.session().ProgramTitle, "Configuration Selector");
    EXPECT_EQ(app.session().NewConfigName, "New Configuration");

    struct Row
    {
        QAction *item;
        const char *caption;
        const char *shortcut;
        bool visible;
    };
    const Row rows[] = {
        {window->mnuFile->menuAction(), "&File", "", true},
        {window->mnuNew, "&New", "Ctrl+N", true},
        {window->mnuSep1, "", "", false},
        {window->mnuSetDefault, "Set as &Default", "", false},
        {window->mnuUpdate, "&Update", "Ctrl+E", true},
        {window->mnuRename, "Re&name", "F2", true},
        {window->mnuDelete, "&Delete", "Del", true},
        {window->MnSConfig, "Merge and Split Configuration", "", true},
        {window->mnuExit, "E&xit", "", true},
        {window->mnuView->menuAction(), "&View", "", true},
        {window->mnuToolbar, "&Tool bar", "", true},
        {window->mnuStatusbar, "&Status bar", "", false},
        {window->mnuRefresh, "&Refresh", "F5", true},
        {window->mnuRun->menuAction(), "&Run", "", true},
        {window->mnuExecute, "Run &Server Console", "", true},
        {window->mnuExecuteJS, "Run Java Server", "", false},
        {window->mnuTools->menuAction(), "&Tools", "", false},
        {window->mnuOptions, "&Options", "Ctrl+O", true},
        {window->mnuHelp->menuAction(), "&Help", "", true},
        {window->mnuAbout, "&About", "", true},
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
    EXPECT_TRUE(window->cbMain->isVisible());
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

    EXPECT_EQ(Names(), QStringList({"a_fieldmark.tsy", "b_unknown.tsy", "c_webtrell.tsy", "d_rostrum.tsy",
                                    "e_joint.tsy"}));
    EXPECT_EQ(Column(1), QStringList({"Fieldmark", "", "Webtrell", "Rostrum", ""}));
    EXPECT_EQ(Column(2), QStringList({"FMK DSN", "DSN1", "DSN1", "RST", ""}));
    EXPECT_EQ(Column(3), QStringList({"fmdb", "db", "db", "db", ""}));
    EXPECT_EQ(Column(4), QStringList({"fm", "u", "u", "u", ""}));
    EXPECT_EQ(Column(5), QStringList({"cn=bus", "bus", "bus", "bus", ""}));
    EXPECT_EQ(Column(6), QStringList({"/var/log/fm", "/logs", "/logs", "/logs", ""}));
    for (const QString &name : Names())
        EXPECT_EQ(Item(name)->font(0).bold(), name == "e_joint.tsy") << name.toStdString();

    // One slot per file of the folder; the listed files fill the first ones.
    const QList<ConfigEntry> &entries = window->ConfigEntries();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries[0].FileName, "a_fieldmark.tsy");
    EXPECT_EQ(entries[0].ProductCode, 4009);
    EXPECT_EQ(entries[0].Dsn, "FMK DSN");
    EXPECT_EQ(entries[0].User, "fm");
    EXPECT_EQ(entries[0].Password, "s3cret");
    EXPECT_EQ(entries[0].Platform, 2);
    EXPECT_EQ(entries[0].DbMachineName, "host1");
    EXPECT_EQ(entries[1].ProductCode, 0);
    EXPECT_EQ(entries[3].ProductCode, 1028);
    EXPECT_EQ(entries[4].ProductCode, 0);
    EXPECT_EQ(entries[5].FileName, "");
    EXPECT_EQ(entries[6].FileName, "");

    EXPECT_EQ(app.session().SelectedConfigName, "a_fieldmark.tsy");
    EXPECT_EQ(app.session().SelectedConfigPath, app.lib("a_fieldmark.tsy"));
    EXPECT_FALSE(window->IsMergeSplitSelected);
    EXPECT_TRUE(window->mnuUpdate->isEnabled());
    EXPECT_TRUE(Button("tbExecute", 0)->isEnabled());
    EXPECT_FALSE(Button("tbNED", 3)->isEnabled());
}

TEST_F(MainWindowLoad, AJointFileFirstIsTheMergeAndSplitSelection)
{
    app.writeConfig("a_joint.tsy", {"[FMK]", "SatelliteAppln=4009"});
    WriteConfig("b.tsy", "4009");
    Open();
    EXPECT_TRUE(window->IsMergeSplitSelected);
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

TEST_F(MainWindowList, SelectionCountSetsTheRunAndMergeButtons)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
        WriteConfig(name, "4009");
    app.writeConfig("d_joint.tsy", {"[FMK]"});
    Open();

    struct Case
    {
        QStringList selected;
        bool run, mergeSplit;
    };
    const Case cases[] = {
        {{"a.tsy", "b.tsy"}, false, true},
        {{"a.tsy", "b.tsy", "c.tsy"}, false, false},
        {{"b.tsy"}, true, false},
        {{"a.tsy", "d_joint.tsy"}, false, true},
        {{"c.tsy"}, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        Select(c.selected);
        EXPECT_EQ(Button("tbExecute", 0)->isEnabled(), c.run);
        EXPECT_EQ(Button("tbNED", 3)->isEnabled(), c.mergeSplit);
    }
    // The menu item is not the button: it stays as the load left it.
    EXPECT_TRUE(window->MnSConfig->isEnabled());
}

TEST_F(MainWindowList, ASingleClickNamesTheSelectionAndSeveralKeepIt)
{
    WriteConfig("a.tsy", "4009");
    app.writeConfig("b_joint.tsy", {"[FMK]"});
    WriteConfig("c.tsy", "1028");
    Open();

    Select({"b_joint.tsy"});
    EXPECT_TRUE(window->IsMergeSplitSelected);
    EXPECT_EQ(app.session().SelectedConfigName, "b_joint.tsy");
    EXPECT_EQ(app.session().SelectedConfigPath, app.lib("b_joint.tsy"));

    Select({"c.tsy", "a.tsy"});
    EXPECT_EQ(app.session().SelectedConfigName, "c.tsy");
    EXPECT_FALSE(window->IsMergeSplitSelected);
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

TEST_F(MainWindowRename, MovesTheFileAndFollowsIt)
{
    struct Case
    {
        const char *typed;
        const char *file;
    };
    const Case cases[] = {{"renamed", "renamed.tsy"}, {"again.tsy", "again.tsy"}, {"x.TSY", "x.TSY.tsy"}};
    QString current = "a.tsy";
    WriteConfig(current, "4009");
    WriteConfig("z.tsy", "1028");
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        Rename(current, c.typed);
        EXPECT_EQ(Files(), QStringList({c.file, "z.tsy"}));
        EXPECT_NE(Item(c.file), nullptr);
        EXPECT_EQ(app.session().SelectedConfigName, c.file);
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(c.file));
        current = c.file;
    }
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(MainWindowRename, TheSameNameWithOrWithoutExtensionMovesNothing)
{
    WriteConfig("a.tsy", "4009");
    Open();
    for (const char *typed : {"a.tsy", "a"}) {
        Rename("a.tsy", typed);
        EXPECT_EQ(Files(), QStringList({"a.tsy"}));
        EXPECT_EQ(Names(), QStringList({"a.tsy"}));
    }
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(MainWindowRename, AForbiddenCharacterIsRefusedAndNothingMoves)
{
    WriteConfig("a.tsy", "4009");
    Open();
    for (const char *typed : {"bad:name", "a/b", "what?", "pipe|d"}) {
        SCOPED_TRACE(typed);
        app.messages().ClearShown();
        Rename("a.tsy", typed);
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        EXPECT_EQ(app.messages().ShownMessages()[0].text, app.session().GetText("SLBL0357"));
        EXPECT_EQ(Files(), QStringList({"a.tsy"}));
        EXPECT_EQ(Names(), QStringList({"a.tsy"}));
        EXPECT_EQ(app.session().SelectedConfigName, "a.tsy");
    }
}

TEST_F(MainWindowRename, AFailedMoveIsReportedAndTheEntryShowsTheTypedName)
{
    WriteConfig("a.tsy", "4009", "first");
    WriteConfig("b.tsy", "1028", "second");
    Open();
    Rename("a.tsy", "b");
    ASSERT_EQ(app.messages().ShownMessages().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].text, "File already exists");
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::None);
    EXPECT_EQ(Names(), QStringList({"b", "b.tsy"}));
    EXPECT_EQ(app.session().SelectedConfigName, "a.tsy");
    // Neither file was touched.
    EXPECT_TRUE(app.readFile("lib/a.tsy").contains("dsn=first"));
    EXPECT_TRUE(app.readFile("lib/b.tsy").contains("dsn=second"));

    QFile::remove(app.lib("b.tsy"));
    app.messages().ClearShown();
    Rename("b.tsy", "gone");
    EXPECT_EQ(app.shownTexts(), QStringList({"File not found"}));
}

} // namespace
