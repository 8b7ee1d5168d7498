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
const QString DriverName = QStringLiteral("PostgreSQL Unicode");

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString PgBin() { return qEnvironmentVariable("CS_PG_BIN", QStringLiteral("/usr/lib/postgresql/15/bin")); }

// The TCP port of the run's server.
int Port()
{
    QFile f(PostgresFixture::Dir() + QStringLiteral("/port"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
}

bool ServerAnswers()
{
    return Port() > 0
           && QProcess::execute(PgBin() + QStringLiteral("/pg_isready"),
                                {QStringLiteral("-q"), QStringLiteral("-h"), ServerName, QStringLiteral("-p"),
                                 QString::number(Port())})
                  == 0;
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

bool RunPsql(const QString &user, const QString &password, const QString &database, const QStringList &extra,
             const QString &sql, QString *output, QString *error)
{
    QProcess psql;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    psql.setProcessEnvironment(env);
    QStringList args{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                     QStringLiteral("-h"), ServerName, QStringLiteral("-p"), QString::number(Port()),
                     QStringLiteral("-U"), user, QStringLiteral("-d"), database};
    args << extra << QStringLiteral("-c") << sql;
    psql.start(PgBin() + QStringLiteral("/psql"), args);
    if (!psql.waitForFinished(60000) || psql.exitStatus() != QProcess::NormalExit || psql.exitCode() != 0)
        return Fail(error, QStringLiteral("psql: ") + QString::fromUtf8(psql.readAllStandardError()).trimmed()
                               + psql.errorString());
    if (output)
        *output = QString::fromUtf8(psql.readAllStandardOutput());
    return true;
}

// Adds [dsnName] for database on the test server to this process's odbc.ini.
bool AddDsnFor(const QString &dsnName, const QString &database, QString *error)
{
    if (!PostgresFixture::EnsureServer(error))
        return false;
    QFile ini(UserIni());
    if (!ini.open(QIODevice::Append))
        return Fail(error, ini.fileName() + QStringLiteral(": ") + ini.errorString());
    const QString section = QStringLiteral("\n[%1]\nDriver=%2\nServername=%3\nPort=%4\nDatabase=%5\nReadOnly=No\n")
                                .arg(dsnName, DriverName, ServerName, QString::number(Port()), database);
    ini.write(section.toUtf8());
    return true;
}

} // namespace

QString PostgresFixture::Dir()
{
    const QString dir = qEnvironmentVariable("CS_PG_DIR");
    return QDir(dir.isEmpty() ? QStringLiteral(CS_BINARY_DIR "/pgtest") : dir).absolutePath();
}

bool PostgresFixture::EnsureServer(QString *error)
{
    if (!ServerAnswers()) {
        QProcess script;
        script.setProcessChannelMode(QProcess::MergedChannels);
        script.start(QStringLiteral(CS_SOURCE_DIR "/tests/support/pg_fixture.sh"), {QStringLiteral("start"), Dir()});
        if (!script.waitForFinished(180000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
            return Fail(error, QStringLiteral("pg_fixture.sh start failed: ") + QString::fromUtf8(script.readAll()).trimmed()
                                   + script.errorString());
    }
    static bool ready = false;
    if (ready)
        return true;
    if (UserIni().isEmpty())
        return Fail(error, QStringLiteral("No private odbc.ini in ") + Dir() + QStringLiteral("/dsn"));
    qputenv("ODBCSYSINI", QFile::encodeName(Dir()));
    qputenv("ODBCINI", QFile::encodeName(UserIni()));
    ready = true;
    return true;
}

std::unique_ptr<PgDatabase> PostgresFixture::CreateDatabase(const QString &label, QString *error)
{
    if (!EnsureServer(error))
        return nullptr;
    static int counter = 0;
    QString clean = label.toLower();
    clean.remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")));
    ++counter;

    std::unique_ptr<PgDatabase> db(new PgDatabase);
    db->m_name = QStringLiteral("cs_t_%1_%2_%3").arg(clean.left(30)).arg(QCoreApplication::applicationPid()).arg(counter);
    db->m_dsn = QStringLiteral("cs%1_%2").arg(counter).arg(clean.left(24));
    db->m_user = TestUser;
    db->m_password = TestPassword;
    db->m_serverName = ServerName;

    if (!RunPsql(AdminUser, AdminPassword, QStringLiteral("postgres"), {},
                 QStringLiteral("CREATE DATABASE \"%1\" OWNER %2").arg(db->m_name, TestUser), nullptr, error))
        return nullptr;
    // The program's statements name the tables and columns without quotes, so they are made
    // without quotes too: the server folds them all to lower case, both here and there.
    if (!db->Exec(QStringLiteral("CREATE TABLE tsparameters (backendversion integer);"
                                 "CREATE TABLE TSYBCDETAILS (publisherBC varchar(255), BCname varchar(255),"
                                 " tableid integer, productID varchar(20));"),
                  error))
        return nullptr;
    if (!AddDsnFor(db->m_dsn, db->m_name, error))
        return nullptr;
    return db;
}

PgDatabase *PostgresFixture::Shared(const QString &label, QString *error)
{
    static std::map<QString, std::unique_ptr<PgDatabase>> shared;
    if (shared.empty()) // dropped while the application object can still run psql
        qAddPostRoutine([] { shared.clear(); });
    std::unique_ptr<PgDatabase> &db = shared[label];
    if (!db)
        db = CreateDatabase(label, error);
    return db.get();
}

PgDatabase *PostgresFixture::Ready(const QString &label, const QString &sql)
{
    QString error;
    PgDatabase *db = Shared(label, &error);
    if (!db) {
        ADD_FAILURE() << "No test database: " << error.toStdString();
        return nullptr;
    }
    if (!db->Exec(sql, &error)) {
        ADD_FAILURE() << "The test database could not be prepared: " << error.toStdString();
        return nullptr;
    }
    return db;
}

PgDatabase::~PgDatabase()
{
    RunPsql(AdminUser, AdminPassword, QStringLiteral("postgres"), {},
            QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name), nullptr, nullptr);
    for (const QString &login : m_logins)
        RunPsql(AdminUser, AdminPassword, QStringLiteral("postgres"), {},
                QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(login), nullptr, nullptr);
}

bool PgDatabase::AddLogin(const QString &login, const QString &password, QString *error)
{
    QString literal = password;
    literal.replace(u'\'', QStringLiteral("''"));
    if (!RunPsql(AdminUser, AdminPassword, QStringLiteral("postgres"), {},
                 QStringLiteral("DROP ROLE IF EXISTS \"%1\"; CREATE ROLE \"%1\" LOGIN PASSWORD '%2' IN ROLE %3")
                     .arg(login, literal, TestUser),
                 nullptr, error))
        return false;
    m_logins << login;
    return true;
}

bool PgDatabase::Exec(const QString &sql, QString *error) const
{
    return RunPsql(m_user, m_password, m_name, {}, sql, nullptr, error);
}

QStringList PgDatabase::Rows(const QString &sql, QString *error) const
{
    QString out;
    if (!RunPsql(m_user, m_password, m_name, {QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-F"), QStringLiteral("|")},
                 sql, &out, error))
        return {};
    QStringList rows = out.split(u'\n');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

bool PgDatabase::AddDsn(const QString &dsnName, QString *error) const
{
    return AddDsnFor(dsnName, m_name, error);
}
