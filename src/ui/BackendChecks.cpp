#include "ui/BackendChecks.h"

#include "app/Session.h"
#include "config/SuiteDatabase.h"
#include "platform/Odbc.h"

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
    bool ok = SuiteDatabase::OpenByDataSource(connection, dsn, user, password, &error);
    if (ok) {
        auto rows = connection.Query(SuiteDatabase::BackendVersionQuery(), &error);
        ok = rows != nullptr;
        if (ok && rows->Next(&error)) {
            const QVariant value = rows->Field(QStringLiteral("backendversion"), &error);
            ok = !error.isError() && VersionOf(value, &version, &error);
        } else if (ok) {
            ok = !error.isError(); // no row: version 0
        }
    }
    if (!ok) {
        session.MsgBox(error.description, MsgIcon::None, MsgButtons::Ok);
        return false;
    }
    return version == 6;
}
