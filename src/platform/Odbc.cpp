#include "platform/Odbc.h"

#include <QByteArray>
#include <QList>

#include <type_traits>

#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the wide ODBC calls are used with UTF-16 text");

namespace Odbc {
namespace {

const SQLWCHAR *W(const QString &text) { return reinterpret_cast<const SQLWCHAR *>(text.utf16()); }

QString FromW(const SQLWCHAR *text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), length);
}

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Every diagnostic record of a handle, joined: the driver often explains a failure in more
// than one record (the driver manager's and the server's).
Failure Diagnostics(SQLSMALLINT type, SQLHANDLE handle, const char *fallback)
{
    QStringList parts;
    bool definedLately = false;
    for (SQLSMALLINT record = 1; handle != SQL_NULL_HANDLE; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        QList<SQLWCHAR> text(1024);
        SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native, text.data(),
                                      SQLSMALLINT(text.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= text.size()) {
            text.resize(length + 1);
            rc = SQLGetDiagRecW(type, handle, record, state, &native, text.data(),
                                SQLSMALLINT(text.size()), &length);
        }
        if (!Ok(rc))
            break;
        const QString message = FromW(text.data(), qMin<qsizetype>(length, text.size() - 1)).trimmed();
        if (!message.isEmpty())
            parts << message;
        // unixODBC remembers a data source it did not find for some 20 seconds.
        definedLately = definedLately || FromW(state, 5) == QLatin1String("IM002");
    }
    // The driver's own texts stand as they are.
    const Wording said = parts.isEmpty() ? Wording(fallback) : Wording(parts.join(u'\n'));
    return Failure::Worded(ErrorNumber::ProviderError, definedLately ? Wording("CS_ODBC_DEFINED_LATELY", {said}) : said);
}

Failure NoDriverManager()
{
    return Failure::Worded(ErrorNumber::ProviderError, Wording("CS_ODBC_NO_DRIVER_MANAGER"));
}

struct Env
{
    SQLHENV h = SQL_NULL_HENV;
    Env()
    {
        if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h))) {
            h = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~Env()
    {
        if (h != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, h);
    }
    Q_DISABLE_COPY_MOVE(Env)
};

// A connection handle and the environment it was made in. Shared with the result sets made
// on it, so that a result set read after its connection object went still has its handles.
struct Dbc
{
    Env env;
    SQLHDBC h = SQL_NULL_HDBC;
    bool connected = false;

    Dbc()
    {
        if (env.h == SQL_NULL_HENV || !Ok(SQLAllocHandle(SQL_HANDLE_DBC, env.h, &h))) {
            h = SQL_NULL_HDBC;
            return;
        }
        // Before any connect call: the attribute counts only for the login that follows.
        SQLSetConnectAttrW(h, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(LoginTimeoutSeconds)),
                           SQL_IS_UINTEGER);
    }
    ~Dbc()
    {
        if (connected)
            SQLDisconnect(h);
        if (h != SQL_NULL_HDBC)
            SQLFreeHandle(SQL_HANDLE_DBC, h);
    }
    Q_DISABLE_COPY_MOVE(Dbc)
};

struct Stmt
{
    std::shared_ptr<Dbc> dbc;
    SQLHSTMT h = SQL_NULL_HSTMT;

    explicit Stmt(std::shared_ptr<Dbc> d) : dbc(std::move(d))
    {
        if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc->h, &h)))
            h = SQL_NULL_HSTMT;
    }
    ~Stmt()
    {
        if (h != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
    Q_DISABLE_COPY_MOVE(Stmt)
};

// Reads a whole variable-length value of the current row in pieces.
template <typename Unit>
Result<void> ReadPieces(SQLHSTMT h, SQLUSMALLINT column, SQLSMALLINT cType, QList<Unit> *out, bool *isNull)
{
    out->clear();
    *isNull = false;
    Unit buffer[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(h, column, cType, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA)
            return {};
        if (!Ok(rc))
            return Diagnostics(SQL_HANDLE_STMT, h, "CS_ODBC_VALUE_UNREAD");
        if (indicator == SQL_NULL_DATA) {
            *isNull = true;
            return {};
        }
        // Text comes with a terminating zero that is not part of the value.
        const qsizetype terminator = std::is_same_v<Unit, char> && cType == SQL_C_BINARY ? 0 : 1;
        const qsizetype room = qsizetype(sizeof buffer / sizeof(Unit)) - terminator;
        qsizetype got = room;
        if (indicator != SQL_NO_TOTAL && indicator / qsizetype(sizeof(Unit)) <= room)
            got = indicator / qsizetype(sizeof(Unit));
        out->append(QList<Unit>(buffer, buffer + got));
        if (rc == SQL_SUCCESS)
            return {};
    }
}

} // namespace

