#include "MainWindowTest.h"

#include "platform/Process.h"
#include "support/ProgramRun.h"
#include "support/QtPrinters.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>

#include <pwd.h>
#include <unistd.h>

namespace {

class MainWindowRunning : public MainWindowTest
{
protected:
    void SetUp() override
    {
        WriteConfig("a.tsy", "4009");
        WriteConfig("b.tsy", "1028");
        // The stand-in console says it stops, and stops, on SIGTERM.
        app.writeFile("TessHost.exe", "#!/bin/sh\necho \"console $*\"\ntrap 'echo got TERM; exit 0' TERM\n"
                                      "while :; do sleep 0.05; done\n");
        QFile::setPermissions(app.path() + "/TessHost.exe", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Open();
    }
    void TearDown() override
    {
        for (qint64 pid : Running())
            ::kill(-pid_t(pid), SIGKILL);
        MainWindowTest::TearDown();
    }
    // The pids of the register that still run as started.
    QList<qint64> Running() const
    {
        QList<qint64> pids;
        for (const QJsonValue &v : QJsonDocument::fromJson(app.readFile("log/running-programs.json")).array()) {
            const qint64 pid = v["pid"].toInteger();
            if (Process::StartTimeOf(pid) == v["startTime"].toString().toULongLong())
                pids << pid;
        }
        return pids;
    }
    QString State(const QString &name) const { return Item(name)->text(7); }
};

// Run shows in the column; a second Run asks, No (the default) starts nothing, Yes a second
// console; the filter shows only what runs; the state is there again in a new window; Stop
// asks, then ends both consoles with SIGTERM, and the column empties.
TEST_F(MainWindowRunning, RunShowsAsksBeforeASecondStartAndStopEndsIt)
{
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    const QString since = QStringLiteral("console since %1, %2").arg(QTime::currentTime().toString("HH:mm"), QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name));
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("a.tsy") == since; }, 3000)) << State("a.tsy").toStdString();
    ASSERT_EQ(Running().size(), 1);
    EXPECT_EQ(State("b.tsy"), "");

    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("console (pid %1)").arg(Running().value(0))))
        << app.shownTexts()[0].toStdString();
    EXPECT_EQ(Running().size(), 1);
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("a.tsy").startsWith("2 consoles"); }, 3000));

    Child<QCheckBox>("chkRunningOnly")->setChecked(true);
    EXPECT_EQ(Visible(), QStringList{"a.tsy"});
    EXPECT_EQ(StatusText("lblCount"), "1 of 2 configurations");
    EXPECT_EQ(Item("a.tsy")->toolTip(7), State("a.tsy")); // whole, however narrow the column
    window.reset();
    Open();
    EXPECT_TRUE(State("a.tsy").startsWith("2 consoles")) << State("a.tsy").toStdString();

    // Stop asks first, naming each program; Enter (No) stops nothing.
    Select({"a.tsy"});
    const int asked = int(app.shownTexts().size());
    Key(Qt::Key_Period, Qt::ControlModifier);
    ASSERT_EQ(app.shownTexts().size(), asked + 1);
    EXPECT_TRUE(app.shownTexts().last().contains(QStringLiteral("console (pid %1)").arg(Running().value(1))));
    EXPECT_EQ(Running().size(), 2);
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("a.tsy").isEmpty(); }, 3000));
    EXPECT_TRUE(Running().isEmpty());
    EXPECT_TRUE(StatusText("lblOutcome").startsWith("a.tsy: ")) << StatusText("lblOutcome").toStdString();
    // The second console has a log of its own.
    EXPECT_EQ(app.readFile("log/a.tsy.console.log").count("got TERM"), 1);
    EXPECT_EQ(app.readFile("log/a.tsy.console.2.log").count("got TERM"), 1);
}

// Closing names what keeps running and may be refused; asked during a Stop, it waits for the
// Stop to finish and then closes.
TEST_F(MainWindowRunning, ClosingNamesWhatKeepsRunningAndNeverLeavesAStopHalfDone)
{
    // A console that ignores SIGTERM: Stop waits for it.
    app.writeFile("TessHost.exe", "#!/bin/sh\ntrap '' TERM\nwhile :; do sleep 0.05; done\n");
    QFile::setPermissions(app.path() + "/TessHost.exe", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running().size() == 1; }, 3000));
    app.messages().SetNextAnswers({MsgResult::No});
    Key(Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("a.tsy:\r\n  console (pid %1)").arg(Running().value(0))))
        << app.shownTexts()[0].toStdString();
    EXPECT_TRUE(window->isVisible());

    app.messages().SetNextAnswers({MsgResult::Yes, MsgResult::Yes}); // Stop; close when it has finished
    Key(Qt::Key_Period, Qt::ControlModifier);
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(app.shownTexts().last().startsWith("Stop is still waiting")) << app.shownTexts().last().toStdString();
    EXPECT_TRUE(window->isVisible());
    QTest::mouseClick(Child<QPushButton>("btnStopCancel"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000));
    EXPECT_EQ(Running().size(), 1); // got SIGTERM, ignored it, and was left as the operator chose
}

