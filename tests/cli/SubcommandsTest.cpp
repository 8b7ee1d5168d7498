// The subcommands as an operator runs them over SSH: the built program, no display, stand-in
// suite programs that run until they are stopped.

#include "cli/Subcommands.h"
#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "platform/Process.h"
#include "suite/RunRegister.h"
#include "support/HungServer.h"
#include "support/PostgresFixture.h"
#include "support/ProgramRun.h"
#include "support/TestAppDir.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace Subcommands;

// A program that says how it was started, then runs until SIGTERM, which it answers unless
// its command line names "stubborn".
const QByteArray Server = "#!/bin/sh\necho \"$(basename \"$0\") $*\"\n"
                          "case \"$*\" in *stubborn*) trap '' TERM ;; *) trap 'echo got TERM; exit 0' TERM ;; esac\n"
                          "while :; do sleep 0.05; done\n";

class Subcommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Executable("TessHost.exe", Server);
        for (const char *name : {"a.tsy", "stubborn.tsy"})
            app.writeConfig(name, {"SatelliteAppln=4009", "ldbp=1", "dsn=DSN1", "database=db", "user=u"});
    }
    void TearDown() override
    {
        for (const RunRecord &r : RunRegister::Read(app.path()).value_or({}))
            ::kill(-pid_t(r.pid), SIGKILL);
    }
    void Executable(const QString &relative, const QByteArray &text)
    {
        app.writeFile(relative, text);
        QFile::setPermissions(app.path() + u'/' + relative, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ProgramRun::Outcome Run(const QStringList &arguments) { return ProgramRun::Run(app.path(), arguments); }
    // The pids that run for a configuration.
    QList<qint64> Pids(const QString &name)
    {
        QList<qint64> pids;
        for (const RunRecord &r : RunningState::Of(RunRegister::Read(app.path()).value_or({}), app.lib(name)))
            pids << r.pid;
        return pids;
    }

    TestAppDir app;
};

#define EXPECT_STATUS(outcome, status) EXPECT_EQ((outcome).exitCode, status) << (outcome).err.toStdString()

// --run starts the console as the window's Run does and prints it; a second start is
// refused with exit 5 unless --again is given.
TEST_F(Subcommand, RunStartsOnceAndASecondStartOnlyWithAgain)
{
    const ProgramRun::Outcome first = Run({"--run", "a"});
    EXPECT_STATUS(first, Done);
    ASSERT_EQ(Pids("a.tsy").size(), 1);
    EXPECT_TRUE(first.out.startsWith(QStringLiteral("started console pid %1 by %2 since ")
                                         .arg(Pids("a.tsy")[0])
                                         .arg(RunRegister::CurrentUser())))
        << first.out.toStdString();
    EXPECT_TRUE(first.out.endsWith(QStringLiteral(", log %1/log/a.tsy.console.log\n").arg(app.path())));

    const ProgramRun::Outcome second = Run({"--run", "a.tsy"});
    EXPECT_STATUS(second, RunningAlready);
    EXPECT_EQ(second.out, "");
    EXPECT_TRUE(second.err.contains("a.tsy is running already:\nconsole (pid ") && second.err.contains("--again"))
        << second.err.toStdString();
    EXPECT_EQ(Pids("a.tsy").size(), 1);

    EXPECT_STATUS(Run({"--run", app.lib("a.tsy"), "--again"}), Done);
    EXPECT_EQ(Pids("a.tsy").size(), 2);
}

// --stop ends what runs for the file: SIGTERM, and SIGKILL after the grace to a program that
// ignores it; it prints what ended, touches no other configuration, and ends with 0 once
// nothing of the file runs.
TEST_F(Subcommand, StopTermsThenKillsAfterTheGrace)
{
    for (const char *name : {"a", "stubborn"})
        ASSERT_EQ(Run({"--run", name}).exitCode, Done);
    const qint64 polite = Pids("a.tsy").value(0);

    const ProgramRun::Outcome stopped = Run({"--stop", "a"});
    EXPECT_STATUS(stopped, Done);
    EXPECT_TRUE(stopped.out.startsWith(QStringLiteral("ended console pid %1 ").arg(polite))) << stopped.out.toStdString();
    EXPECT_TRUE(stopped.out.endsWith("1 program(s) stopped\n")) << stopped.out.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.readFile("log/a.tsy.console.log").contains("got TERM"); }, 5000));
    EXPECT_EQ(Pids("stubborn.tsy").size(), 1);

    const ProgramRun::Outcome killed = Run({"--stop", "stubborn", "--grace", "1"});
    EXPECT_STATUS(killed, Done);
    EXPECT_TRUE(killed.out.endsWith("1 program(s) stopped, killed after 1 s\n")) << killed.out.toStdString();
    EXPECT_TRUE(Pids("stubborn.tsy").isEmpty());
    // What ended is gone from the register's file too, so a window sees it at once.
    EXPECT_EQ(RunRegister::Load(app.path()).value().size(), 0);
    EXPECT_EQ(Run({"--stop", "a"}).out, "Nothing runs for a.tsy.\n");
}