QStringList DataSources()
{
    Env env;
    if (env.h == SQL_NULL_HENV)
        return {};
    QStringList names;
    SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLWCHAR description[512];
    SQLSMALLINT nameLength = 0, descriptionLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        const SQLRETURN rc = SQLDataSourcesW(env.h, direction, name, SQLSMALLINT(std::size(name)), &nameLength,
                                             description, SQLSMALLINT(std::size(description)), &descriptionLength);
        if (rc == SQL_NO_DATA)
            break;
        if (!Ok(rc))
            break;
        const QString dsn = FromW(name, qMin<qsizetype>(nameLength, std::size(name) - 1));
        if (!dsn.isEmpty() && !names.contains(dsn, Qt::CaseInsensitive))
            names << dsn;
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString Quote(const QString &value)
{
    QString quoted = value;
    quoted.replace(u'\'', QStringLiteral("''"));
    return quoted;
}

// ---- Connection ----

struct Connection::Handles
{
    std::shared_ptr<Dbc> dbc;
};

Connection::Connection() : m_h(std::make_unique<Handles>()) {}
Connection::~Connection() = default;

bool Connection::IsOpen() const { return m_h->dbc && m_h->dbc->connected; }

void Connection::Close() { m_h->dbc.reset(); }

namespace {

// A fresh connection handle ready for one of the connect calls.
Result<std::shared_ptr<Dbc>> NewDbc()
{
    auto dbc = std::make_shared<Dbc>();
    if (dbc->env.h == SQL_NULL_HENV || dbc->h == SQL_NULL_HDBC)
        return NoDriverManager();
    return dbc;
}

// The outcome of a connect call on dbc: marks it connected, or reports the driver's text.
Result<void> Connected(Dbc &dbc, SQLRETURN connectResult)
{
    if (!Ok(connectResult))
        return Diagnostics(SQL_HANDLE_DBC, dbc.h, "CS_ODBC_NOT_OPENED");
    dbc.connected = true;
    return {};
}

} // namespace

Result<void> Connection::DriverConnect(const QString &connectionString)
{
    Close();
    Result<std::shared_ptr<Dbc>> made = NewDbc();
    if (!made)
        return made.error();
    std::shared_ptr<Dbc> dbc = std::move(made).value();
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc->h, nullptr, const_cast<SQLWCHAR *>(W(connectionString)),
                                           SQLSMALLINT(connectionString.size()), out, SQLSMALLINT(std::size(out)),
                                           &outLength, SQL_DRIVER_NOPROMPT);
    if (Result<void> connected = Connected(*dbc, rc); !connected)
        return connected;
    m_h->dbc = std::move(dbc);
    return {};
}

Result<void> Connection::Connect(const QString &dsn, const QString &user, const QString &password)
{
    Close();
    Result<std::shared_ptr<Dbc>> made = NewDbc();
    if (!made)
        return made.error();
    std::shared_ptr<Dbc> dbc = std::move(made).value();
    const SQLRETURN rc = SQLConnectW(dbc->h, const_cast<SQLWCHAR *>(W(dsn)), SQLSMALLINT(dsn.size()),
                                     const_cast<SQLWCHAR *>(W(user)), SQLSMALLINT(user.size()),
                                     const_cast<SQLWCHAR *>(W(password)), SQLSMALLINT(password.size()));
    if (Result<void> connected = Connected(*dbc, rc); !connected)
        return connected;
    m_h->dbc = std::move(dbc);
    return {};
}