// A program killed from outside leaves the Running column with a note in the status bar.
TEST_F(MainWindowRunning, AProgramEndedOutsideIsNoted)
{
    Select({"b.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !State("b.tsy").isEmpty(); }, 3000));
    const qint64 pid = Running().value(0);
    ASSERT_GT(pid, 1);
    ::kill(-pid_t(pid), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("b.tsy").isEmpty(); }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusText("lblOutcome").startsWith("console of b.tsy ended, signal 9, "); }, 3000))
        << StatusText("lblOutcome").toStdString();
    // The log says so too, naming the program.
    EXPECT_TRUE(app.readFile("log/b.tsy.console.log").contains(QStringLiteral("console pid %1 ended: signal 9").arg(pid).toUtf8()));
}

// Delete and rename of a configuration that runs name its programs and offer to stop them
// first: Cancel does nothing; Yes stops them, then deletes.
TEST_F(MainWindowRunning, DeleteAndRenameOfWhatRunsOfferToStopItFirst)
{
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running().size() == 1; }, 3000));
    const qint64 pid = Running().value(0);
    app.messages().SetNextAnswers({MsgResult::Cancel});
    QLineEdit *editor = StartRename("c");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("console (pid %1) since ").arg(pid)));
    EXPECT_TRUE(app.shownTexts()[0].contains("then rename it to c.tsy"));
    EXPECT_TRUE(QFile::exists(app.lib("a.tsy")));

    app.messages().SetNextAnswers({MsgResult::Yes, MsgResult::Yes});
    Key(Qt::Key_Delete);
    ASSERT_EQ(app.shownTexts().size(), 3);
    EXPECT_TRUE(app.shownTexts()[2].contains(QStringLiteral("started by %1").arg(QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(app.lib("a.tsy")); }, 5000));
    EXPECT_TRUE(Running().isEmpty());
}

// Renamed and then deleted while its console runs (leaving it running): the console goes with
// the file, Run on the new name asks before a second start, a new file under the old name shows
// nothing of it, and once the file is deleted its row stays for Stop to end it.
TEST_F(MainWindowRunning, ProgramsStayWithTheirFileWhenItIsRenamedOrDeleted)
{
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running().size() == 1; }, 3000));
    app.messages().SetNextAnswers({MsgResult::No}); // rename now, leave it running
    QLineEdit *editor = StartRename("c");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    Settle();
    ASSERT_TRUE(QFile::exists(app.lib("c.tsy")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("c.tsy").startsWith("console since"); }, 3000));
    WriteConfig("a.tsy", "4009");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Item("a.tsy").has_value(); }, 3000));
    EXPECT_EQ(State("a.tsy"), "");

    Select({"c.tsy"});
    app.messages().ClearShown();
    Key(Qt::Key_R, Qt::ControlModifier); // Enter answers No
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].startsWith("c.tsy is running already")) << app.shownTexts()[0].toStdString();
    EXPECT_EQ(Running().size(), 1);

    app.messages().SetNextAnswers({MsgResult::Yes, MsgResult::No}); // delete; leave it running
    Key(Qt::Key_Delete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Item("c.tsy (deleted)").has_value(); }, 3000));
    EXPECT_FALSE(QFile::exists(app.lib("c.tsy")));
    EXPECT_TRUE(State("c.tsy (deleted)").startsWith("console since"));
    EXPECT_EQ(StatusText("lblCount"), "2 configurations");
    Select({"c.tsy (deleted)"});
    EXPECT_FALSE(Action("mnuExecute")->isEnabled());
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Running().isEmpty() && !Item("c.tsy (deleted)"); }, 5000));
    EXPECT_EQ(app.readFile("log/a.tsy.console.log").count("got TERM"), 1);
}

