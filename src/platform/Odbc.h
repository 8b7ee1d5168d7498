#pragma once

#include "platform/VbText.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// The suite's databases through the ODBC C API (unixODBC). Every handle is owned by one
// object and released with it. Errors carry the driver's diagnostic text.
namespace Odbc {

class Recordset;

// Every connection the program opens gives up logging in after this many seconds, so that
// a server that does not answer never holds a window for long.
constexpr int LoginTimeoutSeconds = 15;

// The names of the data sources the driver manager knows, user and system ones, sorted
// without regard to case, each once. Empty when it cannot be asked.
QStringList DataSources();

class Connection final
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // "DSN=…;UID=…;PWD=…;" through SQLDriverConnect, without a prompt.
    Result<void> DriverConnect(const QString &connectionString);
    // Data source name, user and password as three arguments (SQLConnect).
    Result<void> Connect(const QString &dsn, const QString &user, const QString &password);
    bool IsOpen() const;
    void Close();

    // The connection's "Server Name" (SQLGetInfo(SQL_SERVER_NAME)).
    Result<QString> ServerName();

    // Runs a statement whose rows are not read.
    Result<void> Execute(const QString &sql);
    // Runs a query; the result is read forward only.
    Result<std::unique_ptr<Recordset>> Query(const QString &sql);

    // Statements from BeginTransaction on count together: Commit makes them last, Rollback
    // undoes them; either ends the transaction and returns to committing each statement.
    Result<void> BeginTransaction();
    Result<void> Commit();
    Result<void> Rollback();

private:
    struct Handles;
    std::unique_ptr<Handles> m_h;
};

class Recordset final
{
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // Moves to the next row; false at the end.
    Result<bool> Next();
    // A field of the current row by column name, without regard to case. A null value is
    // an invalid QVariant; an unknown name is an error.
    Result<QVariant> Field(const QString &name) const;
    // The size the driver gives for a column (characters of a text column); 0 when unknown
    // or for a name not in the result.
    qint64 ColumnSize(const QString &name) const;

private:
    friend class Connection;
    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

// The value with every apostrophe doubled, to stand between the apostrophes of an SQL text
// literal (the caller writes those).
QString Quote(const QString &value);

} // namespace Odbc
