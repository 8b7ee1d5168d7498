#include "MainWindowTest.h"

#include "support/StubPrograms.h"

#include <QDialog>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using MainWindowLoad = MainWindowTest;

// On a first start a log folder that cannot be made is reported and stops the load; once it
// can, both folders are made, and a folder that cannot be read is said to be so, not shown as
// an empty list. The status bar counts the files.
TEST_F(MainWindowLoad, MakesTheFoldersOrSaysWhyNot)
{
    ASSERT_TRUE(QDir(app.lib()).removeRecursively());
    ASSERT_TRUE(QDir(app.path()).rmdir("log"));
    app.writeFile("log", "a file where the folder belongs");
    Open();
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].asker, window.get());
    EXPECT_FALSE(QDir(app.path() + "/lib").exists());

    ASSERT_TRUE(QFile::remove(app.path() + "/log"));
    app.messages().ClearShown();
    Open();
    EXPECT_TRUE(QDir(app.path() + "/lib").exists());
    EXPECT_TRUE(QDir(app.path() + "/log").exists());
    EXPECT_TRUE(app.shownTexts().isEmpty());

    // A file that appears in the empty list is highlighted, as the first row is at the load.
    WriteConfig("a.tsy", "4009");
    Key(Qt::Key_F5);
    EXPECT_EQ(Highlighted(), QStringList({"a.tsy"}));
    EXPECT_EQ(StatusText("lblCount"), "1 configuration");
    ASSERT_TRUE(QDir(app.lib()).removeRecursively());
    Key(Qt::Key_F5);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(app.lib())) << app.shownTexts()[0].toStdString();
    EXPECT_TRUE(app.shownTexts()[0].contains(qt_error_string(ENOENT)));
    EXPECT_EQ(StatusText("lblCount"), "0 configurations");
}

