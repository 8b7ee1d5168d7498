#pragma once

#include "platform/VbText.h"

#include <QString>

class Session;

// Questions asked of a suite database before the Java server is started for it. Each opens
// its own connection (data source name, user, password) and releases it before returning.

// The "Server Name" of the database behind data source dsn, without showing anything.
bool LookUpServerName(const QString &dsn, const QString &user, const QString &password, QString *name,
                      Vb::Error *error);

// The "Server Name" of the database behind data source sDSNname; "" after the error has
// been shown (its description alone, OK, no icon).
QString getTNSName(Session &session, const QString &sDSNname, const QString &sUsername, const QString &sPassword);

// True exactly when the first row of tsparameters holds back-end version 6. No row, or
// another version: false without a message. A failure to connect or to read, a null or a
// value that is not a 16-bit number: the error's description alone (OK, no icon), false.
bool CheckBackendVersion(Session &session, const QString &dsn, const QString &user, const QString &password);
