#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"
#include "platform/Odbc.h"

#include <gtest/gtest.h>

#include <algorithm>

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
    EXPECT_TRUE(names.contains(u"A source with blanks"_s)); // user
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                               [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));

    Odbc::Connection byString;
    ASSERT_TRUE(byString.DriverConnect(u"DSN=%1;UID=%2;PWD=%3;"_s.arg(db->dsn(), db->user(), db->password())));
    for (Odbc::Connection *open : {&c, &byString}) {
        EXPECT_TRUE(open->IsOpen());
        const auto rows = open->Query(u"SELECT current_database() AS name"_s);
        ASSERT_TRUE(rows && rows.value()->Next().value_or(false));
        EXPECT_EQ(rows.value()->Field(u"name"_s).value().toString(), db->name());
        const Result<QString> server = open->ServerName();
        ASSERT_TRUE(server) << server.error().description.toStdString();
        EXPECT_EQ(server.value(), db->serverName());
    }

    Odbc::Connection bad;
    for (const auto &[opened, expected] :
         {std::pair{bad.Connect(db->dsn(), db->user(), u"not the password"_s), "password authentication failed"},
          std::pair{bad.DriverConnect(u"DSN=NoSuchDataSource;UID=x;PWD=y;"_s), "Data source name not found"}}) {
        EXPECT_FALSE(bad.IsOpen());
        ASSERT_FALSE(opened);
        EXPECT_TRUE(opened.error().description.contains(QLatin1String(expected))) << opened.error().description.toStdString();
    }
    // The driver manager keeps a missing source for a while: the message says so.
    EXPECT_TRUE(bad.DriverConnect(u"DSN=NoSuchDataSource;"_s).error().description.contains(u"defined a moment ago may need some seconds"_s));
}

// Texts stored through ODBC are seen by the server as written and read back as they were;
// fields are found by name without regard to case, and stay readable without the connection.
TEST_F(OdbcTest, TextAndFieldsSurviveTheRoundTrip)
{
    const QString values[] = {u"O'Neil's bus"_s, u"Zoë – €uro ‘quotes’ 中文"_s, QString()};
    for (int id = 0; id < 3; ++id) {
        const QString insert = u"INSERT INTO tsybcdetails (bcname, tableid) VALUES ('%1', %2)"_s;
        ASSERT_TRUE(c.Execute(insert.arg(Odbc::Quote(values[id])).arg(id)));
    }
    ASSERT_TRUE(db->Exec(u"INSERT INTO tsybcdetails (tableid) VALUES (3)"_s));
    EXPECT_EQ(db->Rows(u"SELECT bcname FROM tsybcdetails WHERE tableid = 1"_s), QStringList{values[1]});
    // The long text is longer than one read of the driver.
    auto query = c.Query(u"SELECT BCname, tableid, repeat('x', 5000) || 'end' AS long, CAST('x' AS varchar(7)) AS seven"
                         " FROM TSYBCDETAILS ORDER BY tableid"_s);
    ASSERT_TRUE(query) << query.error().description.toStdString();
    const std::unique_ptr<Odbc::Recordset> rows = std::move(query).value();
    c.Close();
    // A column's size is its declared length.
    EXPECT_EQ(rows->ColumnSize(u"SEVEN"_s), 7);
    EXPECT_EQ(rows->ColumnSize(u"nothing"_s), 0);
    for (int id = 0; id < 3; ++id) {
        ASSERT_TRUE(rows->Next().value_or(false));
        const QVariant text = rows->Field(u"BCNAME"_s).value_or(u"error"_s);
        EXPECT_TRUE(text.isValid()) << "an empty text is not null";
        EXPECT_EQ(text.toString(), values[id]);
        EXPECT_EQ(rows->Field(u"TableId"_s).value().toLongLong(), id);
        EXPECT_EQ(rows->Field(u"long"_s).value().toString(), QString(5000, u'x') + u"end"_s);
    }
    ASSERT_TRUE(rows->Next().value_or(false));
    EXPECT_FALSE(rows->Field(u"bcname"_s).value().isValid()) << "null";

    EXPECT_EQ(rows->Field(u"NoSuchColumn"_s).error().number, ErrorNumber::ItemNotFound);
    const Result<bool> end = rows->Next();
    ASSERT_TRUE(end) << "the end of the rows is not an error";
    EXPECT_FALSE(end.value());
    EXPECT_EQ(rows->Field(u"tableid"_s).error().number, ErrorNumber::NoCurrentRecord);
}

// Statements between BeginTransaction and its end count together; afterwards each statement
// counts on its own again.
TEST_F(OdbcTest, TransactionsCommitOrRollBackTheirStatementsTogetherAndStatementErrorsAreReported)
{
    struct Case { const char *name; bool failInside, commit; QStringList kept; };
    const Case cases[] = {
        {"committed", false, true, {"1", "2", "9"}},
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

    // Statement errors carry the server's message; a closed connection runs nothing.
    const auto query = c.Query(u"SELECT nothing FROM no_such_table"_s);
    ASSERT_FALSE(query);
    EXPECT_TRUE(query.error().description.contains("no_such_table"_L1));
    const Result<void> update = c.Execute(u"UPDATE tsybcdetails SET nosuchcolumn = 1"_s);
    ASSERT_FALSE(update);
    EXPECT_TRUE(update.error().description.contains("nosuchcolumn"_L1));
    EXPECT_TRUE(c.Execute(u"UPDATE tsybcdetails SET bcname = 'x' WHERE tableid = -1"_s)) << "touches no row";
    c.Close();
    EXPECT_EQ(c.Execute(u"SELECT 1"_s).error().number, ErrorNumber::ObjectClosed);
    EXPECT_FALSE(c.Query(u"SELECT 1"_s));
    EXPECT_EQ(c.BeginTransaction().error().number, ErrorNumber::ObjectClosed);
}

} // namespace
