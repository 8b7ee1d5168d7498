#include "config/SuiteDatabase.h"

namespace SuiteDatabase {

QString BackendVersionQuery() { return QStringLiteral("SELECT backendversion FROM tsparameters"); }

QString PublisherUpdate(const QString &publisher, int tableId, const QString &productCode)
{
    return QStringLiteral("UPDATE TSYBCDETAILS SET publisherBC = N'") + Odbc::Quote(publisher) + u'\''
           + QStringLiteral(" WHERE tableid = ") + QString::number(tableId) + QStringLiteral(" and productID = N'")
           + Odbc::Quote(productCode) + u'\'';
}

QList<int> PublisherTableIds(qint16 productCode)
{
    switch (productCode) {
    case 4009:
        return {230, 240, 224, 220, 229, 234, 236, 235};
    case 1028:
        return {203, 216, 204, 209, 205, 208, 210, 211};
    default:
        return {};
    }
}

QString DispatcherQuery()
{
    return QStringLiteral("SELECT DISTINCT publisherBC,BCname ") + QStringLiteral("FROM TSYBCDETAILS ")
           + QStringLiteral("WHERE publisherBC !='' AND NOT (publisherBC is NULL) ")
           + QStringLiteral("GROUP BY BCname,publisherBC ");
}

QString ConnectionStringValue(const QString &value)
{
    // A ";" would end the value early and braces would open or close one; such a value goes
    // in braces, a "}" inside them doubled.
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}'))
        return value;
    QString braced = value;
    braced.replace(u'}', QStringLiteral("}}"));
    return u'{' + braced + u'}';
}

QString ConnectionString(const QString &dsn, const QString &user, const QString &password)
{
    return QStringLiteral("DSN=") + ConnectionStringValue(dsn) + u';' + QStringLiteral("UID=")
           + ConnectionStringValue(user) + u';' + QStringLiteral("PWD=") + ConnectionStringValue(password) + u';';
}

Result<void> OpenByConnectionString(Odbc::Connection &connection, const QString &dsn, const QString &user,
                                    const QString &password)
{
    return connection.DriverConnect(ConnectionString(dsn, user, password));
}

Result<void> OpenByDataSource(Odbc::Connection &connection, const QString &dsn, const QString &user,
                              const QString &password)
{
    return connection.Connect(dsn, user, password);
}

} // namespace SuiteDatabase
