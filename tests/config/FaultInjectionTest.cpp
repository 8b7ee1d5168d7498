// Faults the program meets on real machines, provoked one by one (full disk and read-only
// folder through the file layer): after each, every file in lib/ is as it was, and the
// message names the file that failed.

#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "platform/IniProfile.h"
#include "platform/Process.h"
#include "support/TestDir.h"

#include <QDir>
#include <QMap>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The file layer's writes fail as on a full disk (ENOSPC) or in a read-only folder.
using Fault = FileIo::InjectedFault;

// The message of a failed call; "succeeded" when it did not fail.
template <typename T>
QString FailureText(const Result<T> &result)
{
    return result ? u"succeeded"_s : result.error().description;
}

// Every file of lib/ with its bytes, temporary files included.
QMap<QString, QByteArray> Snapshot(const TestDir &app)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(app.lib()).entryList(QDir::Files | QDir::Hidden | QDir::System))
        files.insert(name, app.readFile("lib/"_L1 + name));
    return files;
}

} // namespace

// A file that is missing stands for one listed and gone before it is read.
TEST(FaultInjection, FilesStayWholeAndTheMessageNamesTheFile)
{
    using Act = std::function<QString(const TestDir &)>;
    auto save = [](const char *name) -> Act {
        return [=](const TestDir &app) { return FailureText(ConfigFormat::WriteFile(app.lib(name), ConfigRecord{})); };
    };
    auto join = [](const char *rostrum) -> Act {
        return [=](const TestDir &app) {
            return FailureText(ConfigStore::JoinConfigFiles(app.path(), u"f.tsy"_s, rostrum, u"joint.tsy"_s));
        };
    };
    const Act rename = [](const TestDir &app) { return FailureText(FileIo::RenameFile(app.lib("f.tsy"), app.lib("g.tsy"))); };
    // named: the file the message names; nullptr when the call has no message.
    const struct { const char *what; Fault fault; Act act; const char *named; } cases[] = {
        {"save over a file onto a full disk", Fault::DiskFull, save("f.tsy"), "f.tsy"},
        {"join onto a full disk", Fault::DiskFull, join("r.tsy"), "joint.tsy"},
        {"rename on a full disk", Fault::DiskFull, rename, "f.tsy"},
        {"profile write onto a full disk", Fault::DiskFull,
         [](const TestDir &app) {
             return IniProfile::WritePrivateProfileString("FMK", "dsn", "changed", app.lib("joint.tsy")) ? u"succeeded"_s
                                                                                                          : QString();
         },
         nullptr},
        {"save in a read-only lib", Fault::ReadOnly, save("new.tsy"), "new.tsy"},
        {"rename in a read-only lib", Fault::ReadOnly, rename, "f.tsy"},
        {"delete in a read-only lib", Fault::ReadOnly,
         [](const TestDir &app) { return FailureText(FileIo::DeleteFile(app.lib("f.tsy"))); }, "f.tsy"},
        {"a listed file gone before the read", Fault::None,
         [](const TestDir &app) { return FailureText(FileIo::ReadAnsiText(app.lib("gone.tsy"))); }, "gone.tsy"},
        {"a file to join gone before the join", Fault::None, join("gone.tsy"), "gone.tsy"},
        // A configuration file is no program: it exists but may not be executed.
        {"a child program that cannot be started", Fault::None,
         [](const TestDir &app) {
             return FailureText(Process::Start(app.path(), u'"' + app.lib("f.tsy") + u"\" /F x"_s));
         },
         "f.tsy"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestDir app;
        app.writeConfig("f.tsy", {"SatelliteAppln=4009", "dsn=FMK"});
        app.writeConfig("r.tsy", {"SatelliteAppln=1028", "dsn=RST"});
        app.writeConfig("joint.tsy", {"[FMK]", "dsn=FMK", "[RST]", "dsn=RST"});
        const QMap<QString, QByteArray> before = Snapshot(app);

        FileIo::InjectFault(c.fault);
        const QString message = c.act(app);
        FileIo::InjectFault(Fault::None);

        EXPECT_NE(message, u"succeeded"_s);
        if (c.named) {
            EXPECT_TRUE(message.contains(app.lib(c.named))) << message.toStdString();
        }
        EXPECT_EQ(Snapshot(app), before);
    }
}