// Every file ending in ".tsy" (lower case) is listed with its columns, in name order, a joint
// file in bold. A file that cannot be read hides no other: it is listed greyed with its reason,
// one message per fill names them all. Each command is offered for what it acts on: Update one row, Rename and Delete any,
// Run one readable row, Merge and Split two. A double click starts the row clicked; on an
// unreadable row it says why not, on the empty space below the rows it starts nothing.
TEST_F(MainWindowLoad, ListsEveryFileAndOffersEachCommandForTheRowsItActsOn)
{
    const QString console = QStringLiteral("TessHost.exe");
    app.writeConfig("a_full.tsy", {"SatelliteAppln=4009", "ldbp=2", "dsn=FMK", "database=fmdb", "user=fm",
                                   "lhbuscomponent=bus", "logdirectory=/var/log/fm"});
    WriteConfig("b_unknown.tsy", "1234");
    app.writeConfig("c_joint.tsy", {"[FMK]", "SatelliteAppln=4009", "dsn=FMK", "[RST]", "SatelliteAppln=1028"});
    WriteConfig("d_platform.tsy", "4009", "DSN1", "one");
    ASSERT_EQ(::mkfifo(QFile::encodeName(app.lib("e_fifo.tsy")).constData(), 0600), 0);
    // A name that is not valid text in the system's encoding (Latin-1 "é").
    const int fd = ::open((QFile::encodeName(app.lib()) + "/f_caf\xe9.tsy").constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    WriteConfig("g_rostrum.tsy", "1028");
    WriteConfig("h_upper.TSY", "4009");
    StubPrograms stubs(app.path());
    stubs.Add(console);
    Open();

    const QString bad = Names().value(5);
    EXPECT_TRUE(bad.startsWith("f_caf") && bad.endsWith(".tsy")) << bad.toStdString();
    EXPECT_EQ(Names(), QStringList({"a_full.tsy", "b_unknown.tsy", "c_joint.tsy", "d_platform.tsy", "e_fifo.tsy",
                                    bad, "g_rostrum.tsy"}));
    EXPECT_EQ(window->SelectedConfigPath(), app.lib("a_full.tsy"));
    const QStringList full = {"a_full.tsy", app.session().AppName(FieldmarkProduct), "FMK", "fmdb", "fm", "bus",
                              "/var/log/fm"};
    for (int c = 0; c < full.size(); ++c)
        EXPECT_EQ(Item("a_full.tsy")->text(c), full[c]) << "column " << c;
    EXPECT_EQ(Item("b_unknown.tsy")->text(1), "");
    EXPECT_EQ(Item("c_joint.tsy")->text(2), "");

    const QStringList unreadable = {"d_platform.tsy", "e_fifo.tsy", bad};
    ASSERT_EQ(app.shownTexts().size(), 1);
    for (const QString &name : Names()) {
        SCOPED_TRACE(name.toStdString());
        const bool greyed = unreadable.contains(name);
        EXPECT_EQ(Item(name)->font(0).bold(), name == "c_joint.tsy");
        EXPECT_EQ(Item(name)->toolTip(0).isEmpty(), !greyed);
        EXPECT_EQ(Item(name)->foreground(2) == List()->palette().brush(QPalette::Disabled, QPalette::Text), greyed);
        EXPECT_EQ(app.shownTexts()[0].contains(name + ": " + Item(name)->toolTip(0)), greyed);
    }

    struct Case { QStringList selected; bool update, any, run, mergeSplit; const char *name; };
    const Case cases[] = {
        {{"a_full.tsy", "g_rostrum.tsy"}, false, true, false, true, "g_rostrum.tsy"},
        {{"a_full.tsy", "b_unknown.tsy", "g_rostrum.tsy"}, false, true, false, false, "g_rostrum.tsy"},
        {{"b_unknown.tsy"}, true, true, true, false, "b_unknown.tsy"},
        {{"c_joint.tsy"}, true, true, true, false, "c_joint.tsy"},
        // An unreadable row is still there to be opened, renamed or deleted, but not run or paired.
        {{"d_platform.tsy"}, true, true, false, false, "d_platform.tsy"},
        {{"d_platform.tsy", "g_rostrum.tsy"}, false, true, false, false, "g_rostrum.tsy"},
        {{"g_rostrum.tsy", "g_rostrum.tsy"}, false, false, false, false, ""}, // Ctrl+click takes the only row away
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.selected.join(',').toStdString());
        Select(c.selected);
        for (const auto &[action, enabled] : {std::pair{"mnuUpdate", c.update}, {"mnuRename", c.any},
                                              {"mnuDelete", c.any}, {"mnuExecute", c.run},
                                              {"MnSConfig", c.mergeSplit}})
            EXPECT_EQ(Action(action)->isEnabled(), enabled) << action;
        EXPECT_EQ(window->SelectedConfigName(), c.name);
        EXPECT_EQ(window->SelectedConfigPath(), *c.name ? app.lib(c.name) : QString());
    }

    DoubleClick("d_platform.tsy");
    EXPECT_TRUE(StatusText("lblOutcome").contains(Item("d_platform.tsy")->toolTip(0)));
    const QPoint below = At("g_rostrum.tsy") + QPoint(0, 200);
    ASSERT_FALSE(List()->indexAt(below).isValid());
    Select({"a_full.tsy"});
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(stubs.WaitForRuns(console, 1, 500).isEmpty());
    DoubleClick("g_rostrum.tsy");
    const auto runs = stubs.WaitForRuns(console, 1);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].arguments.contains(app.lib("g_rostrum.tsy")));
}

using MainWindowRename = MainWindowTest;

