#include "suite/PublisherConnections.h"

#include "config/ConfigRecord.h"
#include "config/SuiteDatabase.h"

namespace {

const QString ProductCodes[2] = {QString::number(MergeSplitProduct(0).code),
                                 QString::number(MergeSplitProduct(1).code)};
const QString ProductNames[2] = {QLatin1String(MergeSplitProduct(0).name), QLatin1String(MergeSplitProduct(1).name)};

bool Valid(int which) { return which == 0 || which == 1; }

} // namespace

bool PublisherConnections::Open(int which, const QString &dsn, const QString &user, const QString &password,
                                Vb::Error *error)
{
    if (!Valid(which))
        return false;
    auto connection = std::make_unique<Odbc::Connection>();
    if (!SuiteDatabase::OpenByConnectionString(*connection, dsn, user, password, error))
        return false;
    m_connections[which] = std::move(connection);
    return true;
}

Odbc::Connection *PublisherConnections::Get(int which) const
{
    return Valid(which) && m_connections[which] && m_connections[which]->IsOpen() ? m_connections[which].get()
                                                                                   : nullptr;
}

bool PublisherConnections::PublisherColumnSize(qint64 *smallest, Vb::Error *error) const
{
    *smallest = 0;
    for (int which : {0, 1}) {
        Odbc::Connection *connection = Get(which);
        if (!connection)
            continue;
        // The dispatcher query names the column; its description gives the size.
        const auto rows = connection->Query(SuiteDatabase::DispatcherQuery(), error);
        if (!rows)
            return false;
        const qint64 size = rows->ColumnSize(QStringLiteral("publisherBC"));
        if (size > 0 && (*smallest == 0 || size < *smallest))
            *smallest = size;
    }
    return true;
}

bool PublisherConnections::UpdatePublisherBusComponent(int which, int tableId, const QString &publisher,
                                                       Vb::Error *error) const
{
    Odbc::Connection *connection = Get(which);
    if (!connection) {
        *error = {3704, QStringLiteral("The %1 database connection is not open.").arg(ProductNames[which])};
        return false;
    }
    return connection->Execute(SuiteDatabase::PublisherUpdate(publisher, tableId, ProductCodes[which]), error);
}

bool PublisherConnections::UpdatePublisherForAllTables(const QString &publisher, Vb::Error *error) const
{
    const QList<int> tables[2] = {SuiteDatabase::PublisherTableIds(MergeSplitProduct(0).code),
                                  SuiteDatabase::PublisherTableIds(MergeSplitProduct(1).code)};
    for (int which : {0, 1}) {
        if (!Get(which)) {
            *error = {3704, QStringLiteral("The %1 database connection is not open.").arg(ProductNames[which])};
            return false;
        }
    }
    int begun = 0;
    auto rollBack = [&] {
        Vb::Error ignored; // the failure that led here is the one to tell
        for (int which = 0; which < begun; ++which)
            Get(which)->Rollback(&ignored);
        return false;
    };
    for (; begun < 2; ++begun) {
        if (!Get(begun)->BeginTransaction(error))
            return rollBack();
    }
    // One table of each product in turn.
    for (qsizetype i = 0; i < qMax(tables[0].size(), tables[1].size()); ++i) {
        for (int which : {0, 1}) {
            if (i < tables[which].size() && !UpdatePublisherBusComponent(which, tables[which][i], publisher, error))
                return rollBack();
        }
    }
    if (!Get(0)->Commit(error))
        return rollBack();
    if (!Get(1)->Commit(error)) {
        error->description = QStringLiteral("The Fieldmark database was updated, the Rostrum database was not:\r\n")
                             + error->description;
        return false;
    }
    return true;
}
