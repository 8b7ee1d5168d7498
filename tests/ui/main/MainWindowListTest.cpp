#include "MainWindowTest.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenuBar>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FirstStart : public MainWindowTest
{
protected:
    FirstStart() : MainWindowTest(false) {}
};

TEST_F(FirstStart, CreatesTheFoldersDisablesTheRowCommandsAndReportsAnUnreadableFolder)
{
    ASSERT_FALSE(QDir(app.path() + "/lib").exists());
    Open();
    EXPECT_TRUE(QDir(app.path() + "/lib").exists());
    EXPECT_TRUE(QDir(app.path() + "/log").exists());
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    for (QAction *a : {Action("Edit"), Action("Delete"), Action("ConfigMnS"), Action("Run")})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(Action("New")->isEnabled());
    EXPECT_TRUE(app.shownTexts().isEmpty());

    // A file made elsewhere shows after F5; a folder that cannot be read is said to be so, not
    // shown as an empty list.
    WriteConfig("a.tsy", "4009");
    Key(Qt::Key_F5);
    EXPECT_EQ(StatusText("lblCount"), "1 configuration");
    ASSERT_TRUE(QDir(app.lib()).removeRecursively());
    Key(Qt::Key_F5);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(app.lib())) << app.shownTexts()[0].toStdString();
    EXPECT_TRUE(app.shownTexts()[0].contains(qt_error_string(ENOENT)));
    EXPECT_EQ(StatusText("lblCount"), "0 configurations");
}

TEST_F(FirstStart, ALogFolderThatCannotBeMadeIsReportedAndStopsTheLoad)
{
    app.writeFile("log", "a file where the folder belongs");
    Open();
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].asker, window.get());
    EXPECT_FALSE(QDir(app.path() + "/lib").exists());
}

using MainWindowLoad = MainWindowTest;

// Localised captions may give two items the same Alt letter: within the menu bar and each
// menu a letter names one visible item only. Items of commands not offered stay hidden.
TEST_F(MainWindowLoad, MenusHaveNoAltLetterClashesAndHideTheCommandsNotOffered)
{
    Open();
    for (QAction *hidden : {Action("mnuSetDefault"), Action("mnuStatusbar"), Action("mnuExecuteJS"),
                            Menu("mnuTools")->menuAction()})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_FALSE(Child<QToolBar>(window.get(), "tlbJS")->isVisible());

    QList<QMenu *> menus = window->menuBar()->findChildren<QMenu *>();
    menus << nullptr; // the menu bar itself
    for (QMenu *menu : menus) {
        const QList<QAction *> items = menu ? menu->actions() : window->menuBar()->actions();
        QStringList letters;
        for (QAction *item : items) {
            const qsizetype at = item->text().remove(QStringLiteral("&&")).indexOf(u'&');
            if (item->isVisible() && at >= 0)
                letters << item->text().remove(QStringLiteral("&&")).mid(at + 1, 1).toUpper();
        }
        EXPECT_EQ(letters.removeDuplicates(), 0) << (menu ? menu->objectName() : QString("mnuBar")).toStdString();
    }
}

