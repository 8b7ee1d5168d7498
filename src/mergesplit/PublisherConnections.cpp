#include "mergesplit/PublisherConnections.h"

#include <QCoreApplication>
#include <array>

namespace PublisherConnections {

namespace {

struct Holder
{
    std::array<std::unique_ptr<Odbc::Connection>, 2> connections;
    bool cleanupRegistered = false;
};

Holder &TheHolder()
{
    static Holder holder;
    return holder;
}

} // namespace

Odbc::Connection *Get(int which)
{
    return which == 0 || which == 1 ? TheHolder().connections[which].get() : nullptr;
}

void Set(int which, std::unique_ptr<Odbc::Connection> connection)
{
    if (which != 0 && which != 1)
        return;
    Holder &holder = TheHolder();
    // Released while the application object still lives, not in static destruction after
    // the driver manager may have gone.
    if (!holder.cleanupRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(&Reset);
        holder.cleanupRegistered = true;
    }
    holder.connections[which] = std::move(connection);
}

void Reset()
{
    for (auto &connection : TheHolder().connections)
        connection.reset();
}

} // namespace PublisherConnections