namespace {

Failure NotOpen()
{
    return {ErrorNumber::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed.")};
}

} // namespace

Result<QString> Connection::ServerName()
{
    if (!IsOpen())
        return NotOpen();
    QList<SQLWCHAR> buffer(256);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetInfoW(m_h->dbc->h, SQL_SERVER_NAME, buffer.data(),
                               SQLSMALLINT(buffer.size() * sizeof(SQLWCHAR)), &length);
    if (Ok(rc) && qsizetype(length / sizeof(SQLWCHAR)) >= buffer.size()) {
        buffer.resize(length / sizeof(SQLWCHAR) + 1);
        rc = SQLGetInfoW(m_h->dbc->h, SQL_SERVER_NAME, buffer.data(),
                         SQLSMALLINT(buffer.size() * sizeof(SQLWCHAR)), &length);
    }
    if (!Ok(rc))
        return Diagnostics(SQL_HANDLE_DBC, m_h->dbc->h, "CS_ODBC_SERVER_NAME_UNREAD");
    return FromW(buffer.data(), qMin<qsizetype>(length / sizeof(SQLWCHAR), buffer.size() - 1));
}

namespace {

// Runs sql on a new statement of dbc.
Result<std::unique_ptr<Stmt>> Run(const std::shared_ptr<Dbc> &dbc, const QString &sql)
{
    auto stmt = std::make_unique<Stmt>(dbc);
    if (stmt->h == SQL_NULL_HSTMT)
        return Diagnostics(SQL_HANDLE_DBC, dbc->h, "CS_ODBC_NOT_PREPARED");
    const SQLRETURN rc = SQLExecDirectW(stmt->h, const_cast<SQLWCHAR *>(W(sql)), SQLINTEGER(sql.size()));
    // An update that touches no row reports "no data"; that is not a failure.
    if (!Ok(rc) && rc != SQL_NO_DATA)
        return Diagnostics(SQL_HANDLE_STMT, stmt->h, "CS_ODBC_STATEMENT_FAILED");
    return stmt;
}

} // namespace

namespace {

Result<void> SetAutocommit(Dbc &dbc, bool on)
{
    const auto value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (Ok(SQLSetConnectAttrW(dbc.h, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), SQL_IS_UINTEGER)))
        return {};
    return Diagnostics(SQL_HANDLE_DBC, dbc.h, "CS_ODBC_MODE_NOT_SET");
}

Result<void> EndTransaction(Dbc &dbc, SQLSMALLINT completion)
{
    Result<void> ended;
    if (!Ok(SQLEndTran(SQL_HANDLE_DBC, dbc.h, completion)))
        ended = Diagnostics(SQL_HANDLE_DBC, dbc.h, completion == SQL_COMMIT
                                                       ? "CS_ODBC_NOT_COMMITTED"
                                                       : "CS_ODBC_NOT_ROLLED_BACK");
    // Back to one statement at a time, whatever the outcome; the first error is the one told.
    Result<void> reset = SetAutocommit(dbc, true);
    return ended ? reset : ended;
}

} // namespace

Result<void> Connection::BeginTransaction()
{
    if (!IsOpen())
        return NotOpen();
    return SetAutocommit(*m_h->dbc, false);
}

Result<void> Connection::Commit()
{
    if (!IsOpen())
        return NotOpen();
    return EndTransaction(*m_h->dbc, SQL_COMMIT);
}

Result<void> Connection::Rollback()
{
    if (!IsOpen())
        return NotOpen();
    return EndTransaction(*m_h->dbc, SQL_ROLLBACK);
}

Result<void> Connection::Execute(const QString &sql)
{
    if (!IsOpen())
        return NotOpen();
    if (const auto stmt = Run(m_h->dbc, sql); !stmt)
        return stmt.error();
    return {};
}

// ---- Recordset ----

struct Recordset::Impl
{
    std::unique_ptr<Stmt> stmt;
    QStringList names;
    QList<SQLSMALLINT> types;
    QList<qint64> sizes;
    QList<QVariant> row;
    bool onRow = false;
    bool atEnd = false;

