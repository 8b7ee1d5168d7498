#pragma once

#include "config/ConfigRecord.h"
#include "config/MergeSplitPair.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Messages;
class PublisherConnections;

// What the publisher settings dialog does to the suite, each step telling its own failure
// through the messages. The dialog owns the connections of its showing and hands
// them in. The database work runs on worker threads, waited for with Cancel offered; a
// cancelled step shows nothing and returns false, and nothing after it runs.
namespace PublisherSetup {

// Opens a connection for each Fieldmark and Rostrum entry of the main window's selection.
// The first that fails is told ("Database connection failed for ... DSN."); false then.
bool OpenConnections(Messages &messages, PublisherConnections &connections, const QList<ConfigEntry> &selectedEntries);

// Both databases connected and their publisher column readable (told when not, nothing then):
// the most characters a publisher name may have; 0 when no database says.
std::optional<qint64> CheckConnections(Messages &messages, const PublisherConnections &connections);

// The two picked configurations of configDirectory read back unchanged from a joint file; the
// first value that would not is told.
bool CheckPickedConfigsReadBack(Messages &messages, const QString &configDirectory, const MergeSplitPick &pick);

// The sixteen updates, each database in one transaction; a failure rolls both back and is
// told once.
bool UpdatePublisher(Messages &messages, const PublisherConnections &connections, const QString &publisher);
// The same, calling committed with which (0 Fieldmark, 1 Rostrum) after each database's commit.
bool UpdatePublisher(Messages &messages, const PublisherConnections &connections, const QString &publisher,
                     const std::function<void(int which)> &committed);

// Joins the picked configurations into the joint file fileName in the configuration directory
// of appDir, with auto login on in both sections. Told when it fails.
bool WriteJointFile(Messages &messages, const QString &appDir, const MergeSplitPick &pick, const QString &fileName);

} // namespace PublisherSetup
