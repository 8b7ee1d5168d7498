#include "config/SuiteDatabase.h"
#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class SuiteDatabaseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = PostgresFixture::Ready(QStringLiteral("suitedb"),
                                    QStringLiteral("DELETE FROM tsybcdetails"));
        ASSERT_TRUE(db);
    }

    static inline PgDatabase *db = nullptr;
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
        const Result<void> opened = SuiteDatabase::OpenByConnectionString(connection, db->dsn(), login, c.password);
        EXPECT_TRUE(opened) << opened.error().description.toStdString();
    }
}

// The statements name tables and columns in mixed case without quotes; they must reach the
// tables through the real driver.
TEST_F(SuiteDatabaseTest, ThePublisherUpdateSetsOnlyItsOwnRow)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO tsybcdetails VALUES"
                                        " (NULL, 'A', 230, '4009'), (NULL, 'B', 230, '1028'), (NULL, 'C', 240, '4009')")));
    Odbc::Connection c;
    ASSERT_TRUE(SuiteDatabase::OpenByConnectionString(c, db->dsn(), db->user(), db->password()));
    ASSERT_TRUE(c.Execute(SuiteDatabase::PublisherUpdate(QStringLiteral("Bus 'One'"), 230, QStringLiteral("4009"))));
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
    ASSERT_TRUE(SuiteDatabase::OpenByDataSource(c, db->dsn(), db->user(), db->password()));
    const auto rows = c.Query(SuiteDatabase::DispatcherQuery());
    ASSERT_TRUE(rows);
    QStringList seen;
    while (rows.value()->Next().value_or(false))
        seen << rows.value()->Field(QStringLiteral("publisherBC")).value().toString() + u'|'
                    + rows.value()->Field(QStringLiteral("BCName")).value().toString();
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("PUB1|BusA"), QStringLiteral("PUB1|BusB"), QStringLiteral("PUB2|BusA")}));
}

} // namespace
