#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"
#include "platform/Odbc.h"

#include <gtest/gtest.h>

namespace {

class OdbcTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QString error;
        db = PostgresFixture::CreateDatabase(QStringLiteral("odbc"), &error);
        setupError = error;
    }
    static void TearDownTestSuite() { db.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(db) << setupError.toStdString();
        ASSERT_TRUE(db->Exec(QStringLiteral("DELETE FROM tsparameters; DELETE FROM tsybcdetails;")));
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

TEST_F(OdbcTest, BothConnectionFormsOpenTheSameDatabase)
{
    Odbc::Connection byDsn, byString;
    Vb::Error error;
    ASSERT_TRUE(byDsn.Connect(db->dsn(), db->user(), db->password(), &error)) << error.description.toStdString();
    ASSERT_TRUE(byString.DriverConnect(
        QStringLiteral("DSN=%1;UID=%2;PWD=%3;").arg(db->dsn(), db->user(), db->password()), &error))
        << error.description.toStdString();
    EXPECT_TRUE(byDsn.IsOpen());
    EXPECT_TRUE(byString.IsOpen());

    for (Odbc::Connection *c : {&byDsn, &byString}) {
        auto rows = c->Query(QStringLiteral("SELECT current_database() AS name"), &error);
        ASSERT_TRUE(rows);
        ASSERT_TRUE(rows->Next(&error));
        EXPECT_EQ(rows->Field(QStringLiteral("name"), &error).toString(), db->name());
    }
    byDsn.Close();
    EXPECT_FALSE(byDsn.IsOpen());
}

TEST_F(OdbcTest, ServerNameIsTheDataSourcesServername)
{
    Odbc::Connection c;
    Open(c);
    QString name;
    Vb::Error error;
    ASSERT_TRUE(c.ServerName(&name, &error)) << error.description.toStdString();
    EXPECT_EQ(name, db->serverName());
}

TEST_F(OdbcTest, FailedOpeningCarriesTheDriversMessage)
{
    struct Case
    {
        const char *what;
        QString dsn, password;
        const char *expected;
    };
    const Case cases[] = {
        {"wrong password", db->dsn(), QStringLiteral("not the password"), "password authentication failed"},
        {"unknown data source", QStringLiteral("NoSuchDataSource"), db->password(), "Data source name not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (bool viaString : {false, true}) {
            Odbc::Connection connection;
            Vb::Error error;
            const bool opened = viaString
                                    ? connection.DriverConnect(QStringLiteral("DSN=%1;UID=%2;PWD=%3;")
                                                                   .arg(c.dsn, db->user(), c.password),
                                                               &error)
                                    : connection.Connect(c.dsn, db->user(), c.password, &error);
            EXPECT_FALSE(opened);
            EXPECT_FALSE(connection.IsOpen());
            EXPECT_TRUE(error.isError());
            EXPECT_TRUE(error.description.contains(QLatin1String(c.expected))) << error.description.toStdString();
        }
    }
}

TEST_F(OdbcTest, FieldsAreFoundByNameWithoutRegardToCaseAndNullIsInvalid)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES ('PubOne', 'BusA', 230, '4009'),"
                                        " (NULL, 'BusB', 240, NULL)")));
    Odbc::Connection c;
    Open(c);
    Vb::Error error;
    auto rows = c.Query(QStringLiteral("SELECT publisherBC, BCname, tableid, productID FROM TSYBCDETAILS "
                                       "ORDER BY tableid"),
                        &error);
    ASSERT_TRUE(rows) << error.description.toStdString();

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

TEST_F(OdbcTest, TextSurvivesTheRoundTripWhateverItHolds)
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
        Vb::Error error;
        auto rows = c.Query(QStringLiteral("SELECT '") + Odbc::Quote(value) + QStringLiteral("'::text AS v"), &error);
        ASSERT_TRUE(rows) << error.description.toStdString();
        ASSERT_TRUE(rows->Next(&error));
        const QVariant read = rows->Field(QStringLiteral("V"), &error);
        EXPECT_TRUE(read.isValid()) << "an empty text is not null";
        EXPECT_EQ(read.toString(), value);
    }

    // Stored through ODBC, seen by the server as written.
    Vb::Error error;
    ASSERT_TRUE(c.Execute(QStringLiteral("INSERT INTO tsybcdetails (BCname, tableid) VALUES ('")
                              + Odbc::Quote(values[1]) + QStringLiteral("', 1)"),
                          &error))
        << error.description.toStdString();
    EXPECT_EQ(db->Rows(QStringLiteral("SELECT bcname FROM tsybcdetails")), QStringList{values[1]});
}

TEST_F(OdbcTest, StatementErrorsCarryTheServersMessage)
{
    Odbc::Connection c;
    Open(c);
    Vb::Error error;
    EXPECT_FALSE(c.Query(QStringLiteral("SELECT nothing FROM no_such_table"), &error));
    EXPECT_TRUE(error.description.contains(QLatin1String("no_such_table"))) << error.description.toStdString();

    error = {};
    EXPECT_FALSE(c.Execute(QStringLiteral("UPDATE tsybcdetails SET nosuchcolumn = 1"), &error));
    EXPECT_TRUE(error.description.contains(QLatin1String("nosuchcolumn"))) << error.description.toStdString();

    error = {};
    EXPECT_TRUE(c.Execute(QStringLiteral("UPDATE tsybcdetails SET bcname = 'x' WHERE tableid = -1"), &error))
        << "an update that touches no row succeeds";

    Odbc::Connection closed;
    EXPECT_FALSE(closed.Execute(QStringLiteral("SELECT 1"), &error));
    EXPECT_FALSE(closed.Query(QStringLiteral("SELECT 1"), &error));
}

TEST_F(OdbcTest, AResultStaysReadableAfterItsConnectionObjectIsGone)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsparameters VALUES (6), (7)")));
    std::unique_ptr<Odbc::Recordset> rows;
    Vb::Error error;
    {
        Odbc::Connection c;
        Open(c);
        rows = c.Query(QStringLiteral("SELECT backendversion FROM tsparameters ORDER BY 1"), &error);
        ASSERT_TRUE(rows);
    }
    QList<qlonglong> versions;
    while (rows->Next(&error))
        versions << rows->Field(QStringLiteral("backendversion"), &error).toLongLong();
    EXPECT_FALSE(error.isError());
    EXPECT_EQ(versions, (QList<qlonglong>{6, 7}));
}

} // namespace
