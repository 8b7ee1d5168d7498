#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// A database of its own on the test PostgreSQL server, with the suite's tables
//   tsparameters(backendversion integer)
//   tsybcdetails(publisherbc, bcname, tableid integer, productid)   (names folded to lower case)
// reachable through a data source name of this process's private odbc.ini. Dropped when the
// object goes.
class PgDatabase final
{
public:
    ~PgDatabase();
    PgDatabase(const PgDatabase &) = delete;
    PgDatabase &operator=(const PgDatabase &) = delete;

    const QString &name() const { return m_name; }         // the database's name on the server
    const QString &dsn() const { return m_dsn; }           // data source name that reaches it
    const QString &user() const { return m_user; }         // a login that owns the database
    const QString &password() const { return m_password; }
    // What SQLGetInfo(SQL_SERVER_NAME) gives for the data source (its Servername).
    const QString &serverName() const { return m_serverName; }

    // Runs SQL (several statements allowed) as the owner, outside ODBC. False with psql's
    // message in *error on failure.
    bool Exec(const QString &sql, QString *error = nullptr) const;
    // The rows of a query, columns joined by "|", outside ODBC. Empty list on failure.
    QStringList Rows(const QString &sql, QString *error = nullptr) const;
    // Adds another data source name that reaches this database (e.g. a server name that a
    // caller uses as data source name).
    bool AddDsn(const QString &dsnName, QString *error = nullptr) const;
    // Makes a login of its own (a member of the owner, so it may use the tables) with the
    // password given as it stands; dropped with the database.
    bool AddLogin(const QString &login, const QString &password, QString *error = nullptr);

private:
    friend class PostgresFixture;
    PgDatabase() = default;
    QString m_name, m_dsn, m_user, m_password, m_serverName;
    QStringList m_logins;
};

class PostgresFixture final
{
public:
    // Makes sure the server of the test run is up (starts it through pg_fixture.sh when it
    // does not answer) and points ODBCSYSINI / ODBCINI at private files, never the machine's
    // own. Once per process: cheap after the first call.
    static bool EnsureServer(QString *error = nullptr);

    // A fresh database with the suite's tables, empty, and a data source name for it.
    // label becomes part of the names (letters, digits and "_"). Null with *error on failure.
    static std::unique_ptr<PgDatabase> CreateDatabase(const QString &label, QString *error = nullptr);
    // The database that the tests of one program share under label (made when first asked
    // for, dropped as the program ends) with sql run on it: the start of each database test.
    // Null, the test failed with the reason, when either step fails.
    static PgDatabase *Ready(const QString &label, const QString &sql);

    // Adds a data source name for database on the loopback's port to the private odbc.ini.
    static bool AddDataSource(const QString &dsnName, const QString &port, const QString &database,
                              QString *error = nullptr);

    // The server's directory: CS_PG_DIR or the build tree's pgtest.
    static QString Dir();
};
