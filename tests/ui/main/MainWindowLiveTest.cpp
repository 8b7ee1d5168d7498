// The main window as a desktop tool: its layout remembered across starts, the list following
// lib/ as others change it, and the filter box.
#include "MainWindowTest.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <optional>
#include <sys/stat.h>

namespace {

using MainWindowLive = MainWindowTest;

// Size, place, column widths and sort order come back after a restart, and the next click on
// the header goes on from the order remembered. A saved place is fitted to the screens of now.
TEST_F(MainWindowLive, TheLayoutComesBackFittedToTheScreen)
{
    // Sorted without regard to case.
    WriteConfig("a.tsy", "4009", "beta");
    WriteConfig("b.tsy", "4009", "Gamma");
    WriteConfig("c.tsy", "4009", "alpha");
    Open();
    window->resize(640, 400);
    window->move(30, 40);
    List()->header()->resizeSection(2, 211);
    ClickHeader(2);
    ClickHeader(2);
    window->close();
    Open();
    EXPECT_EQ(window->size(), QSize(640, 400));
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    EXPECT_EQ(List()->header()->sectionSize(2), 211);
    EXPECT_EQ(Names(), QStringList({"b.tsy", "a.tsy", "c.tsy"}));
    ClickHeader(2);
    EXPECT_EQ(Names(), QStringList({"c.tsy", "a.tsy", "b.tsy"}));

    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    // pos: where the window opens; none when the saved place is not used at all.
    struct Case { const char *what; QPoint saved; QSize size; std::optional<QPoint> pos; };
    const Case cases[] = {
        {"larger than the screen", free.topLeft(), free.size() * 3, free.topLeft()},
        {"partly off the right edge", free.topRight() - QPoint(200, -10), {300, 200},
         QPoint(free.right() + 1 - 300, free.top() + 10)},
        {"off every screen (a monitor unplugged since)", free.bottomRight() + QPoint(500, 500), {300, 200}, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QSettings settings(QStringLiteral("Tessaly"), QStringLiteral("ConfigurationSelector"));
        settings.setValue("frmConfigurationSelector/position", c.saved);
        settings.setValue("frmConfigurationSelector/size", c.size);
        settings.sync();
        frmConfigurationSelector w(app.session());
        EXPECT_EQ(w.size(), c.size.boundedTo(free.size()));
        if (c.pos)
            EXPECT_EQ(w.pos(), *c.pos);
        else
            EXPECT_FALSE(w.testAttribute(Qt::WA_Moved));
    }
}

// Another process creates, rewrites, renames and deletes files; the list follows within a
// second, keeping what is highlighted and the order the user chose; an in-place rename is never pulled from under the user, and the list catches up
// once it ends.
TEST_F(MainWindowLive, TheListFollowsChangesMadeOutside)
{
    for (const char *name : {"b.tsy", "d.tsy", "e.tsy"})
        WriteConfig(name, "4009");
    Open();
    ClickHeader(0);
    ClickHeader(0);
    Select({"b.tsy", "d.tsy"});

    // Waits for the list to show exactly names, as a user would glance at it for a while.
    const auto expectList = [&](const QStringList &names) {
        (void)QTest::qWaitFor([&] { return Names() == names; }, 2000);
        EXPECT_EQ(Names(), names);
    };
    WriteConfig("c.tsy", "1028");
    expectList({"e.tsy", "d.tsy", "c.tsy", "b.tsy"});
    EXPECT_EQ(Highlighted(), QStringList({"d.tsy", "b.tsy"}));
    WriteConfig("b.tsy", "4009", "CHANGED");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Item("b.tsy")->text(2) == "CHANGED"; }, 2000));
    // A file renamed by the case of a letter is not the one highlighted: names match exactly.
    ASSERT_TRUE(QFile::rename(app.lib("d.tsy"), app.lib("D.tsy")));
    expectList({"e.tsy", "D.tsy", "c.tsy", "b.tsy"});
    EXPECT_EQ(Highlighted(), QStringList({"b.tsy"}));
    ASSERT_TRUE(QFile::remove(app.lib("b.tsy")));
    expectList({"e.tsy", "D.tsy", "c.tsy"});
    // The files the user had highlighted are gone: nothing else is highlighted in their place,
    // and nothing is left to run.
    EXPECT_TRUE(Highlighted().isEmpty());
    EXPECT_EQ(window->SelectedConfigPath(), "");
    EXPECT_FALSE(Action("mnuExecute")->isEnabled());
    EXPECT_TRUE(app.shownTexts().isEmpty());

    for (int i = 0; i < 20; ++i)
        WriteConfig(QStringLiteral("burst%1.tsy").arg(i, 2, 10, QChar(u'0')), "4009");
    QTRY_COMPARE(List()->model()->rowCount(), 23);

    // Never a window: a file that cannot be read is greyed and named in the status bar until it
    // can be read; a stored password others may read is marked until they no longer may.
    app.writeConfig("bad.tsy", {"ldbp=x", "password=x"});
    QTRY_VERIFY(StatusText("lblOutcome").contains("bad.tsy: ldbp"));
    WriteConfig("bad.tsy", "4009");
    QTRY_COMPARE(StatusText("lblOutcome"), QString());
    app.writeConfig("open.tsy", {"ldbp=1", "password=x"});
    const QByteArray open = QFile::encodeName(app.lib("open.tsy"));
    ASSERT_EQ(::chmod(open.constData(), 0644), 0);
    QTRY_VERIFY(Item("open.tsy") && Item("open.tsy")->toolTip(0).contains("readable by every local account"));
    ASSERT_EQ(::chmod(open.constData(), 0640), 0);
    QTRY_VERIFY(Item("open.tsy")->toolTip(0).isEmpty());
    EXPECT_TRUE(app.shownTexts().isEmpty());

    Select({"c.tsy"});
    QLineEdit *editor = StartRename("typed");
    ASSERT_NE(editor, nullptr);
    QSignalSpy looked(Child<QTimer>("changeSettle"), &QTimer::timeout);
    WriteConfig("z.tsy", "4009");
    // The window looks at the change and puts it off, again and again, while the name is edited.
    EXPECT_TRUE(QTest::qWaitFor([&] { return looked.count() >= 2; }, 2000));
    EXPECT_FALSE(Item("z.tsy"));
    EXPECT_EQ(editor->text(), "typed");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Item("z.tsy").has_value(); }, 2000));
    EXPECT_TRUE(QFile::exists(app.lib("c.tsy")));
}

