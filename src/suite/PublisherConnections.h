#pragma once

#include "platform/Odbc.h"
#include "platform/VbText.h"
#include "platform/Worker.h"

#include <array>
#include <functional>
#include <memory>
#include <mutex>

// The two database connections of one showing of the publisher settings dialog (0 =
// Fieldmark, 1 = Rostrum) and the publisher update run on them. Each showing opens its own;
// they close with it, or with the last worker still using them.
class PublisherConnections final
{
public:
    PublisherConnections();
    Q_DISABLE_COPY_MOVE(PublisherConnections)

    // Runs work(connections, stop) on a worker thread, waited for (platform/Worker.h). The
    // workers of one set of connections take turns, so that a connection is used by one
    // thread at a time, an abandoned worker's too.
    template <typename T, typename Work>
    Result<T> Waited(const QString &what, Work work) const
    {
        return Worker::Run<T>(what, [state = m_state, work = std::move(work)](const Worker::Stop &stop) mutable {
            std::lock_guard lock(state->use);
            PublisherConnections on(state);
            return work(on, stop);
        });
    }

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
    // error holds the driver's text. A stop requested before the commits rolls both back too
    // (Worker::Cancelled()); once they began they finish.
    // committed, when given, is called with which after each database's commit, on the thread
    // the update runs on: a journal notes how far the work got.
    Result<void> UpdatePublisherForAllTables(const QString &publisher, const Worker::Stop *stop = nullptr,
                                             const std::function<void(int which)> &committed = {}) const;

private:
    struct State
    {
        std::mutex use;
        std::array<std::unique_ptr<Odbc::Connection>, 2> connections;
    };
    explicit PublisherConnections(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    std::shared_ptr<State> m_state;
};
