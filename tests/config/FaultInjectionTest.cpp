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

// Runs act under the fault. Under a file size limit it runs in a child process that
// reports back through a pipe, since the limit cannot be lifted again by a user.
Outcome RunUnder(Fault fault, const std::function<Outcome()> &act)
{
    if (fault == Fault::FileSizeLimit) {
        int fds[2];
        if (::pipe(fds) != 0)
            return {true, QStringLiteral("pipe failed")};
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
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
        return {report.startsWith('1') || report.isEmpty(), QString::fromUtf8(report.mid(1))};
    }
    FileIo::InjectFault(fault == Fault::DiskFull   ? FileIo::InjectedFault::DiskFull
                        : fault == Fault::ReadOnly ? FileIo::InjectedFault::ReadOnly
                                                   : FileIo::InjectedFault::None);
    const Outcome o = act();
    FileIo::InjectFault(FileIo::InjectedFault::None);
    return o;
}

// Every file of lib/ with its bytes, temporary files included.
QMap<QString, QByteArray> Snapshot(const TestDir &app)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(app.lib()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, app.readFile(QStringLiteral("lib/") + name));
    return files;
}

Outcome FromError(bool ok, const Vb::Error &e) { return {ok, e.description}; }

} // namespace

TEST(FaultInjection, FilesStayWholeAndTheMessageNamesTheFile)
{
    struct Case
    {
        const char *what;
        Fault fault;
        std::function<Outcome(TestDir &)> act;
        const char *named; // the file the message names; nullptr when the call has no message
    };
    auto save = [](const char *name) {
        return [=](TestDir &app) {
            ConfigRecord record;
            record.dsn = QStringLiteral("NEW");
            Vb::Error e;
            return FromError(ConfigFormat::WriteFile(app.lib(QLatin1String(name)), record, &e), e);
        };
    };
    auto join = [](const char *rostrum) {
        return [=](TestDir &app) {
            Vb::Error e;
            return FromError(ConfigStore::JoinConfigFiles(app.path(), QStringLiteral("f.tsy"), QLatin1String(rostrum),
                                                          QStringLiteral("joint.tsy"), &e), e);
        };
    };
    auto rename = [](TestDir &app) {
        Vb::Error e;
        return FromError(FileIo::RenameFile(app.lib("f.tsy"), app.lib("g.tsy"), &e), e);
    };
    const Case cases[] = {
        {"save over a file onto a full disk", Fault::FileSizeLimit, save("f.tsy"), "f.tsy"},
        {"save of a new file onto a full disk", Fault::FileSizeLimit, save("new.tsy"), "new.tsy"},
        {"join onto a full disk", Fault::DiskFull, join("r.tsy"), "joint.tsy"},
        {"rename on a full disk", Fault::DiskFull, rename, "f.tsy"},
        {"profile write onto a full disk", Fault::FileSizeLimit,
         [](TestDir &app) {
             return Outcome{IniProfile::WritePrivateProfileString("FMK", "dsn", "changed", app.lib("joint.tsy")), {}};
         },
         nullptr},
        {"save in a read-only lib", Fault::ReadOnly, save("new.tsy"), "new.tsy"},
        {"rename in a read-only lib", Fault::ReadOnly, rename, "f.tsy"},
        {"delete in a read-only lib", Fault::ReadOnly,
         [](TestDir &app) {
             Vb::Error e;
             return FromError(FileIo::DeleteFile(app.lib("f.tsy"), &e), e);
         },
         "f.tsy"},
        {"a listed file gone before the read", Fault::None,
         [](TestDir &app) {
             QFile::remove(app.lib("gone.tsy"));
             QString text;
             Vb::Error e;
             return FromError(FileIo::ReadAnsiText(app.lib("gone.tsy"), &text, &e), e);
         },
         "gone.tsy"},
        {"a file to join gone before the join", Fault::None,
         [&](TestDir &app) {
             QFile::remove(app.lib("gone.tsy"));
             return join("gone.tsy")(app);
         },
         "gone.tsy"},
        {"a child program that cannot be started", Fault::None,
         [](TestDir &app) {
             // A configuration file is no program: it exists but may not be executed.
             Vb::Error e;
             const bool ok = Process::Start(app.path(), u'"' + app.lib("f.tsy") + QStringLiteral("\" /F x"),
                                            Process::WindowStyle::NormalFocus, &e);
             return FromError(ok, e);
         },
         "f.tsy"},
    };
    for (const Case &c : cases) {
        TestDir app;
        app.writeConfig("f.tsy", {"SatelliteAppln=4009", "dsn=FMK"});
        app.writeConfig("r.tsy", {"SatelliteAppln=1028", "dsn=RST"});
        app.writeConfig("joint.tsy", {"[FMK]", "dsn=FMK", "[RST]", "dsn=RST"});
        app.writeConfig("gone.tsy", {"dsn=GONE"});
        QMap<QString, QByteArray> before = Snapshot(app);

        const Outcome outcome = RunUnder(c.fault, [&] { return c.act(app); });

        EXPECT_FALSE(outcome.ok) << c.what;
        if (c.named)
            EXPECT_TRUE(outcome.message.contains(app.lib(QLatin1String(c.named)))) << c.what << ": " << outcome.message.toStdString();
        before.remove(QStringLiteral("gone.tsy"));
        QMap<QString, QByteArray> after = Snapshot(app);
        after.remove(QStringLiteral("gone.tsy"));
        EXPECT_EQ(after, before) << c.what;
    }
}