// lib/ moved away and back (a restore, a mount): listed again by itself within two seconds,
// and the status bar's "cannot be read" goes with the problem.
TEST_F(MainWindowLive, TheListComesBackWithItsFolder)
{
    WriteConfig("a.tsy", "4009");
    Open();
    ASSERT_TRUE(QDir().rename(app.lib(), app.path() + "/lib.away"));
    QTRY_VERIFY(StatusText("lblOutcome").contains("cannot be read"));
    EXPECT_TRUE(Names().isEmpty());
    ASSERT_TRUE(QDir().rename(app.path() + "/lib.away", app.lib()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Names() == QStringList{"a.tsy"}; }, 2500));
    EXPECT_FALSE(StatusText("lblOutcome").contains("cannot be read"));
    WriteConfig("b.tsy", "4009"); // watched again
    EXPECT_TRUE(QTest::qWaitFor([&] { return Names().size() == 2; }, 2000));
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

// The filter shows the rows holding its text. Commands act only on what is seen: a highlighted
// row the filter hides is let go, and Ctrl+A takes in only the rows shown; keys typed in the box
// stay in the box.
TEST_F(MainWindowLive, TheFilterShowsTheRowsHoldingItsTextAndCommandsLeaveTheOthersAlone)
{
    app.writeConfig("Sales.tsy", {"SatelliteAppln=4009", "ldbp=1", "dsn=FMK_ONE", "database=ledger", "user=anna"});
    app.writeConfig("Plan.tsy", {"SatelliteAppln=1028", "ldbp=1", "dsn=RST_TWO", "database=plan", "user=bert"});
    app.writeConfig("Web.tsy", {"SatelliteAppln=4010", "ldbp=1", "dsn=WEB", "database=portal", "user=carl",
                                "lhbuscomponent=anna"});
    Open();
    EXPECT_TRUE(List()->hasFocus());
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(Filter()->hasFocus());
    for (const auto &[text, visible] : {
             std::pair<QString, QStringList>{"sales", {"Sales.tsy"}}, // file name, whatever the case
             {"rst_", {"Plan.tsy"}},                                  // DSN
             {"PORTAL", {"Web.tsy"}},                                 // database
             {"anna", {"Sales.tsy"}},                                 // user; the bus component is not searched
             {app.session().AppName(RostrumProduct), {"Plan.tsy"}},   // application
             {"nothing like it", {}}}) {
        SCOPED_TRACE(text.toStdString());
        Filter()->clear();
        QTest::keyClicks(Filter(), text);
        EXPECT_EQ(Visible(), visible);
        // The first row the filter leaves is not highlighted by itself; what is highlighted is visible.
        for (const QString &name : Highlighted())
            EXPECT_TRUE(visible.contains(name));
    }
    QTest::keyClick(Filter(), Qt::Key_Escape);
    EXPECT_EQ(Visible(), QStringList({"Plan.tsy", "Sales.tsy", "Web.tsy"}));

    Select({"Sales.tsy", "Web.tsy"});
    QTest::keyClicks(Filter(), "an");
    EXPECT_EQ(Highlighted(), QStringList({"Sales.tsy"}));
    // Delete in the box deletes a letter, not a file.
    Filter()->setCursorPosition(0);
    QTest::keyClick(Filter(), Qt::Key_Delete);
    EXPECT_EQ(Filter()->text(), "n");
    EXPECT_EQ(Files().size(), 3);

    List()->setFocus();
    List()->selectAll();
    EXPECT_EQ(Highlighted(), QStringList({"Plan.tsy", "Sales.tsy"}));
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Delete);
    EXPECT_EQ(Files(), QStringList({"Web.tsy"}));
    // The filter stays; the list shows the rest once the box is cleared.
    EXPECT_TRUE(Visible().isEmpty());
    Filter()->clear();
    EXPECT_EQ(Visible(), QStringList({"Web.tsy"}));
}

} // namespace
