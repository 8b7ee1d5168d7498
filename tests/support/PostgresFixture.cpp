#include "PostgresFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <map>

#include <gtest/gtest.h>


namespace {

// Must match tests/support/pg_fixture.sh.
const QString AdminUser = QStringLiteral("cs_admin");
const QString AdminPassword = QStringLiteral("cs_admin_pw");
const QString TestUser = QStringLiteral("cs_user");
const QString TestPassword = QStringLiteral("cs_user_pw");
const QString ServerName = QStringLiteral("localhost");

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// The TCP port of the run's server.
QString Port()
{
    QFile f(PostgresFixture::Dir() + QStringLiteral("/port"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().trimmed()) : QString();
}

// This process's own odbc.ini, removed when the process ends: test programs run side by
// side, each adds its data sources. Empty when it cannot be made.
QString UserIni()
{
    static QTemporaryFile ini(PostgresFixture::Dir() + QStringLiteral("/dsn/odbc-XXXXXX.ini"));
    if (!ini.isOpen() && QDir().mkpath(PostgresFixture::Dir() + QStringLiteral("/dsn")))
        ini.open();
    return ini.fileName();
}

// Runs sql as user (the administrator on the server's own database, else the tests' login)
// with psql, outside ODBC; the rows it prints go to *output, columns joined by "|".
bool Psql(const QString &user, const QString &database, const QString &sql, QString *output, QString *error)
{
    const QString connection = QStringLiteral("host=%1 port=%2 user=%3 password=%4 dbname=%5 connect_timeout=10")
                                   .arg(ServerName, Port(), user, user == AdminUser ? AdminPassword : TestPassword, database);
    QProcess psql;
    psql.start(qEnvironmentVariable("CS_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin")) + QStringLiteral("/psql"),
               {"-X", "-q", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-c", sql, connection});
    if (!psql.waitForFinished(60000) || psql.exitStatus() != QProcess::NormalExit || psql.exitCode() != 0)
        return Fail(error, QStringLiteral("psql: ") + QString::fromUtf8(psql.readAllStandardError()).trimmed()
                               + psql.errorString());
    if (output)
        *output = QString::fromUtf8(psql.readAllStandardOutput());
    return true;
}

bool Admin(const QString &sql, QString *error = nullptr) { return Psql(AdminUser, QStringLiteral("postgres"), sql, nullptr, error); }

} // namespace

QString PostgresFixture::Dir()
{
    const QString dir = qEnvironmentVariable("CS_PG_DIR");
    return QDir(dir.isEmpty() ? QStringLiteral(CS_BINARY_DIR "/pgtest") : dir).absolutePath();
}

bool PostgresFixture::EnsureServer(QString *error)
{
    // The script returns at once when the server runs already.
    static bool ready = false;
    if (ready)
        return true;
    // CTest starts the server only for the tests named as database tests.
    if (qEnvironmentVariableIsSet("CS_NO_DATABASE"))
        return Fail(error, QStringLiteral("This test uses the database: add it to its program's DATABASE filter "
                                          "in tests/CMakeLists.txt"));
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral(CS_SOURCE_DIR "/tests/support/pg_fixture.sh"), {QStringLiteral("start"), Dir()});
    if (!script.waitForFinished(180000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
        return Fail(error, QStringLiteral("pg_fixture.sh start failed: ") + QString::fromUtf8(script.readAll()).trimmed()
                               + script.errorString());
    if (UserIni().isEmpty())
        return Fail(error, QStringLiteral("No private odbc.ini in ") + Dir() + QStringLiteral("/dsn"));
    qputenv("ODBCSYSINI", QFile::encodeName(Dir()));
    qputenv("ODBCINI", QFile::encodeName(UserIni()));
    ready = true;
    return true;
}

std::unique_ptr<PgDatabase> PostgresFixture::CreateDatabase(const QString &label, QString *error)
{
    static int counter = 0;
    const int n = ++counter;
    const QString clean = label.toLower().remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")));
    std::unique_ptr<PgDatabase> db(new PgDatabase);
    db->m_name = QStringLiteral("cs_t_%1_%2_%3").arg(clean.left(30)).arg(QCoreApplication::applicationPid()).arg(n);
    db->m_dsn = QStringLiteral("cs%1_%2").arg(n).arg(clean.left(24));
    db->m_user = TestUser;
    db->m_password = TestPassword;
    db->m_serverName = ServerName;
    // The program's statements name the tables and columns without quotes, so they are made
    // without quotes too: the server folds them all to lower case, both here and there.
    if (EnsureServer(error) && Admin(QStringLiteral("CREATE DATABASE \"%1\" OWNER %2").arg(db->m_name, TestUser), error)
        && db->Exec(QStringLiteral("CREATE TABLE tsparameters (backendversion integer);"
                                   "CREATE TABLE TSYBCDETAILS (publisherBC varchar(255), BCname varchar(255),"
                                   " tableid integer, productID varchar(20));"),
                    error)
        && db->AddDsn(db->m_dsn, error))
        return db;
    return nullptr;
}

PgDatabase *PostgresFixture::Ready(const QString &label, const QString &sql)
{
    // One database per label for the test program, dropped while the application object
    // can still run psql.
    static std::map<QString, std::unique_ptr<PgDatabase>> shared;
    if (shared.empty())
        qAddPostRoutine([] { shared.clear(); });
    std::unique_ptr<PgDatabase> &db = shared[label];
    QString error;
    if (!db)
        db = CreateDatabase(label, &error);
    if (db && db->Exec(sql, &error))
        return db.get();
    ADD_FAILURE() << "The test database could not be prepared: " << error.toStdString();
    return nullptr;
}

PgDatabase::~PgDatabase()
{
    Admin(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
    for (const QString &login : m_logins)
        Admin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(login));
}

bool PgDatabase::AddLogin(const QString &login, const QString &password, QString *error)
{
    m_logins << login;
    return Admin(QStringLiteral("DROP ROLE IF EXISTS \"%1\"; CREATE ROLE \"%1\" LOGIN PASSWORD '%2' IN ROLE %3")
                     .arg(login, QString(password).replace(u'\'', QStringLiteral("''")), TestUser),
                 error);
}

bool PgDatabase::Exec(const QString &sql, QString *error) const { return Psql(m_user, m_name, sql, nullptr, error); }

QStringList PgDatabase::Rows(const QString &sql, QString *error) const
{
    QString out;
    if (!Psql(m_user, m_name, sql, &out, error))
        return {};
    QStringList rows = out.split(u'\n');
    rows.removeLast(); // after the last line's end
    return rows;
}

bool PgDatabase::AddDsn(const QString &dsnName, QString *error) const
{
    return PostgresFixture::AddDataSource(dsnName, Port(), m_name, error);
}

bool PostgresFixture::AddDataSource(const QString &dsnName, const QString &port, const QString &database, QString *error)
{
    if (!EnsureServer(error))
        return false;
    QFile ini(UserIni());
    if (!ini.open(QIODevice::Append))
        return Fail(error, ini.fileName() + QStringLiteral(": ") + ini.errorString());
    ini.write(QStringLiteral("\n[%1]\nDriver=PostgreSQL Unicode\nServername=%2\nPort=%3\nDatabase=%4\nReadOnly=No\n")
                  .arg(dsnName, ServerName, port, database)
                  .toUtf8());
    return true;
}