// Show Log heads each log with the program that writes it (a second console gets a log of its
// own), follows new lines, also once long lines bring a horizontal scroll bar, stays where the
// operator scrolled up to, and shows the line that tells how a program ended.
TEST_F(MainWindowRunning, ShowLogFollowsAndNamesWhoWritesEachLog)
{
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running().size() == 1; }, 3000));
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Running().size() == 2; }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.readFile("log/a.tsy.console.2.log").contains("console /F"); }, 3000));
    Key(Qt::Key_L, Qt::ControlModifier);
    auto *log = window->findChild<QPlainTextEdit *>("txtLog");
    ASSERT_NE(log, nullptr);
    const auto shows = [&](const QString &text) {
        return QTest::qWaitFor([&] { return log->toPlainText().contains(text); }, 3000);
    };
    for (const qint64 pid : Running())
        EXPECT_TRUE(shows(QStringLiteral("(console pid %1) <==").arg(pid))) << log->toPlainText().toStdString();

    QScrollBar *bar = log->verticalScrollBar();
    QByteArray lines;
    for (int i = 0; i < 100; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    struct Case { const char *what; QByteArray written; bool scrolledUp; };
    const Case cases[] = {
        {"many lines", lines, false},
        {"a line longer than the window", QByteArray(400, 'x') + "\nlong done\n", false},
        {"more lines under a horizontal scroll bar", lines + "still following\n", false},
        {"scrolled up", lines + "after scrolling\n", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.scrolledUp)
            bar->setValue(10);
        QFile file(app.path() + "/log/a.tsy.console.log");
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(c.written);
        file.close();
        ASSERT_TRUE(shows(QString::fromLatin1(c.written.trimmed().split('\n').last())));
        if (c.scrolledUp) {
            QCoreApplication::processEvents(); // the layout that follows the text
            EXPECT_EQ(bar->value(), 10);
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); }, 2000))
                << bar->value() << " of " << bar->maximum();
        }
    }
    bar->setValue(bar->maximum());
    const qint64 pid = Running().value(0);
    ::kill(-pid_t(pid), SIGKILL);
    EXPECT_TRUE(shows(QStringLiteral("console pid %1 ended: signal 9").arg(pid))) << log->toPlainText().toStdString();
}

// Show Log before any start says so in a box with the folder, and that no program opens it.
TEST_F(MainWindowRunning, ShowLogWithoutALogSaysWhereTheyGo)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", ""); // no xdg-open
    Select({"b.tsy"});
    Key(Qt::Key_L, Qt::ControlModifier);
    qputenv("PATH", path);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].startsWith("No program log of b.tsy yet")) << app.shownTexts()[0].toStdString();
    EXPECT_TRUE(app.shownTexts()[0].contains(app.path() + "/log."));
    EXPECT_TRUE(app.shownTexts()[0].contains("could not be opened"));
}

// A start or stop from the command line on the same folder shows within a second, and the
// command line sees what the window started.
TEST_F(MainWindowRunning, TheCommandLineAndTheWindowSeeEachOthersStartsAndStops)
{
    ASSERT_EQ(ProgramRun::Run(app.path(), {"--run", "a.tsy"}).exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !State("a.tsy").isEmpty(); }, 1000));
    ASSERT_EQ(ProgramRun::Run(app.path(), {"--stop", "a.tsy"}).exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("a.tsy").isEmpty(); }, 1000)) << State("a.tsy").toStdString();

    Select({"b.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(ProgramRun::Run(app.path(), {"--status", "b.tsy"}).exitCode, 0);
    EXPECT_EQ(ProgramRun::Run(app.path(), {"--run", "b.tsy"}).exitCode, 5);
}

// A window killed after starting a console and before recording it (here: the record fails):
// the next window shows it running, Run asks before a second start, and Stop ends it.
TEST_F(MainWindowRunning, AConsoleNeverRecordedShowsAsRunningAndStops)
{
    ASSERT_TRUE(QDir().mkpath(app.path() + "/log/running-programs.json"));
    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.readFile("log/a.tsy.console.log").contains("console"); }, 3000));
    ASSERT_TRUE(QDir().rmdir(app.path() + "/log/running-programs.json"));
    window.reset();
    app.messages().ClearShown();
    Open();
    EXPECT_TRUE(State("a.tsy").startsWith("console since")) << State("a.tsy").toStdString();

    Select({"a.tsy"});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains("console (pid ")) << app.shownTexts()[0].toStdString();
    app.messages().SetNextAnswers({MsgResult::Yes});
    Key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State("a.tsy").isEmpty(); }, 3000));
    EXPECT_EQ(app.readFile("log/a.tsy.console.log").count("got TERM"), 1);
}

} // namespace
