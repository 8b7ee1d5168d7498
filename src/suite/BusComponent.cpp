#include "suite/BusComponent.h"

#include "app/Messages.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/Process.h"
#include "platform/SharedFolder.h"
#include "platform/VbText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QString FailureLog = QStringLiteral("faliure.log"); // the tool's own spelling
const QString RunFolderName = QStringLiteral("directory-tool"); // and "-<letters>" each run
const QString SuccessLog = QStringLiteral("success.log");

void Failed(Messages &messages, const QString &componentName, const QString &reason)
{
    Tell(messages, messages.Text("CS_BUS_NOT_CREATED").arg(componentName) + QStringLiteral("\r\n") + reason,
         MsgIcon::Critical, MsgButtons::Ok);
}

// The tool finds its classes in classFolder first, then where the administrator's CLASSPATH says.
QString ToolClassPath(const QString &classFolder, const QString &administratorClassPath)
{
    return administratorClassPath.isEmpty() ? classFolder : classFolder + u':' + administratorClassPath;
}

// Where this run's working folder goes: the user's private run-time folder when there is one.
QString ToolFolderParent(const QString &logDirectory)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : logDirectory;
}

// Runs the command line in folder and waits for it; fails, saying why, when it did not run to
// its end (not started, or cancelled).
Result<void> RunTool(Messages &messages, const QString &appDir, const QString &folder, const QString &commandLine,
                     const ToolWaiting &waiting)
{
    QStringList arguments = Process::SplitCommandLine(Vb::Trim(commandLine));
    const QString name = arguments.takeFirst();
    const QString program = Process::FindProgram(appDir, name);
    if (program.isEmpty())
        return Failure{ErrorNumber::FileNotFound,
                       messages.Text("CS_BUS_TOOL_NOT_FOUND").arg(name, appDir)};
    QProcess tool;
    tool.setProgram(program);
    tool.setArguments(arguments);
    tool.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CLASSPATH"), ToolClassPath(appDir, environment.value(QStringLiteral("CLASSPATH"))));
    tool.setProcessEnvironment(environment);
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    // A group of its own, so that Cancel ends whatever the tool started too; and it ends with
    // this process, so that a window killed meanwhile leaves no tool running unseen.
    const pid_t parent = ::getpid();
    tool.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    tool.start();
    if (!tool.waitForStarted())
        return Failure{ErrorNumber::InvalidProcedureCall,
                       messages.Text("CS_BUS_TOOL_NOT_STARTED").arg(program, tool.errorString())};

    QEventLoop loop;
    QObject::connect(&tool, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    bool cancelled = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (cancelled || !waiting || waiting(int(clock.elapsed() / 1000)))
            return;
        cancelled = true;
        const qint64 pid = tool.processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
    });
    tick.start(200);
    if (tool.state() != QProcess::NotRunning)
        loop.exec(waiting ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    tick.stop();
    if (cancelled)
        return Failure{ErrorNumber::UserInterrupt, messages.Text("CS_BUS_TOOL_CANCELLED"),
                       FailureKind::Cancelled};
    return {};
}

} // namespace

QString BusComponentCommandLine(const QString &host, const QString &port, const QString &admin,
                                const QString &adminPassword, const QString &componentName)
{
    const QString endpoint = QStringLiteral("socket://") + Vb::Trim(host) + u':' + Vb::Trim(port);
    return QStringLiteral("java MyLDAP \"") + admin + u';' + adminPassword + QStringLiteral(";3;")
           + componentName + u';' + endpoint + QStringLiteral(";0\"");
}

bool CreateBusComponent(Messages &messages, const QString &appDir, const QString &logDirectory, const QString &host,
                        const QString &port, const QString &admin, const QString &adminPassword,
                        const QString &componentName, const ToolWaiting &waiting)
{
    // A folder of this run's own, readable by this user only: its logs are this run's outcome
    // whoever else runs the tool, and the application directory may be read-only.
    const QString parent = ToolFolderParent(logDirectory);
    const auto folder = SharedFolder::PrivateFolder::Make(parent, RunFolderName);
    if (!folder) {
        Failed(messages, componentName,
               messages.Text("CS_BUS_NO_FOLDER").arg(QDir::toNativeSeparators(parent), messages.Text(folder.error().Text())));
        return false;
    }
    // Held while the tool runs: a window starting meanwhile removes only the folders of runs
    // that ended without removing their own (a killed window).
    const auto held = FileLock::LockFolder(folder.value()->Path());
    const QString commandLine = BusComponentCommandLine(host, port, admin, adminPassword, componentName);
    const Result<void> ran = RunTool(messages, appDir, folder.value()->Path(), commandLine, waiting);
    if (waiting)
        waiting(ToolEnded);
    if (!ran) {
        Failed(messages, componentName, messages.Text(ran.error().Text()));
        return false;
    }
    // The tool's exit code means nothing; only its log files tell the outcome.
    return ReportBusComponentResult(messages, componentName, folder.value()->Path());
}

QStringList RemoveEarlierToolFolders(const QString &logDirectory)
{
    const Result<SharedFolder::Folder> parent = SharedFolder::Folder::Open(ToolFolderParent(logDirectory));
    if (!parent)
        return {};
    return parent->RemoveLeftFolders(RunFolderName + u'-');
}

bool ReportBusComponentResult(Messages &messages, const QString &componentName, const QString &folderPath)
{
    const Result<SharedFolder::Folder> folder = SharedFolder::Folder::Open(folderPath);
    if (folder && folder->Look(FailureLog)) {
        const Result<QString> read = FileIo::ReadAnsiText(folder->PathOf(FailureLog));
        const QString reason = read ? read.value() : read.error().description;
        Tell(messages, messages.Text("CS_BUS_ERRORS").arg(componentName) + QStringLiteral("\r\n") + reason);
        (void)folder->Remove(FailureLog); // the outcome is told; a log left behind goes with the folder
        return false;
    }
    if (folder && folder->Look(SuccessLog)) {
        Tell(messages, messages.Text("CS_BUS_CREATED").arg(componentName));
        (void)folder->Remove(SuccessLog);
        return true;
    }
    Failed(messages, componentName,
           messages.Text("CS_BUS_NO_LOG").arg(SuccessLog, FailureLog, QDir::toNativeSeparators(folderPath)));
    return false;
}
