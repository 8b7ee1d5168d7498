#pragma once

#include "platform/VbText.h"

#include <QString>
#include <optional>

class Messages;

// Questions asked of a suite database before the Java server is started for it. Each opens
// its own connection (data source name, user, password) and releases it before returning.
// Those that take the messages run the database work on a worker thread and wait for it with
// Cancel offered (platform/Worker.h); a cancelled one shows nothing.

// The "Server Name" of the database behind data source dsn, without showing anything, on
// the calling thread.
Result<QString> LookUpServerName(const QString &dsn, const QString &user, const QString &password);
// The same on a worker thread, waited for; Worker::Cancelled() when the wait was cancelled.
Result<QString> WaitForServerName(Messages &messages, const QString &dsn, const QString &user, const QString &password);
// What a wait on the database of data source dsn says it waits for.
QString DataSourceWait(Messages &messages, const QString &dsn);

// The "Server Name" of the database behind data source sDSNname; "" after the error has
// been shown (its description alone, OK, no icon); nothing when the wait was cancelled.
std::optional<QString> getTNSName(Messages &messages, const QString &sDSNname, const QString &sUsername,
                                  const QString &sPassword);

// True exactly when the first row of tsparameters holds back-end version 6. No row, or
// another version: false without a message. A failure to connect or to read, a null or a
// value that is not a 16-bit number: the error's description alone (OK, no icon), false.
// Cancelled: false without a message.
bool CheckBackendVersion(Messages &messages, const QString &dsn, const QString &user, const QString &password);

// How the suite connects for a configuration.
enum class ConnectionForm {
    // An ordinary configuration when its Java server starts: data source, user and password
    // as three arguments; on the second platform the data source is the server name looked
    // up through the configured one.
    Launch,
    // A joint configuration: the connection string "DSN=…;UID=…;PWD=…;".
    ConnectionString,
};

// The texts of a connection's description, looked up before the work leaves for a worker
// thread: the lookup belongs to the window's thread.
struct ConnectionTexts
{
    QString failed, versionUnread, connected, needsVersionSix;
    static ConnectionTexts Of(Messages &messages);
};

// Connects the way form says, reads the server name and the back-end version, and words the
// outcome for the operator: the server and the version when the Java server could start on
// that database (version 6); otherwise a failure whose text says so, or the driver's own text.
// Worded with texts, by default the built-in English ones.
Result<QString> DescribeConnection(ConnectionForm form, bool secondPlatform, const QString &dsn, const QString &user,
                                   const QString &password, const ConnectionTexts *texts = nullptr);

// Test Connection of the editors: DescribeConnection on a worker thread, waited for with
// Cancel offered, then its report in one message; nothing when cancelled.
void TestConnection(Messages &messages, ConnectionForm form, bool secondPlatform, const QString &dsn,
                    const QString &user, const QString &password);
