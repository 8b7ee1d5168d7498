#include "suite/RunRegister.h"
#include "suite/RunStop.h"

#include "platform/Process.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class RunRegisterTest : public ::testing::Test
{
protected:
    // A stand-in server: says where it runs, then waits; trap is its answer to SIGTERM.
    QString Program(const QString &name, const QString &trap)
    {
        app.writeFile(name, ("#!/bin/sh\necho \"$0 $* in $(pwd)\"\necho warning >&2\ntrap '" + trap.toUtf8()
                             + "' TERM\necho trap set\nwhile :; do sleep 0.05; done\n"));
        QFile::setPermissions(app.path() + u'/' + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return name;
    }
    RunRecord Start(const QString &program, const QString &config)
    {
        const Result<RunRegister::StartedRun> started =
            RunRegister::StartRecorded(app.path(), RunKind::Console, {app.lib(config)}, {}, program + " /F x");
        EXPECT_TRUE(started) << (started ? "" : started.error().description.toStdString());
        started_ << (started ? started.value().record.pid : 0);
        return started ? started.value().record : RunRecord();
    }
    void TearDown() override
    {
        for (qint64 pid : started_)
            if (pid > 0)
                ::kill(-pid_t(pid), SIGKILL);
    }
    QList<qint64> Pids()
    {
        QList<qint64> pids;
        for (const RunRecord &r : RunRegister::Read(app.path()).value_or({}))
            pids << r.pid;
        return pids;
    }

    TestAppDir app;
    QList<qint64> started_;
};

// The program runs in the application directory in a group of its own, with both output
// streams in its log after a line that names the start.
TEST_F(RunRegisterTest, StartRecordsTheProgramAndLogsItsOutput)
{
    const RunRecord r = Start(Program("TessHost.exe", "exit 0"), "a.tsy");
    EXPECT_EQ(::getpgid(pid_t(r.pid)), pid_t(r.pid));
    EXPECT_EQ(::getsid(pid_t(r.pid)), pid_t(r.pid));
    EXPECT_EQ(r.user, RunRegister::CurrentUser());
    EXPECT_EQ(Pids(), QList<qint64>{r.pid});
    const QByteArray expected = app.path().toUtf8() + "/TessHost.exe /F x in " + app.path().toUtf8() + "\nwarning\ntrap set\n";
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.readFile("log/a.tsy.console.log").endsWith(expected); }))
        << app.readFile("log/a.tsy.console.log").toStdString();
    EXPECT_TRUE(app.readFile("log/a.tsy.console.log").startsWith("==== "));
    EXPECT_EQ(QFile::permissions(RunRegister::RegisterPath(app.path())) & QFile::ReadGroup, QFile::ReadGroup);
}

// What another instance wrote counts: its live records are kept when this one adds; records
// of ended processes and of a pid now used by another process are dropped.
TEST_F(RunRegisterTest, ARegisterOfAnotherInstanceKeepsOnlyLiveRecords)
{
    const RunRecord live = Start(Program("TessHost.exe", "exit 0"), "a.tsy");
    auto record = [&](qint64 pid, quint64 startTime) {
        QJsonObject o{{"pid", pid}, {"startTime", QString::number(startTime)}, {"uid", 4242}, {"user", "op2"},
                      {"kind", "console"}, {"configFile", app.lib("b.tsy")}, {"started", "2026-01-01T10:02:00Z"}};
        return o;
    };
    const QJsonArray other{record(live.pid, live.startTime), record(live.pid, live.startTime + 1),
                           record(::getpid(), *Process::StartTimeOf(::getpid()) + 7), record(999999999, 1)};
    app.writeFile("log/running-programs.json", QJsonDocument(other).toJson());
    EXPECT_EQ(Pids(), QList<qint64>{live.pid});
    const RunRecord mine = Start(Program("TessHost.exe", "exit 0"), "c.tsy");
    EXPECT_EQ(Pids(), (QList<qint64>{live.pid, mine.pid}));
    EXPECT_EQ(RunRegister::Load(app.path()).value().size(), 2) << "the dead records are gone from the file";
}

