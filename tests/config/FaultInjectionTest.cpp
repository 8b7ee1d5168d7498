// Faults the program meets on real machines, provoked one by one: after each, every file in
// lib/ is as it was, and the message names the file that failed.

#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "platform/Process.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum class Fault {
    None,
    FileSizeLimit, // a real full disk for writes: RLIMIT_FSIZE in a child process
    DiskFull,      // the file layer's writes fail with ENOSPC
    ReadOnly,      // the file layer's writes are refused as in a read-only folder
};

struct Outcome
{
    bool ok = true;
    QString message;
};

template <typename T>
Outcome FromResult(const Result<T> &result)
{
    return {result.ok(), result ? QString() : result.error().description};
}

// Runs act under the fault. Under a file size limit it runs in a child process that
// reports back through a pipe, since the limit cannot be lifted again by a user.
Outcome RunUnder(Fault fault, const std::function<Outcome()> &act)
{
    if (fault != Fault::FileSizeLimit) {
        FileIo::InjectFault(fault == Fault::DiskFull   ? FileIo::InjectedFault::DiskFull
                            : fault == Fault::ReadOnly ? FileIo::InjectedFault::ReadOnly
                                                       : FileIo::InjectedFault::None);
        const Outcome o = act();
        FileIo::InjectFault(FileIo::InjectedFault::None);
        return o;
    }
    int fds[2];
    if (::pipe(fds) != 0)
        return {true, u"pipe failed"_s};
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead of killing
        const rlimit limit{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const Outcome o = act();
        const QByteArray report = (o.ok ? "1" : "0") + o.message.toUtf8();
        [[maybe_unused]] const auto written = ::write(fds[1], report.constData(), size_t(report.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray report;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return {!report.startsWith('0'), QString::fromUtf8(report.mid(1))};
}

// Every file of lib/ but gone.tsy with its bytes, temporary files included.
QMap<QString, QByteArray> Snapshot(const TestDir &app)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(app.lib()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, app.readFile("lib/"_L1 + name));
    files.remove(u"gone.tsy"_s);
    return files;
}

} // namespace

TEST(FaultInjection, FilesStayWholeAndTheMessageNamesTheFile)
{
    using Act = std::function<Outcome(const TestDir &)>;
    auto save = [](const char *name) -> Act {
        return [=](const TestDir &app) { return FromResult(ConfigFormat::WriteFile(app.lib(name), ConfigRecord{})); };
    };
    auto join = [](const char *rostrum) -> Act {
        return [=](const TestDir &app) {
            QFile::remove(app.lib(u"gone.tsy"_s));
            return FromResult(ConfigStore::JoinConfigFiles(app.path(), u"f.tsy"_s, rostrum, u"joint.tsy"_s));
        };
    };
    const Act rename = [](const TestDir &app) { return FromResult(FileIo::RenameFile(app.lib("f.tsy"), app.lib("g.tsy"))); };
    // named: the file the message names; nullptr when the call has no message.
    const struct { const char *what; Fault fault; Act act; const char *named; } cases[] = {
        {"save over a file onto a full disk", Fault::FileSizeLimit, save("f.tsy"), "f.tsy"},
        {"join onto a full disk", Fault::DiskFull, join("r.tsy"), "joint.tsy"},
        {"rename on a full disk", Fault::DiskFull, rename, "f.tsy"},
        {"profile write onto a full disk", Fault::FileSizeLimit,
         [](const TestDir &app) {
             return Outcome{IniProfile::WritePrivateProfileString("FMK", "dsn", "changed", app.lib("joint.tsy")), {}};
         },
         nullptr},
        {"save in a read-only lib", Fault::ReadOnly, save("new.tsy"), "new.tsy"},
        {"rename in a read-only lib", Fault::ReadOnly, rename, "f.tsy"},
        {"delete in a read-only lib", Fault::ReadOnly,
         [](const TestDir &app) { return FromResult(FileIo::DeleteFile(app.lib("f.tsy"))); }, "f.tsy"},
        {"a listed file gone before the read", Fault::None,
         [](const TestDir &app) {
             QFile::remove(app.lib("gone.tsy"));
             return FromResult(FileIo::ReadAnsiText(app.lib("gone.tsy")));
         },
         "gone.tsy"},
        {"a file to join gone before the join", Fault::None, join("gone.tsy"), "gone.tsy"},
        // A configuration file is no program: it exists but may not be executed.
        {"a child program that cannot be started", Fault::None,
         [](const TestDir &app) {
             return FromResult(Process::Start(app.path(), u'"' + app.lib("f.tsy") + u"\" /F x"_s, Process::WindowStyle::NormalFocus));
         },
         "f.tsy"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestDir app;
        app.writeConfig("f.tsy", {"SatelliteAppln=4009", "dsn=FMK"});
        app.writeConfig("r.tsy", {"SatelliteAppln=1028", "dsn=RST"});
        app.writeConfig("joint.tsy", {"[FMK]", "dsn=FMK", "[RST]", "dsn=RST"});
        app.writeConfig("gone.tsy", {"dsn=GONE"});
        const QMap<QString, QByteArray> before = Snapshot(app);

        const Outcome outcome = RunUnder(c.fault, [&] { return c.act(app); });

        EXPECT_FALSE(outcome.ok);
        if (c.named) {
            EXPECT_TRUE(outcome.message.contains(app.lib(c.named))) << outcome.message.toStdString();
        }
        EXPECT_EQ(Snapshot(app), before);
    }
}
