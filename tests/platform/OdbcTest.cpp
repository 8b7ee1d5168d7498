#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"
#include "platform/Odbc.h"

#include <gtest/gtest.h>

namespace {

class OdbcTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = PostgresFixture::Ready(QStringLiteral("odbc"),
                                    QStringLiteral("DELETE FROM tsparameters; DELETE FROM tsybcdetails;"));
        ASSERT_TRUE(db);
    }

    static QString ConnectionString(const QString &dsn, const QString &password)
    {
        return QStringLiteral("DSN=%1;UID=%2;PWD=%3;").arg(dsn, db->user(), password);
    }

    // A connection through the data source name, user and password.
    void Open(Odbc::Connection &c)
    {
        const Result<void> opened = c.Connect(db->dsn(), db->user(), db->password());
        ASSERT_TRUE(opened) << opened.error().description.toStdString();
    }

    // The first row's field of a query's result.
    static Result<QVariant> First(Odbc::Connection &c, const QString &sql, const QString &field)
    {
        const auto rows = c.Query(sql);
        if (!rows)
            return rows.error();
        if (const Result<bool> onRow = rows.value()->Next(); !onRow || !onRow.value())
            return onRow ? Vb::Error{Vb::ErrorNumber::NoCurrentRecord, QStringLiteral("no row")} : onRow.error();
        return rows.value()->Field(field);
    }

    static inline PgDatabase *db = nullptr;
};

TEST_F(OdbcTest, BothConnectionFormsOpenTheSameDatabaseAndNameItsServer)
{
    Odbc::Connection byDsn, byString;
    Open(byDsn);
    ASSERT_TRUE(byString.DriverConnect(ConnectionString(db->dsn(), db->password())));
    for (Odbc::Connection *c : {&byDsn, &byString}) {
        EXPECT_TRUE(c->IsOpen());
        const Result<QVariant> name = First(*c, QStringLiteral("SELECT current_database() AS name"), "name");
        ASSERT_TRUE(name);
        EXPECT_EQ(name.value().toString(), db->name());
        const Result<QString> server = c->ServerName();
        ASSERT_TRUE(server) << server.error().description.toStdString();
        EXPECT_EQ(server.value(), db->serverName());
    }
    byDsn.Close();
    EXPECT_FALSE(byDsn.IsOpen());
}

TEST_F(OdbcTest, FailedOpeningCarriesTheDriversMessage)
{
    struct Case { QString dsn, password; const char *expected; };
    const Case cases[] = {
        {db->dsn(), QStringLiteral("not the password"), "password authentication failed"},
        {QStringLiteral("NoSuchDataSource"), db->password(), "Data source name not found"},
    };
    for (const Case &c : cases) {
        for (bool viaString : {false, true}) {
            SCOPED_TRACE(c.expected + std::string(viaString ? " (string)" : ""));
            Odbc::Connection connection;
            const Result<void> opened = viaString ? connection.DriverConnect(ConnectionString(c.dsn, c.password))
                                                  : connection.Connect(c.dsn, db->user(), c.password);
            EXPECT_FALSE(connection.IsOpen());
            ASSERT_FALSE(opened);
            EXPECT_TRUE(opened.error().description.contains(QLatin1String(c.expected)))
                << opened.error().description.toStdString();
        }
    }
}

TEST_F(OdbcTest, DataSourcesListsUserAndSystemSourcesEachOnceSorted)
{
    // A user source of the same name as the system one shows once.
    ASSERT_TRUE(db->AddDsn(QStringLiteral("cs_postgres")));
    ASSERT_TRUE(db->AddDsn(QStringLiteral("A source with blanks")));
    const QStringList names = Odbc::DataSources();
    EXPECT_EQ(names.count(QStringLiteral("cs_postgres")), 1) << names.join(u',').toStdString(); // system
    EXPECT_TRUE(names.contains(db->dsn()));                                                      // user
    EXPECT_TRUE(names.contains(QStringLiteral("A source with blanks")));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);
}