// 0 when every configuration named runs, 3 when one does not, 4 for a file that is no
// configuration (which wins); without names, what runs.
TEST_F(Subcommand, StatusExitCodes)
{
    ASSERT_EQ(Run({"--run", "a"}).exitCode, Done);
    const struct { QStringList files; int status; QString firstWord; } cases[] = {
        {{"a"}, Done, "a.tsy"},
        {{"a.tsy", "stubborn"}, NotRunning, "a.tsy"},
        {{}, Done, "a.tsy"},
        {{"stubborn.tsy"}, NotRunning, "stubborn.tsy"},
        {{"a", "nosuch"}, UnknownFile, "a.tsy"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.files.join(u' ').toStdString());
        const ProgramRun::Outcome status = Run(QStringList{"--status"} + c.files);
        EXPECT_STATUS(status, c.status);
        EXPECT_EQ(status.out.section(u' ', 0, 0), c.firstWord);
    }
    ASSERT_EQ(Run({"--stop", "a"}).exitCode, Done);
    EXPECT_STATUS(Run({"--status", "a"}), NotRunning);
    EXPECT_STATUS(Run({"--status"}), NotRunning);
}

// --list --json names every configuration with the list's fields and what runs, by stable
// names; --status --json gives the same object; the text form has the same in columns.
TEST_F(Subcommand, JsonFields)
{
    app.writeConfig("bad.tsy", {"SatelliteAppln=1028", "ldbp=x"});
    app.writeFile("lib/J.tsy", "[FMK]\r\nSatelliteAppln=4009\r\n[RST]\r\nSatelliteAppln=1028\r\n");
    ASSERT_EQ(Run({"--run", "a"}).exitCode, Done);
    const ProgramRun::Outcome list = Run({"--list", "--json"});
    EXPECT_STATUS(list, Done);
    const QJsonObject top = QJsonDocument::fromJson(list.out.toUtf8()).object();
    EXPECT_EQ(top["folder"].toString(), app.lib());
    EXPECT_EQ(top["leftOut"].toInt(-1), 0);
    QStringList names;
    QHash<QString, QJsonObject> byName;
    for (const QJsonValue &v : top["configurations"].toArray()) {
        names << v["file"].toString();
        byName.insert(names.last(), v.toObject());
    }
    EXPECT_EQ(names, QStringList({"a.tsy", "bad.tsy", "J.tsy", "stubborn.tsy"}));
    const QJsonObject a = byName["a.tsy"];
    EXPECT_EQ(QStringList(a.keys()), QStringList({"application", "busComponent", "database", "dsn", "file", "joint",
                                                  "logDirectory", "path", "productCode", "programs", "readable",
                                                  "reason", "state", "user"}));
    EXPECT_EQ(a["application"].toString(), "Fieldmark");
    EXPECT_EQ(a["productCode"].toInt(), 4009);
    EXPECT_EQ(a["dsn"].toString() + a["database"].toString() + a["user"].toString(), "DSN1dbu");
    EXPECT_EQ(a["state"].toString(), "running");
    const QJsonObject program = a["programs"][0].toObject();
    EXPECT_EQ(program["kind"].toString(), "console");
    EXPECT_EQ(program["pid"].toInteger(), Pids("a.tsy").value(0));
    EXPECT_EQ(program["user"].toString(), RunRegister::CurrentUser());
    EXPECT_LT(QDateTime::fromString(program["since"].toString(), Qt::ISODate).secsTo(QDateTime::currentDateTime()), 60);
    EXPECT_EQ(program["logFile"].toString(), app.path() + "/log/a.tsy.console.log");
    EXPECT_FALSE(byName["bad.tsy"]["readable"].toBool());
    EXPECT_TRUE(byName["bad.tsy"]["reason"].toString().contains("ldbp")) << byName["bad.tsy"]["reason"].toString().toStdString();
    EXPECT_TRUE(byName["J.tsy"]["joint"].toBool());
    EXPECT_EQ(byName["stubborn.tsy"]["state"].toString(), "stopped");

    const ProgramRun::Outcome status = Run({"--status", "a", "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(status.out.toUtf8())["configurations"][0].toObject(), a);

    const QStringList lines = Run({"--list"}).out.split(u'\n');
    ASSERT_EQ(lines.size(), 6) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("FILE          APPLICATION  DSN   DATABASE  USER  STATE       PROGRAMS"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QRegularExpression("^a\\.tsy +Fieldmark +DSN1 +db +u +running +console pid \\d+ by ")));
    EXPECT_TRUE(lines[2].contains(QRegularExpression("^bad\\.tsy +Rostrum +- +- +- +unreadable +\\S")));
    EXPECT_TRUE(lines[3].contains(QRegularExpression("^J\\.tsy +joint +- +- +- +stopped$"))) << lines[3].toStdString();
}

// A file that is no configuration of lib/ is exit 4 for every subcommand, with nothing on
// standard output; a command line the subcommand does not take is exit 2.
TEST_F(Subcommand, UnknownFileAndBadCommandLines)
{
    const struct { QStringList arguments; int status; const char *says; } cases[] = {
        {{"--status", "nosuch"}, UnknownFile, "nosuch: no such configuration in "},
        {{"--run", "nosuch"}, UnknownFile, "no such configuration"},
        {{"--stop", "nosuch.tsy"}, UnknownFile, "no such configuration"},
        {{"--log", "nosuch"}, UnknownFile, "no such configuration"},
        {{"--run", "/etc/a.tsy"}, UnknownFile, "no such configuration"},
        {{"--run", "../lib"}, UnknownFile, "no such configuration"},
        {{"--run"}, BadCommandLine, "--run takes one configuration file name"},
        {{"--stop", "a", "--grace", "soon"}, BadCommandLine, "--grace takes a whole number"},
        {{"--list", "a"}, BadCommandLine, "--list takes no file name"},
        {{"--log", "a", "--json"}, BadCommandLine, "--log does not take the option --json"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const ProgramRun::Outcome outcome = Run(c.arguments);
        EXPECT_STATUS(outcome, c.status);
        EXPECT_EQ(outcome.out, "");
        EXPECT_TRUE(outcome.err.contains(c.says)) << outcome.err.toStdString();
    }
    EXPECT_TRUE(Pids("a.tsy").isEmpty());
}

// --log prints the end of what the console wrote, and --follow what it writes next.
TEST_F(Subcommand, LogPrintsAndFollowsWhatTheConsoleWrote)
{
    EXPECT_STATUS(Run({"--log", "a"}), Failed);
    ASSERT_EQ(Run({"--run", "a"}).exitCode, Done);
    const QString line = "TessHost.exe /F " + app.lib("a.tsy") + "\n";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Run({"--log", "a"}).out.endsWith(line); }, 5000));
    EXPECT_TRUE(Run({"--log", "a"}).out.startsWith("==== ")) << "the start line";
    EXPECT_EQ(Run({"--log", "a", "--lines", "1"}).out, line);

    QProcess follow;
    ProgramRun::Start(follow, app.path(), {"--log", "a", "--follow", "--lines", "1"});
    // Following once the last line is out; a stop before that could write before the look.
    QByteArray followed;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (followed += follow.readAllStandardOutput()).endsWith(line.toUtf8()); }, 5000));
    ASSERT_EQ(Run({"--stop", "a"}).exitCode, Done);
    EXPECT_TRUE(QTest::qWaitFor([&] { return (followed += follow.readAllStandardOutput()).contains("got TERM\n"); }, 5000));
    follow.kill();
    follow.waitForFinished();
}

