#pragma once

#include "platform/Odbc.h"
#include "platform/VbText.h"

#include <array>
#include <memory>

// The two database connections of one showing of the publisher settings dialog (0 =
// Fieldmark, 1 = Rostrum) and the publisher update run on them. Each showing opens its own;
// they close with it.
class PublisherConnections final
{
public:
    PublisherConnections() = default;
    Q_DISABLE_COPY_MOVE(PublisherConnections)

    // Opens a new connection for which (connection-string form), replacing the one before.
    Result<void> Open(int which, const QString &dsn, const QString &user, const QString &password);
    // Null when which was not opened.
    Odbc::Connection *Get(int which) const;

    // The most characters a publisher name may have to fit the publisher column of every
    // open database; 0 when no database says. An error when a database cannot be asked.
    Result<qint64> PublisherColumnSize() const;

    // The update of one table of one product, on that product's connection.
    Result<void> UpdatePublisherBusComponent(int which, int tableId, const QString &publisher) const;

    // The eight updates of each product, one product's table after the other's, each
    // database in a transaction of its own: on any failure both are rolled back and the
    // error holds the driver's text.
    Result<void> UpdatePublisherForAllTables(const QString &publisher) const;

private:
    std::array<std::unique_ptr<Odbc::Connection>, 2> m_connections;
};
