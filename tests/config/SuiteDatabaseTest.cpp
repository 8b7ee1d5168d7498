#include "config/SuiteDatabase.h"
#include "support/PostgresFixture.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The statements name tables and columns in mixed case without quotes; they must reach the
// tables through the real driver. The update sets only its own row; the dispatcher query
// gives each publisher with its components once. Then the logins of the connection string.
TEST(SuiteDatabase, ThePublisherUpdateTheDispatcherQueryAndLoginsWithSeparators)
{
    PgDatabase *db = PostgresFixture::Ready(u"suitedb"_s, u"DELETE FROM tsybcdetails"_s);
    ASSERT_TRUE(db);
    Odbc::Connection c;
    ASSERT_TRUE(db->Exec(u"INSERT INTO tsybcdetails VALUES (NULL, 'A', 230, '4009'), (NULL, 'B', 230, '1028'),"
                         " (NULL, 'C', 240, '4009'), ('PUB1', 'BusA', 1, '4009'), ('PUB1', 'BusA', 2, '4009'),"
                         " ('PUB1', 'BusB', 3, '4009'), ('', 'BusC', 4, '4009'), ('PUB2', 'BusA', 6, '4009')"_s));
    ASSERT_TRUE(SuiteDatabase::OpenByDataSource(c, db->dsn(), db->user(), db->password()));
    ASSERT_TRUE(c.Execute(SuiteDatabase::PublisherUpdate(u"Bus 'One'"_s, 230, u"4009"_s)));
    const auto rows = c.Query(SuiteDatabase::DispatcherQuery());
    ASSERT_TRUE(rows);
    QStringList seen;
    while (rows.value()->Next().value_or(false))
        seen << rows.value()->Field(u"publisherBC"_s).value().toString() + u'|'
                    + rows.value()->Field(u"BCName"_s).value().toString();
    seen.sort();
    EXPECT_EQ(seen, QStringList({"Bus 'One'|A", "PUB1|BusA", "PUB1|BusB", "PUB2|BusA"}));

    // A login whose values hold ";", "{" or "}" reaches the driver whole and gets in.
    EXPECT_EQ(SuiteDatabase::ConnectionString(u"FMK;DB"_s, u"{sa}"_s, u"pw"_s), u"DSN={FMK;DB};UID={{sa}}};PWD=pw;"_s);
    for (const auto &[name, password] : {std::pair{"plain_login", "p'w d"}, {"semicolon_login", "p;w"},
                                         {"braces_login", "{p}w}"}, {"open_brace_login", "x{"}}) {
        SCOPED_TRACE(name);
        const QString login = QLatin1String(name) + QString::number(QCoreApplication::applicationPid());
        QString setupFailure;
        ASSERT_TRUE(db->AddLogin(login, QLatin1String(password), &setupFailure)) << setupFailure.toStdString();
        const Result<void> opened = SuiteDatabase::OpenByConnectionString(c, db->dsn(), login, QLatin1String(password));
        EXPECT_TRUE(opened) << opened.error().description.toStdString();
        c.Close();
    }
}
