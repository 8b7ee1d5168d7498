#pragma once

#include "platform/Odbc.h"
#include "platform/VbText.h"

#include <QList>
#include <QString>

// What the program expects of a suite database: how a connection is opened and the exact
// text of the three statements it sends. Values are inserted as text, apostrophes doubled.
namespace SuiteDatabase {

// "SELECT backendversion FROM tsparameters"
QString BackendVersionQuery();

// The statement that names the publishing bus component of one table of one product:
// UPDATE TSYBCDETAILS SET publisherBC = N'<publisher>' WHERE tableid = <id> and productID = N'<product>'
QString PublisherUpdate(const QString &publisher, int tableId, const QString &productCode);

// The table ids whose publisher the merge and split sets, in the order they are updated:
// eight for each product of merge and split, none for any other.
QList<int> PublisherTableIds(qint16 productCode);

// Every publishing bus component with the bus components it publishes for
// (fields "publisherBC" and "BCName"; the trailing blank is part of the text).
QString DispatcherQuery();

// One value of a connection string: as it stands, or in braces when it holds ";", "{" or "}".
QString ConnectionStringValue(const QString &value);

// "DSN=<dsn>;UID=<user>;PWD=<password>;" — the password in clear text, each value as
// ConnectionStringValue gives it.
QString ConnectionString(const QString &dsn, const QString &user, const QString &password);

// Opens through the connection string above (the publisher settings and the launch of a
// joint configuration connect this way).
Result<void> OpenByConnectionString(Odbc::Connection &connection, const QString &dsn, const QString &user,
                                    const QString &password);

// Opens with data source name, user and password as separate arguments (the back-end checks).
Result<void> OpenByDataSource(Odbc::Connection &connection, const QString &dsn, const QString &user,
                              const QString &password);

} // namespace SuiteDatabase
