#include "config/SuiteDatabase.h"

#include "config/Products.h"

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
    const Product *product = ProductWithCode(productCode);
    if (!product || product->mergeSplitSlot < 0)
        return {};
    return QList<int>(product->publisherTables.begin(), product->publisherTables.end());
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