// However the edit ends, the file renamed is the one of the row that was edited (with several
// rows highlighted, the current one), under the name Windows would store; the list is sorted
// again and keeps what was highlighted, the renamed row under its new name. What cannot be a
// name, or cannot be moved, is refused and the row goes on showing, and pointing at, its real file.
TEST_F(MainWindowRename, TheEditedRowsFileIsRenamedOrTheRowKeepsItsRealFile)
{
    // refusal: nullptr when the rename goes through; else the label of the message, "" for any message.
    // end: how the edit ends; none for Enter.
    struct Case { const char *how; QStringList alsoSelected; const char *typed, *refusal; std::function<void()> end; };
    const Case cases[] = {
        {"Enter", {}, "r0. .", nullptr, {}},
        // The other row is the first highlighted, the edited one the current.
        {"the current of two rows", {"0_other.tsy"}, "r1", nullptr, {}},
        {"click on another row", {}, "r2", nullptr, [this] { Select({"0_other.tsy"}); }},
        {"Ctrl+N", {}, "r3", nullptr, [this] {
             WhenModal(QString(), [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
             Key(Qt::Key_N, Qt::ControlModifier);
         }},
        {"F5", {}, "r4", nullptr, [this] { Key(Qt::Key_F5); }},
        {"Delete", {}, "r5", nullptr, [this] { Key(Qt::Key_Delete); }}, // answered No by Enter
        {"a character a file name cannot hold", {}, "bad:name", "SLBL0357", {}},
        {"no name", {}, "  ", "SLBL0154", {}},
        {"a name taken", {}, "0_other", "", {}},
    };
    WriteConfig("0_other.tsy", "1028", "other");
    Open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        const QString from = QString("a_%1.tsy").arg(&c - cases), to = QString("r%1.tsy").arg(&c - cases);
        WriteConfig(from, "4009");
        Key(Qt::Key_F5);
        app.messages().ClearShown();
        Select(c.alsoSelected + QStringList{from});
        QLineEdit *editor = StartRename(c.typed);
        ASSERT_NE(editor, nullptr);
        c.end ? c.end() : QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        if (c.refusal) {
            // Given back for correction: the edit is open again, holding what was typed.
            QLineEdit *again = OpenEditor();
            ASSERT_TRUE(again);
            EXPECT_EQ(again->text(), *c.refusal ? QLatin1String(c.typed) : QLatin1String("0_other.tsy"));
            QTest::keyClick(again, Qt::Key_Escape);
            Settle();
        }
        const QString file = c.refusal ? from : to;
        EXPECT_TRUE(QFile::exists(app.lib(file)));
        EXPECT_EQ(QFile::exists(app.lib(from)), bool(c.refusal));
        EXPECT_TRUE(app.readFile("lib/0_other.tsy").contains("dsn=other"));
        if (c.end)
            continue;
        EXPECT_EQ(Highlighted(), c.alsoSelected + QStringList{file});
        EXPECT_EQ(window->SelectedConfigPath(), app.lib(file));
        EXPECT_TRUE(StatusText("lblOutcome").contains(from));
        EXPECT_EQ(StatusText("lblOutcome").contains(to), !c.refusal);
        EXPECT_TRUE(!c.refusal || StatusText("lblOutcome").contains(QLatin1String(c.typed))); // what was typed, repeated
        const QString expected = c.refusal && *c.refusal ? app.session().GetText(c.refusal) : QString();
        ASSERT_EQ(app.shownTexts().size(), c.refusal ? 1 : 0);
        EXPECT_TRUE(app.shownTexts().value(0).startsWith(expected));
        EXPECT_TRUE(!c.refusal || app.shownTexts().value(0).contains(QLatin1String(*c.refusal ? c.typed : "0_other")));
    }
    // The next command's outcome replaces it, even when that command has none to tell.
    ASSERT_FALSE(StatusText("lblOutcome").isEmpty());
    Key(Qt::Key_F5);
    EXPECT_EQ(StatusText("lblOutcome"), QString());
}

} // namespace

namespace {

// A long outcome shows cut, and whole as the tool tip; it never widens the window.
TEST_F(MainWindowRename, ALongOutcomeNeverWidensTheWindow)
{
    WriteConfig("a.tsy", "4009");
    Open();
    window->resize(600, 400);
    Settle();
    const QString name = QString(200, u'x');
    QLineEdit *editor = StartRename(name);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    ASSERT_TRUE(QFile::exists(app.lib(name + ".tsy")));
    EXPECT_EQ(window->width(), 600);
    EXPECT_LT(window->minimumSizeHint().width(), 600);
    EXPECT_TRUE(Child<QLabel>("lblOutcome")->toolTip().endsWith(name + ".tsy"));
}

// Run of a joint file whose programs cannot start says so, and never "started".
TEST_F(MainWindowRename, RunSaysStartedOnlyWhenEveryStartSucceeded)
{
    app.writeConfig("joint.tsy", {"[FMK]", "SatelliteAppln=4009", "dsn=NO_SUCH_DSN", "[RST]", "SatelliteAppln=1028",
                                  "dsn=NO_SUCH_DSN"});
    Open();
    Select({"joint.tsy"});
    Action("mnuExecute")->trigger();
    EXPECT_TRUE(StatusText("lblOutcome").contains("not fully started")) << StatusText("lblOutcome").toStdString();
    EXPECT_FALSE(app.shownTexts().isEmpty());
}

} // namespace