// A window killed between a start and its record: the program is found all the same, as the
// record would have named it, Stop can prove it, and the next record completes the register.
TEST_F(RunRegisterTest, AProgramStartedButNeverRecordedIsFound)
{
    // The register cannot be written: a folder stands in its place.
    ASSERT_TRUE(QDir().mkpath(RunRegister::RegisterPath(app.path())));
    const Result<RunRegister::StartedRun> started = RunRegister::StartRecorded(
        app.path(), RunKind::Console, {app.lib("a.tsy")}, {}, Program("TessHost.exe", "exit 0") + " /F x");
    ASSERT_TRUE(started);
    started_ << started->record.pid;
    EXPECT_FALSE(started->recorded);
    ASSERT_TRUE(QDir().rmdir(RunRegister::RegisterPath(app.path())));

    const QList<RunRecord> found = RunRegister::Read(app.path()).value_or({});
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].pid, started->record.pid);
    EXPECT_EQ(found[0].startTime, started->record.startTime);
    EXPECT_EQ(found[0].configFile, app.lib("a.tsy"));
    EXPECT_EQ(found[0].logFile, started->record.logFile);
    EXPECT_TRUE(RunRegister::Verify(app.path(), found[0]));
    ASSERT_TRUE(RunRegister::Add(app.path(), {}));
    EXPECT_EQ(RunRegister::Load(app.path()).value().size(), 1);
}

// Two instances adding at once both keep their records.
TEST_F(RunRegisterTest, ConcurrentAddsLoseNothing)
{
    RunRecord self;
    self.pid = ::getpid();
    self.startTime = *Process::StartTimeOf(::getpid());
    auto adder = [&] {
        for (int i = 0; i < 25; ++i)
            EXPECT_TRUE(RunRegister::Add(app.path(), {self}));
    };
    std::unique_ptr<QThread> a(QThread::create(adder)), b(QThread::create(adder));
    a->start();
    b->start();
    a->wait();
    b->wait();
    EXPECT_EQ(RunRegister::Read(app.path()).value().size(), 50);
}

// A process of another account: as root one is started as nobody, otherwise any process
// /proc shows of another uid. 0 when there is none to be had.
qint64 ForeignProcess(QList<qint64> &started)
{
    if (::geteuid() == 0) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setsid();
            if (::setgid(65534) == 0 && ::setuid(65534) == 0)
                ::execl("/bin/sleep", "sleep", "30", nullptr);
            ::_exit(1);
        }
        started << pid;
        EXPECT_TRUE(QTest::qWaitFor([pid] { return Process::FactsOf(pid) && Process::FactsOf(pid)->uid == 65534; }, 5000));
        return pid;
    }
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const std::optional<Process::Facts> facts = Process::FactsOf(entry.toLongLong());
        if (entry.toLongLong() > 1 && facts && facts->uid != ::getuid())
            return entry.toLongLong();
    }
    return 0;
}

// Stop signals only what it proves it started: a forged or stale record is left alone and named,
// whatever its uid field says; the others' program log says why.
TEST_F(RunRegisterTest, StopSignalsNothingItCannotProve)
{
    const RunRecord mine = Start(Program("TessHost.exe", "exit 0"), "a.tsy");
    const qint64 foreignPid = ForeignProcess(started_);
    ASSERT_GT(foreignPid, 1);
    auto forged = [&](qint64 pid, auto change) {
        RunRecord r = mine;
        r.pid = pid;
        r.startTime = Process::StartTimeOf(pid).value_or(0);
        r.uid = ::getuid(); // the file's word counts for nothing
        change(r);
        return r;
    };
    struct Case { const char *what; RunRecord record; const char *says; };
    const Case cases[] = {
        {"pid 1", forged(1, [](RunRecord &) {}), "pid 1 cannot be"},
        {"another uid", forged(foreignPid, [](RunRecord &) {}), "it belongs to"},
        // A stale record: its process ended and the pid went to another. Nothing to stop or to say.
        {"a wrong start time", forged(mine.pid, [](RunRecord &r) { r.startTime += 1; }), ""},
        {"a wrong program", forged(mine.pid, [](RunRecord &r) { r.commandLine = "Other.exe /F x"; }), "not the recorded program"},
        {"another file", forged(mine.pid, [&](RunRecord &r) { r.configFile = app.lib("b.tsy"); }), "not started from this folder"},
        {"a process not started here", forged(::getpid(), [](RunRecord &) {}), "not verifiable"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RunStopper stopper(app.path(), {c.record}, 200);
        QString outcome;
        QObject::connect(&stopper, &RunStopper::Finished, [&](const QString &text) { outcome = text; });
        stopper.Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !outcome.isEmpty(); }, 5000));
        EXPECT_TRUE(outcome.startsWith("0 program(s) stopped")) << outcome.toStdString();
        ASSERT_EQ(stopper.Refused().size(), *c.says ? 1 : 0);
        if (*c.says) {
            EXPECT_TRUE(stopper.Refused()[0].contains(QLatin1String(c.says))) << stopper.Refused()[0].toStdString();
        }
        EXPECT_TRUE(Process::FactsOf(c.record.pid).has_value()) << "it was signalled";
    }
    EXPECT_TRUE(RunRegister::IsRunning(mine));
    EXPECT_TRUE(app.readFile("log/a.tsy.console.log").contains("sent no signal")) << "the program log says why";
}

