#include "suite/PublisherConnections.h"

#include "config/ConfigRecord.h"
#include "config/SuiteDatabase.h"

namespace {

const QString ProductCodes[2] = {QString::number(MergeSplitProduct(0).code),
                                 QString::number(MergeSplitProduct(1).code)};

bool Valid(int which) { return which == 0 || which == 1; }

Failure NotOpen(int which)
{
    return {ErrorNumber::ObjectClosed, QStringLiteral("The %1 database connection is not open.").arg(ProductNames[which])};
}

} // namespace

PublisherConnections::PublisherConnections() : m_state(std::make_shared<State>()) {}

Result<void> PublisherConnections::Open(int which, const QString &dsn, const QString &user, const QString &password)
{
    if (!Valid(which))
        return Failure{ErrorNumber::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument")};
    auto connection = std::make_unique<Odbc::Connection>();
    if (Result<void> opened = SuiteDatabase::OpenByConnectionString(*connection, dsn, user, password); !opened)
        return opened;
    m_state->connections[which] = std::move(connection);
    return {};
}

Odbc::Connection *PublisherConnections::Get(int which) const
{
    return Valid(which) && m_state->connections[which] && m_state->connections[which]->IsOpen() ? m_state->connections[which].get()
                                                                                   : nullptr;
}

Result<qint64> PublisherConnections::PublisherColumnSize() const
{
    qint64 smallest = 0;
    for (int which : {0, 1}) {
        Odbc::Connection *connection = Get(which);
        if (!connection)
            continue;
        // The dispatcher query names the column; its description gives the size.
        const auto rows = connection->Query(SuiteDatabase::DispatcherQuery());
        if (!rows)
            return rows.error();
        const qint64 size = rows.value()->ColumnSize(QStringLiteral("publisherBC"));
        if (size > 0 && (smallest == 0 || size < smallest))
            smallest = size;
    }
    return smallest;
}

Result<void> PublisherConnections::UpdatePublisherBusComponent(int which, int tableId, const QString &publisher) const
{
    Odbc::Connection *connection = Get(which);
    if (!connection)
        return NotOpen(which);
    return connection->Execute(SuiteDatabase::PublisherUpdate(publisher, tableId, ProductCodes[which]));
}

Result<void> PublisherConnections::UpdatePublisherForAllTables(const QString &publisher, const Worker::Stop *stop,
                                                               const std::function<void(int which)> &committed) const
{
    const QList<int> tables[2] = {SuiteDatabase::PublisherTableIds(MergeSplitProduct(0).code),
                                  SuiteDatabase::PublisherTableIds(MergeSplitProduct(1).code)};
    for (int which : {0, 1}) {
        if (!Get(which))
            return NotOpen(which);
    }
    int begun = 0;
    auto rollBack = [&](const Result<void> &failure) {
        // The failure that led here is the one to tell.
        for (int which = 0; which < begun; ++which)
            (void)Get(which)->Rollback();
        return failure;
    };
    for (; begun < 2; ++begun) {
        if (Result<void> transaction = Get(begun)->BeginTransaction(); !transaction)
            return rollBack(transaction);
    }
    // One table of each product in turn.
    for (qsizetype i = 0; i < qMax(tables[0].size(), tables[1].size()); ++i) {
        for (int which : {0, 1}) {
            if (i >= tables[which].size())
                continue;
            if (stop && *stop)
                return rollBack(Worker::Cancelled());
            if (Result<void> updated = UpdatePublisherBusComponent(which, tables[which][i], publisher); !updated)
                return rollBack(updated);
        }
    }
    // The caller no longer waits: nothing is to be written.
    if (stop && *stop)
        return rollBack(Worker::Cancelled());
    if (Result<void> done = Get(0)->Commit(); !done)
        return rollBack(done);
    if (committed)
        committed(0);
    if (Result<void> done = Get(1)->Commit(); !done)
        return Failure{done.error().number,
                         QStringLiteral("The Fieldmark database was updated, the Rostrum database was not:\r\n")
                             + done.error().description};
    if (committed)
        committed(1);
    return {};
}
