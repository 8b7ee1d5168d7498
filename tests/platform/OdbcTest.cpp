#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"
#include "platform/Odbc.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class OdbcTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = PostgresFixture::Ready(u"odbc"_s, u"DELETE FROM tsparameters; DELETE FROM tsybcdetails;"_s);
        ASSERT_TRUE(db);
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
            return onRow ? Vb::Error{Vb::ErrorNumber::NoCurrentRecord, u"no row"_s} : onRow.error();
        return rows.value()->Field(field);
    }

    static inline PgDatabase *db = nullptr;
    Odbc::Connection c; // opened through the data source name, user and password
};

// The data sources list user and system sources each once, sorted. Both forms of connecting
// reach the same database and name its server; a failed one carries the driver's or the
// server's message.
TEST_F(OdbcTest, DataSourcesAndBothConnectionFormsOpenTheDatabaseOrSayWhyNot)
{
    // A user source of the same name as the system one shows once.
    ASSERT_TRUE(db->AddDsn(u"cs_postgres"_s));
    ASSERT_TRUE(db->AddDsn(u"A source with blanks"_s));
    const QStringList names = Odbc::DataSources();
    EXPECT_EQ(names.count(u"cs_postgres"_s), 1) << names.join(u',').toStdString(); // system
    EXPECT_TRUE(names.contains(db->dsn()));                                       // user
    EXPECT_TRUE(names.contains(u"A source with blanks"_s));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);

    Odbc::Connection byString;
    ASSERT_TRUE(byString.DriverConnect(u"DSN=%1;UID=%2;PWD=%3;"_s.arg(db->dsn(), db->user(), db->password())));
    for (Odbc::Connection *open : {&c, &byString}) {
        EXPECT_TRUE(open->IsOpen());
        EXPECT_EQ(First(*open, u"SELECT current_database() AS name"_s, u"name"_s).value().toString(), db->name());
        const Result<QString> server = open->ServerName();
        ASSERT_TRUE(server) << server.error().description.toStdString();
        EXPECT_EQ(server.value(), db->serverName());
    }
    c.Close();
    EXPECT_FALSE(c.IsOpen());

    Odbc::Connection bad;
    for (const auto &[opened, expected] :
         {std::pair{bad.Connect(db->dsn(), db->user(), u"not the password"_s), "password authentication failed"},
          std::pair{bad.DriverConnect(u"DSN=NoSuchDataSource;UID=x;PWD=y;"_s), "Data source name not found"}}) {
        EXPECT_FALSE(bad.IsOpen());
        ASSERT_FALSE(opened);
        EXPECT_TRUE(opened.error().description.contains(QLatin1String(expected))) << opened.error().description.toStdString();
    }
}

TEST_F(OdbcTest, FieldsAndSizesByNameWithoutRegardToCaseNullInvalidReadableWithoutTheConnection)
{
    ASSERT_TRUE(db->Exec(u"INSERT INTO tsybcdetails VALUES ('PubOne', 'BusA', 230, '4009'), (NULL, 'BusB', 240, NULL)"_s));
    auto query = c.Query(u"SELECT publisherBC, tableid, CAST('x' AS varchar(7)) AS seven FROM TSYBCDETAILS ORDER BY tableid"_s);
    ASSERT_TRUE(query) << query.error().description.toStdString();
    const std::unique_ptr<Odbc::Recordset> rows = std::move(query).value();
    c.Close();
    // A column's size is its declared length.
    EXPECT_EQ(rows->ColumnSize(u"SEVEN"_s), 7);
    EXPECT_EQ(rows->ColumnSize(u"publisherbc"_s), 255);
    EXPECT_EQ(rows->ColumnSize(u"nothing"_s), 0);
    auto field = [&](const QString &name) { return rows->Field(name).value_or(u"error"_s); };
    ASSERT_TRUE(rows->Next().value_or(false));
    EXPECT_EQ(field(u"PUBLISHERbc"_s).toString(), u"PubOne"_s);
    EXPECT_EQ(field(u"TABLEID"_s).toLongLong(), 230);
    ASSERT_TRUE(rows->Next().value_or(false));
    EXPECT_FALSE(field(u"publisherbc"_s).isValid());

    EXPECT_EQ(rows->Field(u"NoSuchColumn"_s).error().number, Vb::ErrorNumber::ItemNotFound);
    const Result<bool> end = rows->Next();
    ASSERT_TRUE(end) << "the end of the rows is not an error";
    EXPECT_FALSE(end.value());
    EXPECT_EQ(rows->Field(u"tableid"_s).error().number, Vb::ErrorNumber::NoCurrentRecord);
}

