#include "suite/BackendChecks.h"

#include "app/Session.h"
#include "config/SuiteDatabase.h"
#include "platform/Odbc.h"
#include "platform/Process.h"


namespace {

// What a conversion of a null value reports.
Vb::Error InvalidUseOfNull() { return Vb::Error{94, QStringLiteral("Invalid use of Null")}; }

// The version as a 16-bit whole number, converted the way the original converts a field.
bool VersionOf(const QVariant &value, qint16 *version, Vb::Error *error)
{
    if (!value.isValid()) {
        *error = InvalidUseOfNull();
        return false;
    }
    if (value.typeId() == QMetaType::LongLong) {
        const qlonglong number = value.toLongLong();
        if (number < -32768 || number > 32767) {
            *error = Vb::Overflow();
            return false;
        }
        *version = qint16(number);
        return true;
    }
    return Vb::CInt(value.toString(), version, error);
}

// The back-end version in the first row of tsparameters, read on an open connection; 0 when
// the table has no row.
bool ReadBackendVersion(Odbc::Connection &connection, qint16 *version, Vb::Error *error)
{
    *version = 0;
    auto rows = connection.Query(SuiteDatabase::BackendVersionQuery(), error);
    if (!rows)
        return false;
    if (!rows->Next(error))
        return !error->isError(); // no row: version 0
    const QVariant value = rows->Field(QStringLiteral("backendversion"), error);
    return !error->isError() && VersionOf(value, version, error);
}

} // namespace

bool LookUpServerName(const QString &dsn, const QString &user, const QString &password, QString *name,
                      Vb::Error *error)
{
    Odbc::Connection connection;
    return SuiteDatabase::OpenByDataSource(connection, dsn, user, password, error) && connection.ServerName(name, error);
}

QString getTNSName(Session &session, const QString &sDSNname, const QString &sUsername, const QString &sPassword)
{
    Vb::Error error;
    QString name;
    if (!LookUpServerName(sDSNname, sUsername, sPassword, &name, &error)) {
        session.MsgBox(error.description, MsgIcon::None, MsgButtons::Ok);
        return QString();
    }
    return name;
}

bool CheckBackendVersion(Session &session, const QString &dsn, const QString &user, const QString &password)
{
    Odbc::Connection connection;
    Vb::Error error;
    qint16 version = 0;
    if (!SuiteDatabase::OpenByDataSource(connection, dsn, user, password, &error)
        || !ReadBackendVersion(connection, &version, &error)) {
        session.MsgBox(error.description, MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    return version == 6;
}

bool DescribeConnection(ConnectionForm form, bool secondPlatform, const QString &dsn, const QString &user,
                        const QString &password, QString *report)
{
    Odbc::Connection connection;
    Vb::Error error;
    // The data source the failure, if any, is told of.
    QString source = dsn;
    bool opened = false;
    if (form == ConnectionForm::ConnectionString) {
        opened = SuiteDatabase::OpenByConnectionString(connection, dsn, user, password, &error);
    } else {
        // As the Java server's start does: on the second platform the server name, looked
        // up through the configured data source, is the data source of the version check.
        opened = (!secondPlatform || LookUpServerName(dsn, user, password, &source, &error))
                 && SuiteDatabase::OpenByDataSource(connection, source, user, password, &error);
    }
    QString serverName;
    if (!opened || !connection.ServerName(&serverName, &error)) {
        *report = QStringLiteral("The connection to data source \"%1\" failed:\r\n%2").arg(source, error.description);
        return false;
    }
    qint16 version = 0;
    if (!ReadBackendVersion(connection, &version, &error)) {
        *report = QStringLiteral("Connected to server \"%1\", but its back-end version could not be read:\r\n%2")
                      .arg(serverName, error.description);
        return false;
    }
    *report = QStringLiteral("Connected to server \"%1\", back-end version %2.").arg(serverName).arg(version);
    if (version == 6)
        return true;
    *report += QStringLiteral("\r\nThe Java server starts only on back-end version 6.");
    return false;
}

void TestConnection(Session &session, ConnectionForm form, bool secondPlatform, const QString &dsn,
                    const QString &user, const QString &password)
{
    // The login may take up to its time-out; the window says it is busy meanwhile. Clicks and
    // keys that come in the while wait in the queue and meet the message box, not the window.
    QString report;
    bool usable = false;
    {
        Process::BusyWait busy;
        usable = DescribeConnection(form, secondPlatform, dsn, user, password, &report);
    }
    session.MsgBox(report, usable ? MsgIcon::Information : MsgIcon::Exclamation, MsgButtons::Ok);
}