// Only .tsy files, whatever the case of the extension, in name order; a joint file in bold.
TEST_F(MainWindowLoad, ListsEveryConfigurationFileWithItsColumns)
{
    app.writeConfig("a_fieldmark.tsy", {"SatelliteAppln=4009", "ldbp=2", "dsn=FMK", "database=fmdb", "user=fm",
                                        "lhbuscomponent=bus", "logdirectory=/var/log/fm"});
    WriteConfig("b_unknown.tsy", "1234");
    WriteConfig("c_webtrell.tsy", "4010");
    app.writeConfig("e_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "dsn=FMK", "[RST]", "SatelliteAppln=1028"});
    WriteConfig("f_upper.TSY", "4009");
    app.writeFile("lib/g_notes.txt", "dsn=x\r\n");
    Open();

    const QStringList columns[] = {
        {"a_fieldmark.tsy", "b_unknown.tsy", "c_webtrell.tsy", "e_joint.tsy"},
        {"Fieldmark", "", "Webtrell", ""}, {"FMK", "DSN1", "DSN1", ""}, {"fmdb", "db", "db", ""},
        {"fm", "u", "u", ""}, {"bus", "bus", "bus", ""}, {"/var/log/fm", "/logs", "/logs", ""},
    };
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(Column(c), columns[c]) << "column " << c;
    for (const QString &name : Names())
        EXPECT_EQ(Item(name)->font(0).bold(), name == "e_joint.tsy") << name.toStdString();
    EXPECT_EQ(app.session().SelectedConfigPath, app.lib("a_fieldmark.tsy"));
}

// A file that cannot be read hides no other: each is listed, greyed, with its reason, and one
// message per fill names them all. Run and Merge and Split are not offered for them.
TEST_F(MainWindowLoad, UnreadableFilesAreListedGreyedAndNamedOncePerFill)
{
    WriteConfig("a.tsy", "4009");
    WriteConfig("b_platform.tsy", "4009", "DSN1", "one");
    WriteConfig("c.tsy", "1028");
    ASSERT_EQ(::mkfifo(QFile::encodeName(app.lib("d_fifo.tsy")).constData(), 0600), 0);
    // A name that is not valid text in the system's encoding (Latin-1 "é").
    const QByteArray badName = QFile::encodeName(app.lib()) + "/e_caf\xe9.tsy";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    WriteConfig("f.tsy", "4009");
    Open();

    const QString bad = Names().value(4);
    EXPECT_TRUE(bad.startsWith("e_caf") && bad.endsWith(".tsy")) << bad.toStdString();
    EXPECT_EQ(Names(), QStringList({"a.tsy", "b_platform.tsy", "c.tsy", "d_fifo.tsy", bad, "f.tsy"}));
    const QStringList unreadable = {"b_platform.tsy", "d_fifo.tsy", bad};
    for (const QString &name : Names()) {
        SCOPED_TRACE(name.toStdString());
        const bool greyed = unreadable.contains(name);
        EXPECT_EQ(Item(name)->toolTip(0).isEmpty(), !greyed);
        EXPECT_EQ(Item(name)->foreground(2) == List()->palette().brush(QPalette::Disabled, QPalette::Text), greyed);
    }
    EXPECT_TRUE(Item("b_platform.tsy")->toolTip(3).contains("Type mismatch"));
    ASSERT_EQ(app.shownTexts().size(), 1);
    for (const QString &name : unreadable)
        EXPECT_TRUE(app.shownTexts()[0].contains(name + ": " + Item(name)->toolTip(0))) << name.toStdString();

    struct Case { QStringList selected; bool run, mergeSplit; };
    const Case cases[] = {
        {{"b_platform.tsy"}, false, false}, {{"b_platform.tsy", "c.tsy"}, false, false},
        {{"a.tsy", "c.tsy"}, false, true},  {{"f.tsy"}, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        Select(c.selected);
        EXPECT_EQ(Action("mnuExecute")->isEnabled(), c.run);
        EXPECT_EQ(Action("MnSConfig")->isEnabled(), c.mergeSplit);
        // Still there to be opened, renamed or deleted.
        EXPECT_TRUE(Action("mnuDelete")->isEnabled());
    }

    // A double click on it says why it does not run.
    DoubleClick("b_platform.tsy");
    EXPECT_EQ(StatusText("lblOutcome"), "b_platform.tsy cannot be run: " + Item("b_platform.tsy")->toolTip(0));

    app.messages().ClearShown();
    Key(Qt::Key_F5);
    EXPECT_EQ(app.shownTexts().size(), 1);
    EXPECT_EQ(Names().size(), 6);
}

TEST_F(MainWindowLoad, BeyondTheLimitTheFirstFilesAreListedAndTheRestCounted)
{
    const int limit = 32767;
    for (int i = 0; i < limit + 2; ++i) {
        QFile file(app.lib(QString("c%1.tsy").arg(i, 5, 10, QChar(u'0'))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Open();
    EXPECT_EQ(List()->topLevelItemCount(), limit);
    EXPECT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts().value(0).contains("2 more were left out")) << app.shownTexts().value(0).toStdString();
    EXPECT_EQ(StatusText("lblCount"), "32767 configurations");
}

using MainWindowList = MainWindowTest;

// What each command is offered for: Update one row, Rename and Delete any, Run one row,
// Merge and Split two rows; with nothing highlighted none of them, in menus and tool bars alike.
TEST_F(MainWindowList, CommandsFollowTheHighlightedRows)
{
    for (const char *name : {"a.tsy", "b.tsy", "c.tsy"})
        WriteConfig(name, "4009");
    app.writeConfig("0_joint.tsy", {"[FMK]"});
    Open();

    struct Case { QStringList selected; bool update, any, run, mergeSplit; const char *name; };
    const Case cases[] = {
        {{"a.tsy", "b.tsy"}, false, true, false, true, "b.tsy"},
        {{"a.tsy", "b.tsy", "c.tsy"}, false, true, false, false, "c.tsy"},
        {{"b.tsy"}, true, true, true, false, "b.tsy"},
        {{"0_joint.tsy"}, true, true, true, false, "0_joint.tsy"},
        {{"c.tsy", "c.tsy"}, false, false, false, false, ""}, // Ctrl+click takes the only row away
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        Select(c.selected);
        const std::pair<QAction *, bool> states[] = {
            {Action("mnuUpdate"), c.update},   {Action("Edit"), c.update},      {Action("mnuRename"), c.any},
            {Action("mnuDelete"), c.any},      {Action("Delete"), c.any},         {Action("mnuExecute"), c.run},
            {Action("Run"), c.run}, {Action("MnSConfig"), c.mergeSplit}, {Action("ConfigMnS"), c.mergeSplit},
        };
        for (const auto &[action, enabled] : states)
            EXPECT_EQ(action->isEnabled(), enabled) << action->objectName().toStdString();
        EXPECT_EQ(app.session().SelectedConfigName, c.name);
        EXPECT_EQ(app.session().SelectedConfigPath, *c.name ? app.lib(c.name) : QString());
    }
}

using MainWindowRename = MainWindowTest;

// However the edit ends, the file renamed is the one of the row that was edited.
TEST_F(MainWindowRename, EndingTheEditAnyWayRenamesTheEditedRowsFile)
{
    WriteConfig("b.tsy", "1028", "other");
    struct Case { const char *how; std::function<void()> end; };
    const Case cases[] = {
        {"Enter", [this] { QTest::keyClick(List()->viewport()->findChild<QLineEdit *>(), Qt::Key_Return); }},
        {"click on another row", [this] { Select({"b.tsy"}); }},
        {"Ctrl+N", [this] {
             WhenModal(QString(), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
             Key(Qt::Key_N, Qt::ControlModifier);
         }},
        {"F5", [this] { Key(Qt::Key_F5); }},
        {"Delete", [this] { Key(Qt::Key_Delete); }}, // answered No by Enter
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        const QString from = QString("a_%1.tsy").arg(&c - cases), to = QString("r_%1").arg(&c - cases);
        WriteConfig(from, "4009");
        if (!window)
            Open();
        Key(Qt::Key_F5);
        Select({from});
        ASSERT_NE(StartRename(to), nullptr);
        c.end();
        Settle();
        EXPECT_TRUE(QFile::exists(app.lib(to + ".tsy")));
        EXPECT_FALSE(QFile::exists(app.lib(from)));
        EXPECT_TRUE(app.readFile("lib/b.tsy").contains("dsn=other"));
    }
}

// F2 with several rows highlighted edits the current one, and that row's file is renamed. The
// list is sorted again and the renamed row stays highlighted under its new name.
TEST_F(MainWindowRename, TheCurrentOfSeveralRowsIsRenamedAndStaysHighlighted)
{
    for (const char *name : {"a.tsy", "m.tsy", "z.tsy"})
        WriteConfig(name, "4009", name);
    Open();
    Select({"m.tsy", "a.tsy"});
    Rename("zz");
    EXPECT_EQ(Files(), QStringList({"m.tsy", "z.tsy", "zz.tsy"}));
    EXPECT_TRUE(app.readFile("lib/zz.tsy").contains("dsn=a.tsy"));
    EXPECT_EQ(Highlighted(), QStringList({"m.tsy", "zz.tsy"}));
    EXPECT_EQ(List()->currentItem(), Item("zz.tsy"));
    EXPECT_EQ(app.session().SelectedConfigName, "zz.tsy");
}

// Names are stored as Windows stores them; what cannot be a name, or cannot be moved, is refused
// and the row goes on showing, and pointing at, its real file.
TEST_F(MainWindowRename, NamesAreMadeValidOrRefusedAndTheRowKeepsItsRealFile)
{
    struct Case { const char *typed, *file, *message; };
    const Case cases[] = {
        {"renamed. .", "renamed.tsy", nullptr}, {"bad:name", "renamed.tsy", "SLBL0357"},
        {"  ", "renamed.tsy", "SLBL0154"},      {"z", "renamed.tsy", "File already exists"},
    };
    QString current = "a.tsy";
    WriteConfig(current, "4009");
    WriteConfig("z.tsy", "1028");
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        app.messages().ClearShown();
        Select({current});
        Rename(c.typed);
        EXPECT_EQ(Files(), QStringList({c.file, "z.tsy"}));
        EXPECT_EQ(Highlighted(), QStringList({c.file}));
        EXPECT_EQ(app.session().SelectedConfigPath, app.lib(c.file));
        const QString message = !c.message ? QString() : QString(c.message).startsWith("SLBL")
                                                             ? app.session().GetText(c.message) : QString(c.message);
        EXPECT_EQ(app.shownTexts(), message.isEmpty() ? QStringList() : QStringList({message}));
        EXPECT_EQ(StatusText("lblOutcome").contains("not renamed"), !message.isEmpty());
        current = c.file;
    }
    // The refused row still deletes its own file, and only it.
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Delete);
    EXPECT_EQ(Files(), QStringList({"z.tsy"}));
}

} // namespace