    Result<void> ReadRow();
    qsizetype IndexOf(const QString &name) const;
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Recordset::~Recordset() = default;

Result<std::unique_ptr<Recordset>> Connection::Query(const QString &sql)
{
    if (!IsOpen())
        return NotOpen();
    Result<std::unique_ptr<Stmt>> ran = Run(m_h->dbc, sql);
    if (!ran)
        return ran.error();
    std::unique_ptr<Stmt> stmt = std::move(ran).value();
    auto impl = std::make_unique<Recordset::Impl>();
    SQLSMALLINT columns = 0;
    if (!Ok(SQLNumResultCols(stmt->h, &columns)))
        return Diagnostics(SQL_HANDLE_STMT, stmt->h, "CS_ODBC_RESULT_UNREAD");
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!Ok(SQLDescribeColW(stmt->h, c, name, SQLSMALLINT(std::size(name)), &nameLength, &type, &size, &digits,
                                &nullable)))
            return Diagnostics(SQL_HANDLE_STMT, stmt->h, "CS_ODBC_RESULT_UNREAD");
        impl->names << FromW(name, qMin<qsizetype>(nameLength, std::size(name) - 1));
        impl->types << type;
        impl->sizes << qint64(size);
    }
    impl->atEnd = columns == 0;
    impl->stmt = std::move(stmt);
    return std::unique_ptr<Recordset>(new Recordset(std::move(impl)));
}

Result<void> Recordset::Impl::ReadRow()
{
    row.clear();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto column = SQLUSMALLINT(i + 1);
        bool isNull = false;
        QVariant value;
        // A value of fixed size, read in one call.
        auto readFixed = [&](SQLSMALLINT cType, auto &target) -> Result<void> {
            SQLLEN indicator = 0;
            if (!Ok(SQLGetData(stmt->h, column, cType, &target, sizeof target, &indicator)))
                return Diagnostics(SQL_HANDLE_STMT, stmt->h, "CS_ODBC_VALUE_UNREAD");
            isNull = indicator == SQL_NULL_DATA;
            return {};
        };
        switch (types[i]) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT: {
            SQLBIGINT number = 0;
            if (Result<void> read = readFixed(SQL_C_SBIGINT, number); !read)
                return read;
            value = qlonglong(number);
            break;
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            double number = 0;
            if (Result<void> read = readFixed(SQL_C_DOUBLE, number); !read)
                return read;
            value = number;
            break;
        }
        case SQL_BIT: {
            unsigned char bit = 0;
            if (Result<void> read = readFixed(SQL_C_BIT, bit); !read)
                return read;
            value = bit != 0;
            break;
        }
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY: {
            QList<char> bytes;
            if (Result<void> read = ReadPieces(stmt->h, column, SQL_C_BINARY, &bytes, &isNull); !read)
                return read;
            value = QByteArray(bytes.constData(), bytes.size());
            break;
        }
        default: {
            // Text, decimals, dates and anything else: as the driver writes it.
            QList<SQLWCHAR> text;
            if (Result<void> read = ReadPieces(stmt->h, column, SQL_C_WCHAR, &text, &isNull); !read)
                return read;
            value = FromW(text.constData(), text.size());
            break;
        }
        }
        row << (isNull ? QVariant() : value);
    }
    return {};
}

Result<bool> Recordset::Next()
{
    Impl &d = *m_impl;
    d.onRow = false;
    d.row.clear();
    if (d.atEnd)
        return false;
    const SQLRETURN rc = SQLFetch(d.stmt->h);
    if (rc == SQL_NO_DATA) {
        d.atEnd = true;
        return false;
    }
    if (!Ok(rc)) {
        d.atEnd = true;
        return Diagnostics(SQL_HANDLE_STMT, d.stmt->h, "CS_ODBC_NEXT_ROW_UNREAD");
    }
    if (Result<void> read = d.ReadRow(); !read) {
        d.atEnd = true;
        return read.error();
    }
    d.onRow = true;
    return true;
}

qsizetype Recordset::Impl::IndexOf(const QString &name) const
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qint64 Recordset::ColumnSize(const QString &name) const
{
    const qsizetype index = m_impl->IndexOf(name);
    return index < 0 ? 0 : m_impl->sizes[index];
}

Result<QVariant> Recordset::Field(const QString &name) const
{
    const Impl &d = *m_impl;
    const qsizetype index = d.IndexOf(name);
    if (index < 0)
        return Failure{ErrorNumber::ItemNotFound, QStringLiteral("Item cannot be found in the collection "
                                                                   "corresponding to the requested name or ordinal.")};
    if (!d.onRow)
        return Failure{ErrorNumber::NoCurrentRecord, QStringLiteral("Either BOF or EOF is True, or the current "
                                                                      "record has been deleted. Requested operation "
                                                                      "requires a current record.")};
    return d.row[index];
}

} // namespace Odbc
