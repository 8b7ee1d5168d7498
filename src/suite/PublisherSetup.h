#pragma once

#include "config/ConfigRecord.h"

#include <QList>
#include <QString>

class PublisherConnections;
class Session;

// What the publisher settings dialog does to the suite, each step telling its own failure
// through the session's messages. The dialog owns the connections of its showing and hands
// them in. The database work runs on worker threads, waited for with Cancel offered; a
// cancelled step shows nothing and returns false, and nothing after it runs.
namespace PublisherSetup {

// Opens a connection for each Fieldmark and Rostrum entry of the main window's selection.
// The first that fails is told ("Database connection failed for ... DSN."); false then.
bool OpenConnections(Session &session, PublisherConnections &connections, const QList<ConfigEntry> &selectedEntries);

// Both databases connected and their publisher column readable (told when not). *columnSize:
// the most characters a publisher name may have; 0 when no database says.
bool CheckConnections(Session &session, const PublisherConnections &connections, qint64 *columnSize);

// The two picked configurations (the session's MnS...Config) read back unchanged from a
// joint file; the first value that would not is told.
bool CheckPickedConfigsReadBack(Session &session);

// The sixteen updates, each database in one transaction; a failure rolls both back and is
// told once.
bool UpdatePublisher(Session &session, const PublisherConnections &connections, const QString &publisher);

// Joins the picked configurations into the joint file fileName in the configuration
// directory, with auto login on in both sections, then forgets the picks. Told when it fails.
bool WriteJointFile(Session &session, const QString &fileName);

} // namespace PublisherSetup