TEST_F(OdbcTest, FieldsAndSizesByNameWithoutRegardToCaseNullInvalidReadableWithoutTheConnection)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES ('PubOne', 'BusA', 230, '4009'),"
                                        " (NULL, 'BusB', 240, NULL)")));
    std::unique_ptr<Odbc::Recordset> rows;
    {
        Odbc::Connection c;
        Open(c);
        auto query = c.Query(QStringLiteral("SELECT publisherBC, BCname, tableid, productID,"
                                            " CAST('x' AS varchar(7)) AS seven FROM TSYBCDETAILS ORDER BY tableid"));
        ASSERT_TRUE(query) << query.error().description.toStdString();
        rows = std::move(query).value();
        // A column's size is its declared length.
        EXPECT_EQ(rows->ColumnSize(QStringLiteral("SEVEN")), 7);
        EXPECT_EQ(rows->ColumnSize(QStringLiteral("publisherbc")), 255);
        EXPECT_EQ(rows->ColumnSize(QStringLiteral("nothing")), 0);
    }
    auto field = [&](const char *name) { return rows->Field(QLatin1String(name)).value_or(QStringLiteral("error")); };
    ASSERT_TRUE(rows->Next().value_or(false));
    EXPECT_EQ(field("publisherBC").toString(), QStringLiteral("PubOne"));
    EXPECT_EQ(field("BCName").toString(), QStringLiteral("BusA"));
    EXPECT_EQ(field("TABLEID").toLongLong(), 230);
    EXPECT_EQ(field("productid").toString(), QStringLiteral("4009"));

    ASSERT_TRUE(rows->Next().value_or(false));
    EXPECT_FALSE(field("publisherbc").isValid());
    EXPECT_EQ(field("bcname").toString(), QStringLiteral("BusB"));

    EXPECT_EQ(rows->Field(QStringLiteral("NoSuchColumn")).error().number, Vb::ErrorNumber::ItemNotFound);
    const Result<bool> end = rows->Next();
    ASSERT_TRUE(end) << "the end of the rows is not an error";
    EXPECT_FALSE(end.value());
    EXPECT_EQ(rows->Field(QStringLiteral("bcname")).error().number, Vb::ErrorNumber::NoCurrentRecord);
}

TEST_F(OdbcTest, TextSurvivesTheRoundTripAndStatementErrorsCarryTheServersMessage)
{
    const QString values[] = {
        QStringLiteral("O'Neil's bus"),
        QStringLiteral("Zoë – €uro ‘quotes’ 中文"),
        QString(5000, u'x') + QStringLiteral("end"), // longer than one read of the driver
        QString(),
    };
    Odbc::Connection c;
    Open(c);
    for (const QString &value : values) {
        SCOPED_TRACE(value.left(40).toStdString());
        const Result<QVariant> read =
            First(c, QStringLiteral("SELECT '") + Odbc::Quote(value) + QStringLiteral("'::text AS v"), "V");
        ASSERT_TRUE(read) << read.error().description.toStdString();
        EXPECT_TRUE(read.value().isValid()) << "an empty text is not null";
        EXPECT_EQ(read.value().toString(), value);
    }
    // Stored through ODBC, seen by the server as written.
    ASSERT_TRUE(c.Execute(QStringLiteral("INSERT INTO tsybcdetails (BCname, tableid) VALUES ('%1', 1)")
                              .arg(Odbc::Quote(values[1]))));
    EXPECT_EQ(db->Rows(QStringLiteral("SELECT bcname FROM tsybcdetails")), QStringList{values[1]});

    const auto query = c.Query(QStringLiteral("SELECT nothing FROM no_such_table"));
    ASSERT_FALSE(query);
    EXPECT_TRUE(query.error().description.contains(QLatin1String("no_such_table")));
    const Result<void> update = c.Execute(QStringLiteral("UPDATE tsybcdetails SET nosuchcolumn = 1"));
    ASSERT_FALSE(update);
    EXPECT_TRUE(update.error().description.contains(QLatin1String("nosuchcolumn")));
    EXPECT_TRUE(c.Execute(QStringLiteral("UPDATE tsybcdetails SET bcname = 'x' WHERE tableid = -1")))
        << "an update that touches no row succeeds";
    Odbc::Connection closed;
    EXPECT_EQ(closed.Execute(QStringLiteral("SELECT 1")).error().number, Vb::ErrorNumber::ObjectClosed);
    EXPECT_FALSE(closed.Query(QStringLiteral("SELECT 1")));
    EXPECT_EQ(closed.BeginTransaction().error().number, Vb::ErrorNumber::ObjectClosed);
}

// Statements between BeginTransaction and its end count together; afterwards each statement
// counts on its own again.
TEST_F(OdbcTest, TransactionsCommitOrRollBackTheirStatementsTogether)
{
    struct Case { const char *name; bool failInside, commit; QStringList kept; };
    const Case cases[] = {
        {"committed", false, true, {"1", "2", "9"}},
        {"rolled back", false, false, {"9"}},
        {"rolled back after a failed statement", true, false, {"9"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(db->Exec(QStringLiteral("DELETE FROM tsybcdetails")));
        Odbc::Connection connection;
        Open(connection);
        ASSERT_TRUE(connection.BeginTransaction());
        for (int id : {1, 2})
            ASSERT_TRUE(connection.Execute(QStringLiteral("INSERT INTO tsybcdetails (tableid) VALUES (%1)").arg(id)));
        // Not seen from outside before the end.
        EXPECT_TRUE(db->Rows(QStringLiteral("SELECT tableid FROM tsybcdetails")).isEmpty());
        if (c.failInside)
            EXPECT_FALSE(connection.Execute(QStringLiteral("INSERT INTO no_such_table VALUES (1)")));
        EXPECT_TRUE(c.commit ? connection.Commit() : connection.Rollback());
        ASSERT_TRUE(connection.Execute(QStringLiteral("INSERT INTO tsybcdetails (tableid) VALUES (9)")));
        EXPECT_EQ(db->Rows(QStringLiteral("SELECT tableid FROM tsybcdetails ORDER BY tableid")), c.kept);
    }
}

} // namespace
