#include "config/SuiteDatabase.h"
#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

TEST(SuiteDatabaseText, StatementsAreSentExactlyAsTheSuiteExpects)
{
    EXPECT_EQ(SuiteDatabase::BackendVersionQuery(), QStringLiteral("SELECT backendversion FROM tsparameters"));
    EXPECT_EQ(SuiteDatabase::PublisherUpdate(QStringLiteral("FMKPUB"), 230, QStringLiteral("4009")),
              QStringLiteral("UPDATE TSYBCDETAILS SET publisherBC = N'FMKPUB' WHERE tableid = 230 and productID = N'4009'"));
    EXPECT_EQ(SuiteDatabase::PublisherUpdate(QStringLiteral("O'Hare"), 7, QStringLiteral("1'028")),
              QStringLiteral("UPDATE TSYBCDETAILS SET publisherBC = N'O''Hare' WHERE tableid = 7 and productID = N'1''028'"));
    EXPECT_EQ(SuiteDatabase::DispatcherQuery(),
              QStringLiteral("SELECT DISTINCT publisherBC,BCname FROM TSYBCDETAILS WHERE publisherBC !='' AND NOT "
                             "(publisherBC is NULL) GROUP BY BCname,publisherBC "));
}

TEST(SuiteDatabaseText, PublisherTablesPerProductInUpdateOrder)
{
    EXPECT_EQ(SuiteDatabase::PublisherTableIds(4009), (QList<int>{230, 240, 224, 220, 229, 234, 236, 235}));
    EXPECT_EQ(SuiteDatabase::PublisherTableIds(1028), (QList<int>{203, 216, 204, 209, 205, 208, 210, 211}));
    EXPECT_TRUE(SuiteDatabase::PublisherTableIds(4010).isEmpty());
}

class SuiteDatabaseTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { db = PostgresFixture::CreateDatabase(QStringLiteral("suitedb"), &setupError); }
    static void TearDownTestSuite() { db.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(db) << setupError.toStdString();
        ASSERT_TRUE(db->Exec(QStringLiteral("DELETE FROM tsybcdetails")));
    }

    static inline std::unique_ptr<PgDatabase> db;
    static inline QString setupError;
};

// A password that holds ";", "{" or "}" reaches the driver whole: such a login gets in.
TEST_F(SuiteDatabaseTest, ConnectionStringValuesWithSeparatorsOrBracesLogIn)
{
    struct Case { const char *login, *password, *written; };
    const Case cases[] = {
        {"plain_login", "p'w d", "PWD=p'w d;"},
        {"semicolon_login", "p;w", "PWD={p;w};"},
        {"braces_login", "{p}w}", "PWD={{p}}w}}};"},
        {"open_brace_login", "x{", "PWD={x{};"},
    };
    EXPECT_EQ(SuiteDatabase::ConnectionString(QStringLiteral("FMK;DB"), QStringLiteral("{sa}"), QStringLiteral("pw")),
              QStringLiteral("DSN={FMK;DB};UID={{sa}}};PWD=pw;"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.login);
        const QString login = QString::fromLatin1(c.login) + QString::number(QCoreApplication::applicationPid());
        QString setupFailure;
        ASSERT_TRUE(db->AddLogin(login, QString::fromLatin1(c.password), &setupFailure)) << setupFailure.toStdString();
        EXPECT_TRUE(SuiteDatabase::ConnectionString(db->dsn(), login, c.password).endsWith(QLatin1String(c.written)));
        Odbc::Connection connection;
        Vb::Error error;
        EXPECT_TRUE(SuiteDatabase::OpenByConnectionString(connection, db->dsn(), login, c.password, &error))
            << error.description.toStdString();
    }
}

// The statements name tables and columns in mixed case without quotes; they must reach the
// tables through the real driver.
TEST_F(SuiteDatabaseTest, ThePublisherUpdateSetsOnlyItsOwnRow)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES"
                                        " (NULL, 'A', 230, '4009'), (NULL, 'B', 230, '1028'), (NULL, 'C', 240, '4009')")));
    Odbc::Connection c;
    Vb::Error error;
    ASSERT_TRUE(SuiteDatabase::OpenByConnectionString(c, db->dsn(), db->user(), db->password(), &error))
        << error.description.toStdString();
    ASSERT_TRUE(c.Execute(SuiteDatabase::PublisherUpdate(QStringLiteral("Bus 'One'"), 230, QStringLiteral("4009")), &error))
        << error.description.toStdString();
    EXPECT_EQ(db->Rows(QStringLiteral("SELECT bcname, coalesce(publisherbc, '-') FROM tsybcdetails ORDER BY bcname")),
              (QStringList{QStringLiteral("A|Bus 'One'"), QStringLiteral("B|-"), QStringLiteral("C|-")}));
}

TEST_F(SuiteDatabaseTest, TheDispatcherQueryGivesEachPublisherWithItsComponentsOnce)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES"
                                        " ('PUB1', 'BusA', 1, '4009'), ('PUB1', 'BusA', 2, '4009'),"
                                        " ('PUB1', 'BusB', 3, '4009'), ('', 'BusC', 4, '4009'),"
                                        " (NULL, 'BusD', 5, '4009'), ('PUB2', 'BusA', 6, '4009')")));
    Odbc::Connection c;
    Vb::Error error;
    ASSERT_TRUE(SuiteDatabase::OpenByDataSource(c, db->dsn(), db->user(), db->password(), &error))
        << error.description.toStdString();
    auto rows = c.Query(SuiteDatabase::DispatcherQuery(), &error);
    ASSERT_TRUE(rows) << error.description.toStdString();
    QStringList seen;
    while (rows->Next(&error))
        seen << rows->Field(QStringLiteral("publisherBC"), &error).toString() + u'|'
                    + rows->Field(QStringLiteral("BCName"), &error).toString();
    EXPECT_FALSE(error.isError()) << error.description.toStdString();
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("PUB1|BusA"), QStringLiteral("PUB1|BusB"), QStringLiteral("PUB2|BusA")}));
}

} // namespace