// A suite script that execs its server is still the program started: Stop ends it.
TEST_F(RunRegisterTest, StopEndsAProgramThatReplacedItself)
{
    app.writeFile("RunServer.bat", "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(app.path() + "/RunServer.bat", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const RunRecord server = Start("RunServer.bat", "a.tsy");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const std::optional<Process::Facts> facts = Process::FactsOf(server.pid);
        return facts && facts->arguments.value(0) == QLatin1String("sleep");
    }, 5000));
    RunStopper stopper(app.path(), {server}, 2000);
    QString outcome;
    QObject::connect(&stopper, &RunStopper::Finished, [&](const QString &text) { outcome = text; });
    stopper.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !outcome.isEmpty(); }, 5000));
    EXPECT_TRUE(stopper.Refused().isEmpty()) << stopper.Refused().join(u'\n').toStdString();
    EXPECT_FALSE(RunRegister::IsRunning(server));
}

// The grace period by the clock: a program that ignores SIGTERM is still there shortly before
// it ends and gone after it; one that obeys goes at once.
TEST_F(RunRegisterTest, StopWaitsTheGraceThenKills)
{
    const RunRecord polite = Start(Program("polite", "echo got TERM; exit 0"), "a.tsy");
    const RunRecord stubborn = Start(Program("stubborn", ""), "b.tsy");
    // Stopped only once both answer SIGTERM as they mean to.
    for (const char *log : {"log/a.tsy.console.log", "log/b.tsy.console.log"})
        ASSERT_TRUE(QTest::qWaitFor([&] { return app.readFile(QLatin1String(log)).contains("trap set"); }, 5000));
    const int graceMs = 1500;
    RunStopper stopper(app.path(), {polite, stubborn}, graceMs);
    QString outcome;
    QObject::connect(&stopper, &RunStopper::Finished, [&](const QString &text) { outcome = text; });
    QElapsedTimer clock;
    clock.start();
    stopper.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !RunRegister::IsRunning(polite); }, graceMs - 300));
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock.elapsed() >= graceMs - 300; }, graceMs));
    EXPECT_TRUE(RunRegister::IsRunning(stubborn)) << "killed before its grace ended";
    EXPECT_TRUE(outcome.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !outcome.isEmpty(); }, graceMs + 3000));
    EXPECT_GE(clock.elapsed(), graceMs);
    EXPECT_FALSE(RunRegister::IsRunning(stubborn));
    EXPECT_TRUE(stopper.Killed());
    EXPECT_TRUE(outcome.contains("2 program(s) stopped")) << outcome.toStdString();
    EXPECT_TRUE(app.readFile("log/a.tsy.console.log").contains("got TERM"));
}

