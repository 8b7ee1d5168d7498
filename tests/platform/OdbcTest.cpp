#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"
#include "platform/Odbc.h"

#include <gtest/gtest.h>

namespace {

class OdbcTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { db = PostgresFixture::CreateDatabase(QStringLiteral("odbc"), &setupError); }
    static void TearDownTestSuite() { db.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(db) << setupError.toStdString();
        ASSERT_TRUE(db->Exec(QStringLiteral("DELETE FROM tsparameters; DELETE FROM tsybcdetails;")));
    }

    static QString ConnectionString(const QString &dsn, const QString &password)
    {
        return QStringLiteral("DSN=%1;UID=%2;PWD=%3;").arg(dsn, db->user(), password);
    }

    // A connection through the data source name, user and password.
    void Open(Odbc::Connection &c)
    {
        Vb::Error error;
        ASSERT_TRUE(c.Connect(db->dsn(), db->user(), db->password(), &error)) << error.description.toStdString();
    }

    static inline std::unique_ptr<PgDatabase> db;
    static inline QString setupError;
};

TEST_F(OdbcTest, BothConnectionFormsOpenTheSameDatabaseAndNameItsServer)
{
    Odbc::Connection byDsn, byString;
    Vb::Error error;
    Open(byDsn);
    ASSERT_TRUE(byString.DriverConnect(ConnectionString(db->dsn(), db->password()), &error))
        << error.description.toStdString();
    for (Odbc::Connection *c : {&byDsn, &byString}) {
        EXPECT_TRUE(c->IsOpen());
        auto rows = c->Query(QStringLiteral("SELECT current_database() AS name"), &error);
        ASSERT_TRUE(rows);
        ASSERT_TRUE(rows->Next(&error));
        EXPECT_EQ(rows->Field(QStringLiteral("name"), &error).toString(), db->name());
        QString server;
        ASSERT_TRUE(c->ServerName(&server, &error)) << error.description.toStdString();
        EXPECT_EQ(server, db->serverName());
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
            Vb::Error error;
            EXPECT_FALSE(viaString ? connection.DriverConnect(ConnectionString(c.dsn, c.password), &error)
                                   : connection.Connect(c.dsn, db->user(), c.password, &error));
            EXPECT_FALSE(connection.IsOpen());
            EXPECT_TRUE(error.isError());
            EXPECT_TRUE(error.description.contains(QLatin1String(c.expected))) << error.description.toStdString();
        }
    }
}

TEST_F(OdbcTest, DataSourcesListsUserAndSystemSourcesEachOnceSorted)
{
    // A user source of the same name as the system one shows once.
    ASSERT_TRUE(db->AddDsn(QStringLiteral("cs_postgres")));
    ASSERT_TRUE(db->AddDsn(QStringLiteral("A source with blanks")));
    Vb::Error error;
    const QStringList names = Odbc::DataSources(&error);
    EXPECT_FALSE(error.isError()) << error.description.toStdString();
    EXPECT_EQ(names.count(QStringLiteral("cs_postgres")), 1) << names.join(u',').toStdString(); // system
    EXPECT_TRUE(names.contains(db->dsn()));                                                      // user
    EXPECT_TRUE(names.contains(QStringLiteral("A source with blanks")));
    QStringList sorted = names;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, sorted);
}