TEST_F(OdbcTest, TextSurvivesTheRoundTripAndStatementErrorsCarryTheServersMessage)
{
    const QString values[] = {
        u"O'Neil's bus"_s,
        u"Zoë – €uro ‘quotes’ 中文"_s,
        QString(5000, u'x') + u"end"_s, // longer than one read of the driver
        QString(),
    };
    for (const QString &value : values) {
        SCOPED_TRACE(value.left(40).toStdString());
        const Result<QVariant> read = First(c, u"SELECT '"_s + Odbc::Quote(value) + u"'::text AS v"_s, u"V"_s);
        ASSERT_TRUE(read) << read.error().description.toStdString();
        EXPECT_TRUE(read.value().isValid()) << "an empty text is not null";
        EXPECT_EQ(read.value().toString(), value);
    }
    // Stored through ODBC, seen by the server as written.
    ASSERT_TRUE(c.Execute(u"INSERT INTO tsybcdetails (BCname, tableid) VALUES ('%1', 1)"_s.arg(Odbc::Quote(values[1]))));
    EXPECT_EQ(db->Rows(u"SELECT bcname FROM tsybcdetails"_s), QStringList{values[1]});

    const auto query = c.Query(u"SELECT nothing FROM no_such_table"_s);
    ASSERT_FALSE(query);
    EXPECT_TRUE(query.error().description.contains("no_such_table"_L1));
    const Result<void> update = c.Execute(u"UPDATE tsybcdetails SET nosuchcolumn = 1"_s);
    ASSERT_FALSE(update);
    EXPECT_TRUE(update.error().description.contains("nosuchcolumn"_L1));
    EXPECT_TRUE(c.Execute(u"UPDATE tsybcdetails SET bcname = 'x' WHERE tableid = -1"_s)) << "touches no row";
    c.Close();
    EXPECT_EQ(c.Execute(u"SELECT 1"_s).error().number, Vb::ErrorNumber::ObjectClosed);
    EXPECT_FALSE(c.Query(u"SELECT 1"_s));
    EXPECT_EQ(c.BeginTransaction().error().number, Vb::ErrorNumber::ObjectClosed);
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
    auto rows = [] { return db->Rows(u"SELECT tableid FROM tsybcdetails ORDER BY tableid"_s); };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        ASSERT_TRUE(db->Exec(u"DELETE FROM tsybcdetails"_s));
        ASSERT_TRUE(c.BeginTransaction());
        for (int id : {1, 2})
            ASSERT_TRUE(c.Execute(u"INSERT INTO tsybcdetails (tableid) VALUES (%1)"_s.arg(id)));
        EXPECT_TRUE(rows().isEmpty()) << "not seen from outside before the end";
        if (k.failInside) {
            EXPECT_FALSE(c.Execute(u"INSERT INTO no_such_table VALUES (1)"_s));
        }
        EXPECT_TRUE(k.commit ? c.Commit() : c.Rollback());
        ASSERT_TRUE(c.Execute(u"INSERT INTO tsybcdetails (tableid) VALUES (9)"_s));
        EXPECT_EQ(rows(), k.kept);
    }
}

} // namespace