// A program belongs to the file it was started for, whatever its name becomes: renamed here or
// outside, saved (replaced) or deleted here; a file made later under an old name is another one.
TEST_F(RunRegisterTest, AProgramFollowsItsFileNotItsName)
{
    app.writeFile("lib/a.tsy", "dsn=a\n");
    const RunRecord r = Start(Program("TessHost.exe", "exit 0"), "a.tsy");
    // The row each step leaves the program on; the names that must show nothing of it.
    struct Case { const char *what; std::function<void()> step; const char *row; QStringList notOn; };
    const Case cases[] = {
        {"renamed here", [&] {
             ASSERT_TRUE(QFile::rename(app.lib("a.tsy"), app.lib("b.tsy")));
             ASSERT_TRUE(RunRegister::FileMoved(app.path(), app.lib("a.tsy"), app.lib("b.tsy")));
             app.writeFile("lib/a.tsy", "dsn=new\n");
         }, "b.tsy", {"a.tsy"}},
        {"renamed outside", [&] {
             ASSERT_TRUE(QFile::rename(app.lib("b.tsy"), app.lib("c.tsy")));
         }, "c.tsy", {"a.tsy", "b.tsy"}},
        {"a new file under the name it had", [&] { app.writeFile("lib/b.tsy", "dsn=new\n"); }, "c.tsy", {"b.tsy"}},
        {"saved, which replaces the file", [&] {
             app.writeFile("lib/c.tmp", "dsn=saved\n");
             ASSERT_TRUE(QFile::remove(app.lib("c.tsy")));
             ASSERT_TRUE(QFile::rename(app.lib("c.tmp"), app.lib("c.tsy")));
         }, "c.tsy", {"a.tsy", "b.tsy"}},
        {"deleted outside: gone while the name is", [&] { ASSERT_TRUE(QFile::remove(app.lib("c.tsy"))); },
         "c.tsy (deleted)", {"a.tsy", "b.tsy"}},
        {"deleted here", [&] {
             app.writeFile("lib/c.tsy", "dsn=saved\n");
             ASSERT_TRUE(QFile::remove(app.lib("c.tsy")));
             ASSERT_TRUE(RunRegister::FileMoved(app.path(), app.lib("c.tsy"), QString()));
             app.writeFile("lib/c.tsy", "dsn=new\n");
         }, "c.tsy (deleted)", {"a.tsy", "b.tsy", "c.tsy"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.step();
        const QList<RunRecord> records = RunRegister::Read(app.path()).value_or({});
        const QMap<QString, QList<RunRecord>> rows = RunningState::ByRow(records, app.lib());
        ASSERT_EQ(rows.keys(), QStringList{QLatin1String(c.row)});
        EXPECT_EQ(rows.first().value(0).pid, r.pid);
        EXPECT_EQ(RunningState::Of(records, app.lib(QLatin1String(c.row))).size(), QLatin1String(c.row).endsWith(QLatin1String(".tsy")) ? 1 : 0);
        for (const QString &other : c.notOn)
            EXPECT_TRUE(RunningState::Of(records, app.lib(other)).isEmpty()) << other.toStdString();
        EXPECT_TRUE(RunRegister::Verify(app.path(), rows.first().value(0))) << "Stop still reaches it";
    }
}

TEST(RunningState, SummaryNamesWhatRunsSinceWhenAndWho)
{
    const QDateTime now(QDate(2026, 12, 7), QTime(12, 0));
    const QDateTime ten(now.date(), QTime(10, 2)), yesterday = ten.addDays(-1);
    auto r = [](RunKind kind, const QString &section, const QDateTime &at, const QString &user = "op2") {
        RunRecord record;
        record.user = user;
        record.started = at;
        record.kind = kind;
        record.section = section;
        return record;
    };
    const std::pair<QList<RunRecord>, QString> cases[] = {
        {{}, ""},
        {{r(RunKind::Console, "", ten)}, "console since 10:02, op2"},
        {{r(RunKind::Console, "", ten), r(RunKind::Console, "", yesterday, "op3")}, "2 consoles since 6 Dec 10:02, op2/op3"},
        {{r(RunKind::Dispatcher, "PUB", ten), r(RunKind::Console, "FMK", ten), r(RunKind::JavaServer, "", ten),
          r(RunKind::Console, "RST", ten.addSecs(60))},
         "consoles FMK, RST since 10:02, op2; Java server since 10:02, op2; dispatcher PUB since 10:02, op2"},
    };
    for (const auto &[records, expected] : cases)
        EXPECT_EQ(RunningState::Summary(records, now), expected);
}

} // namespace

// What is written or shown of a command line carries no password: the Java server's values and
// the directory tool's argument lose theirs, a password holding ";" included; others stay as typed.
TEST(RunRegister, MaskedCommandLinesHoldNoPassword)
{
    const std::pair<QString, QString> cases[] = {
        {"TessHost.exe  /F /app/lib/x.tsy", "TessHost.exe  /F /app/lib/x.tsy"},
        {"RunServer.bat \"4009;DSN;u;s3cret;1\" \"1028;srv;u2;p;w;d;2\" ",
         "RunServer.bat \"4009;DSN;u;****;1\" \"1028;srv;u2;****;2\""},
        {"java MyLDAP \"admin;s3cret;3;PUB;socket://h:1;0\"", "java MyLDAP \"admin;****;3;PUB;socket://h:1;0\""},
    };
    for (const auto &[line, shown] : cases)
        EXPECT_EQ(RunRegister::Masked(line), shown);
}