TEST_F(OdbcTest, FieldsByNameWithoutRegardToCaseNullInvalidReadableWithoutTheConnection)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES ('PubOne', 'BusA', 230, '4009'),"
                                        " (NULL, 'BusB', 240, NULL)")));
    std::unique_ptr<Odbc::Recordset> rows;
    Vb::Error error;
    {
        Odbc::Connection c;
        Open(c);
        rows = c.Query(QStringLiteral("SELECT publisherBC, BCname, tableid, productID FROM TSYBCDETAILS "
                                      "ORDER BY tableid"),
                       &error);
        ASSERT_TRUE(rows) << error.description.toStdString();
    }
    ASSERT_TRUE(rows->Next(&error));
    EXPECT_EQ(rows->Field(QStringLiteral("publisherBC"), &error).toString(), QStringLiteral("PubOne"));
    EXPECT_EQ(rows->Field(QStringLiteral("BCName"), &error).toString(), QStringLiteral("BusA"));
    EXPECT_EQ(rows->Field(QStringLiteral("TABLEID"), &error).toLongLong(), 230);
    EXPECT_EQ(rows->Field(QStringLiteral("productid"), &error).toString(), QStringLiteral("4009"));
    EXPECT_FALSE(error.isError());

    ASSERT_TRUE(rows->Next(&error));
    EXPECT_FALSE(rows->Field(QStringLiteral("publisherbc"), &error).isValid());
    EXPECT_EQ(rows->Field(QStringLiteral("bcname"), &error).toString(), QStringLiteral("BusB"));
    EXPECT_FALSE(error.isError());

    rows->Field(QStringLiteral("NoSuchColumn"), &error);
    EXPECT_EQ(error.number, 3265);
    error = {};
    EXPECT_FALSE(rows->Next(&error));
    EXPECT_FALSE(error.isError()) << "the end of the rows is not an error";
    rows->Field(QStringLiteral("bcname"), &error);
    EXPECT_TRUE(error.isError()) << "no current row after the end";
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
    Vb::Error error;
    for (const QString &value : values) {
        SCOPED_TRACE(value.left(40).toStdString());
        auto rows = c.Query(QStringLiteral("SELECT '") + Odbc::Quote(value) + QStringLiteral("'::text AS v"), &error);
        ASSERT_TRUE(rows) << error.description.toStdString();
        ASSERT_TRUE(rows->Next(&error));
        const QVariant read = rows->Field(QStringLiteral("V"), &error);
        EXPECT_TRUE(read.isValid()) << "an empty text is not null";
        EXPECT_EQ(read.toString(), value);
    }
    // Stored through ODBC, seen by the server as written.
    ASSERT_TRUE(c.Execute(QStringLiteral("INSERT INTO tsybcdetails (BCname, tableid) VALUES ('%1', 1)")
                              .arg(Odbc::Quote(values[1])),
                          &error))
        << error.description.toStdString();
    EXPECT_EQ(db->Rows(QStringLiteral("SELECT bcname FROM tsybcdetails")), QStringList{values[1]});

    EXPECT_FALSE(c.Query(QStringLiteral("SELECT nothing FROM no_such_table"), &error));
    EXPECT_TRUE(error.description.contains(QLatin1String("no_such_table"))) << error.description.toStdString();
    error = {};
    EXPECT_FALSE(c.Execute(QStringLiteral("UPDATE tsybcdetails SET nosuchcolumn = 1"), &error));
    EXPECT_TRUE(error.description.contains(QLatin1String("nosuchcolumn"))) << error.description.toStdString();
    EXPECT_TRUE(c.Execute(QStringLiteral("UPDATE tsybcdetails SET bcname = 'x' WHERE tableid = -1"), &error))
        << "an update that touches no row succeeds";
    Odbc::Connection closed;
    EXPECT_FALSE(closed.Execute(QStringLiteral("SELECT 1"), &error));
    EXPECT_FALSE(closed.Query(QStringLiteral("SELECT 1"), &error));
}

} // namespace

namespace {

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
        Vb::Error error;
        ASSERT_TRUE(connection.BeginTransaction(&error)) << error.description.toStdString();
        for (int id : {1, 2})
            ASSERT_TRUE(connection.Execute(QStringLiteral("INSERT INTO tsybcdetails (tableid) VALUES (%1)").arg(id), &error));
        // Not seen from outside before the end.
        EXPECT_TRUE(db->Rows(QStringLiteral("SELECT tableid FROM tsybcdetails")).isEmpty());
        if (c.failInside)
            EXPECT_FALSE(connection.Execute(QStringLiteral("INSERT INTO no_such_table VALUES (1)"), &error));
        EXPECT_TRUE(c.commit ? connection.Commit(&error) : connection.Rollback(&error)) << error.description.toStdString();
        ASSERT_TRUE(connection.Execute(QStringLiteral("INSERT INTO tsybcdetails (tableid) VALUES (9)"), &error));
        EXPECT_EQ(db->Rows(QStringLiteral("SELECT tableid FROM tsybcdetails ORDER BY tableid")), c.kept);
    }
    Odbc::Connection closed;
    Vb::Error error;
    EXPECT_FALSE(closed.BeginTransaction(&error));
    EXPECT_EQ(error.number, 3704);
}

TEST_F(OdbcTest, ColumnSizeIsTheDeclaredLength)
{
    Odbc::Connection c;
    Open(c);
    Vb::Error error;
    auto rows = c.Query(QStringLiteral("SELECT publisherBC, CAST('x' AS varchar(7)) AS seven FROM tsybcdetails"), &error);
    ASSERT_TRUE(rows) << error.description.toStdString();
    EXPECT_EQ(rows->ColumnSize(QStringLiteral("SEVEN")), 7);
    EXPECT_EQ(rows->ColumnSize(QStringLiteral("publisherbc")), 255);
    EXPECT_EQ(rows->ColumnSize(QStringLiteral("nothing")), 0);
}

} // namespace
