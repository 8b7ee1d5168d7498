#include "suite/BusComponent.h"

#include "app/Session.h"
#include "platform/FileIo.h"
#include "platform/Process.h"
#include "platform/VbText.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace {

const QString FailureLog = QStringLiteral("faliure.log"); // the tool's own spelling
const QString SuccessLog = QStringLiteral("success.log");

// The tool may leave its logs read-only; they are removed all the same.
bool ForceDelete(const QString &path)
{
    if (!QFile::exists(path))
        return true;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
    return QFile::remove(path);
}

void Failed(Session &session, const QString &componentName, const QString &reason)
{
    session.MsgBox(QStringLiteral("Bus Component '%1' was not created.\r\n").arg(componentName) + reason,
                   MsgIcon::Critical, MsgButtons::Ok);
}

enum class ToolEnd { Ended, NotStarted, Cancelled };

// Runs the command line in appDir and waits for it; *why says why it did not run to its end.
ToolEnd RunTool(const QString &appDir, const QString &commandLine, const ToolWaiting &waiting, QString *why)
{
    QStringList arguments = Process::SplitCommandLine(Vb::Trim(commandLine));
    const QString name = arguments.takeFirst();
    const QString program = Process::FindProgram(appDir, name);
    if (program.isEmpty()) {
        *why = QStringLiteral("The directory tool \"%1\" was not found in %2 or on the search path.").arg(name, appDir);
        return ToolEnd::NotStarted;
    }
    QProcess tool;
    tool.setProgram(program);
    tool.setArguments(arguments);
    tool.setWorkingDirectory(appDir);
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    // A group of its own, so that Cancel ends whatever the tool started too.
    tool.setChildProcessModifier([] { ::setpgid(0, 0); });
    tool.start();
    if (!tool.waitForStarted()) {
        *why = QStringLiteral("The directory tool \"%1\" could not be started: %2").arg(program, tool.errorString());
        return ToolEnd::NotStarted;
    }

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
    if (cancelled) {
        *why = QStringLiteral("It was cancelled and the directory tool was ended.");
        return ToolEnd::Cancelled;
    }
    return ToolEnd::Ended;
}

} // namespace

QString BusComponentCommandLine(const QString &host, const QString &port, const QString &admin,
                                const QString &adminPassword, const QString &componentName)
{
    const QString endpoint = QStringLiteral("socket://") + Vb::Trim(host) + u':' + Vb::Trim(port);
    return QStringLiteral("java MyLDAP \"") + admin + u';' + adminPassword + QStringLiteral(";3;")
           + componentName + u';' + endpoint + QStringLiteral(";0\"");
}

bool CreateBusComponent(Session &session, const QString &host, const QString &port, const QString &admin,
                        const QString &adminPassword, const QString &componentName, const ToolWaiting &waiting)
{
    // Logs of an earlier run must not pass for this run's outcome.
    for (const QString &log : {FailureLog, SuccessLog}) {
        if (!ForceDelete(session.AppPath(log))) {
            Failed(session, componentName,
                   QStringLiteral("The result log of an earlier run, %1, could not be deleted.").arg(session.AppPath(log)));
            return false;
        }
    }
    QString why;
    if (RunTool(session.AppDir(), BusComponentCommandLine(host, port, admin, adminPassword, componentName), waiting,
                &why)
        != ToolEnd::Ended) {
        Failed(session, componentName, why);
        return false;
    }
    // The tool's exit code means nothing; only its log files tell the outcome.
    return ReportBusComponentResult(session, componentName);
}

bool ReportBusComponentResult(Session &session, const QString &componentName)
{
    const QString failure = session.AppPath(FailureLog);
    if (FileIo::PathExists(failure)) {
        const Result<QString> read = FileIo::ReadAnsiText(failure);
        const QString reason = read ? read.value() : read.error().description;
        session.MsgBox(QStringLiteral("Creation of Bus Component '") + componentName
                           + QStringLiteral("' Encountered Errors!\r\n") + reason,
                       MsgIcon::None, MsgButtons::Ok);
        ForceDelete(failure);
        return false;
    }
    const QString success = session.AppPath(SuccessLog);
    if (FileIo::PathExists(success)) {
        session.MsgBox(QStringLiteral("Bus Component ") + componentName + QStringLiteral(" created successfully!"),
                       MsgIcon::None, MsgButtons::Ok);
        ForceDelete(success);
        return true;
    }
    Failed(session, componentName,
           QStringLiteral("The directory tool ended without leaving %1 or %2 in %3.")
               .arg(SuccessLog, FailureLog, session.AppDir()));
    return false;
}
