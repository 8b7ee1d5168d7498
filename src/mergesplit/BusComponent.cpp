#include "mergesplit/BusComponent.h"

#include "app/Session.h"
#include "platform/FileIo.h"
#include "platform/Process.h"
#include "platform/VbText.h"

#include <QFile>

namespace {

const QString FailureLog = QStringLiteral("faliure.log"); // the tool's own spelling
const QString SuccessLog = QStringLiteral("success.log");

// The tool may leave its logs read-only; they are removed all the same.
void ForceDelete(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
    QFile::remove(path);
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
                        const QString &adminPassword, const QString &componentName)
{
    QString commandLine = BusComponentCommandLine(host, port, admin, adminPassword, componentName);
    // The tool's exit code means nothing; only its log files tell the outcome.
    Process::RunAndWait(session.AppDir(), commandLine, true, 0);
    return ReportBusComponentResult(session, componentName);
}

bool ReportBusComponentResult(Session &session, const QString &componentName)
{
    const QString failure = session.AppPath(FailureLog);
    if (FileIo::PathExists(failure)) {
        QString reason;
        Vb::Error error;
        if (!FileIo::ReadAnsiText(failure, &reason, &error))
            reason = error.description;
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
    return false;
}