// The subcommands never open a GUI library, whatever display there is.
TEST_F(Subcommand, NoGuiLibraryIsLoaded)
{
    QProcessEnvironment debug;
    debug.insert("LD_DEBUG", "files");
    debug.insert("DISPLAY", ":0");
    for (const QStringList &arguments : {QStringList{"--list"}, QStringList{"--run", "a"}, QStringList{"--stop", "a"}}) {
        const ProgramRun::Outcome outcome = ProgramRun::Run(app.path(), arguments, 30000, debug);
        EXPECT_STATUS(outcome, Done);
        ASSERT_TRUE(outcome.err.contains("file=")) << "the loader reported nothing";
        EXPECT_FALSE(outcome.err.contains(QRegularExpression("file=\\S*(libQt6Gui|libQt6Widgets|libcs_gui|libX11|libxcb)")));
    }
}

// A joint configuration on the suite's databases: consoles, Java server and dispatchers from
// one --run, refused a second time, ended by one --stop.
class SubcommandsOnASuite : public Subcommand
{
protected:
    void SetUp() override
    {
        Subcommand::SetUp();
        Executable("RunServer.bat", Server);
        app.writeFile("OAComponents/eventdispatcher.jar", "jar");
        app.writeFile("OAComponents/eventdispatcher.properties", "p=<PublisherBuscomponent>\r\n");
        Executable("OAComponents/startEventDispatcher.bat", Server);
    }
    void WriteJoint(const QString &fmkDsn, const PgDatabase *rst)
    {
        auto section = [](const char *name, const char *product, const QString &dsn, const PgDatabase *db) {
            return QStringLiteral("[%1]\r\nSatelliteAppln=%2\r\nldbp=1\r\ndsn=%3\r\nuser=%4\r\nsavepass=1\r\npassword=%5\r\n")
                .arg(QLatin1String(name), QLatin1String(product), dsn, db->user(), ScramblePassword(db->password()));
        };
        app.writeFile("lib/J.tsy", Ansi::Encode(section("FMK", "4009", fmkDsn, rst) + section("RST", "1028", rst->dsn(), rst)));
    }
};

TEST_F(SubcommandsOnASuite, RunOfAJointFileStartsEverythingAndStopEndsIt)
{
    const PgDatabase *db = PostgresFixture::Ready(
        "cli_joint", "DELETE FROM tsybcdetails; INSERT INTO tsybcdetails VALUES ('PUB', 'C1', 230, '4009')");
    ASSERT_TRUE(db);
    WriteJoint(db->dsn(), db);
    const ProgramRun::Outcome run = Run({"--run", "J"});
    EXPECT_STATUS(run, Done);
    QStringList started;
    for (const QString &line : run.out.split(u'\n', Qt::SkipEmptyParts))
        started << line.section(" pid ", 0, 0);
    started.sort();
    EXPECT_EQ(started, QStringList({"started console FMK", "started console RST", "started dispatcher PUB", "started java"}))
        << run.out.toStdString();
    EXPECT_EQ(Pids("J.tsy").size(), 4);
    EXPECT_STATUS(Run({"--status", "J"}), Done);
    EXPECT_STATUS(Run({"--run", "J"}), RunningAlready);

    EXPECT_STATUS(Run({"--stop", "J", "--grace", "5"}), Done);
    EXPECT_TRUE(Pids("J.tsy").isEmpty());
    EXPECT_STATUS(Run({"--status", "J"}), NotRunning);
    EXPECT_TRUE(app.readFile("log/J.tsy.dispatcher-PUB.log").contains("got TERM"));
}

// A database that takes the login and never answers is given up after --timeout with a
// message; what was started before it runs on.
TEST_F(SubcommandsOnASuite, ADatabaseThatNeverAnswersIsGivenUp)
{
    HungServer hung("cli_hung");
    ASSERT_TRUE(hung.Listening()) << hung.error().toStdString();
    const PgDatabase *db = PostgresFixture::Ready("cli_hung_rst", "DELETE FROM tsybcdetails");
    ASSERT_TRUE(db);
    WriteJoint(hung.dsn(), db);
    QElapsedTimer clock;
    clock.start();
    const ProgramRun::Outcome run = Run({"--run", "J", "--timeout", "1"});
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_STATUS(run, Failed);
    EXPECT_TRUE(run.err.contains("Gave up waiting for the publishers of data sources \"cli_hung\"")) << run.err.toStdString();
    EXPECT_EQ(Pids("J.tsy").size(), 3) << "both consoles and the Java server";
}

} // namespace
