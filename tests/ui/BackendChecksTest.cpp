#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"
#include "ui/BackendChecks.h"

#include <gtest/gtest.h>

namespace {

class BackendChecksTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { db = PostgresFixture::CreateDatabase(QStringLiteral("checks"), &setupError); }
    static void TearDownTestSuite() { db.reset(); }
    void SetUp() override { ASSERT_TRUE(db) << setupError.toStdString(); }

    // Puts the table back to its form with the given rows (SQL values, e.g. "6", "NULL").
    void Versions(const QString &columnType, const QStringList &values)
    {
        QString sql = QStringLiteral("DROP TABLE IF EXISTS tsparameters; CREATE TABLE tsparameters (backendversion %1);")
                          .arg(columnType);
        for (const QString &v : values)
            sql += QStringLiteral("INSERT INTO tsparameters VALUES (%1);").arg(v);
        ASSERT_TRUE(db->Exec(sql));
    }

    bool Check() { return CheckBackendVersion(app.session(), db->dsn(), db->user(), db->password()); }

    TestAppDir app;
    static inline std::unique_ptr<PgDatabase> db;
    static inline QString setupError;
};

TEST_F(BackendChecksTest, OnlyVersionSixPassesAndOtherVersionsAreSilent)
{
    struct Case
    {
        QString type;
        QStringList rows;
        bool expected;
    };
    const Case cases[] = {
        {QStringLiteral("integer"), {QStringLiteral("6")}, true},
        {QStringLiteral("integer"), {QStringLiteral("5")}, false},
        {QStringLiteral("integer"), {QStringLiteral("7")}, false},
        {QStringLiteral("integer"), {}, false},                                   // no row: version 0
        {QStringLiteral("integer"), {QStringLiteral("6"), QStringLiteral("5")}, true}, // the first row counts
        {QStringLiteral("text"), {QStringLiteral("' 6 '")}, true},                // text that is a number
        {QStringLiteral("numeric"), {QStringLiteral("6.4")}, true},               // rounded to a whole number
        {QStringLiteral("numeric"), {QStringLiteral("5.5")}, true},               // halves go to the even one
        {QStringLiteral("numeric"), {QStringLiteral("6.5")}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.type + u' ' + c.rows.join(u',')).toStdString());
        Versions(c.type, c.rows);
        app.messages().ClearShown();
        EXPECT_EQ(Check(), c.expected);
        EXPECT_TRUE(app.shownTexts().isEmpty()) << app.shownTexts().join(u'\n').toStdString();
    }
}

TEST_F(BackendChecksTest, AValueThatIsNotAVersionIsReportedAndFails)
{
    struct Case
    {
        QString type, value;
        const char *message;
    };
    const Case cases[] = {
        {QStringLiteral("integer"), QStringLiteral("NULL"), "Invalid use of Null"},
        {QStringLiteral("text"), QStringLiteral("'six'"), "Type mismatch"},
        {QStringLiteral("text"), QStringLiteral("''"), "Type mismatch"},
        {QStringLiteral("integer"), QStringLiteral("40000"), "Overflow"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        Versions(c.type, {c.value});
        app.messages().ClearShown();
        EXPECT_FALSE(Check());
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto &shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.text, QLatin1String(c.message));
        EXPECT_EQ(shown.icon, MsgIcon::None);
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        EXPECT_EQ(shown.title, app.session().ProgramTitle);
    }
}

TEST_F(BackendChecksTest, AConnectionThatFailsShowsTheDriversTextAlone)
{
    Versions(QStringLiteral("integer"), {QStringLiteral("6")});
    struct Case
    {
        QString dsn, password;
        const char *expected;
    };
    const Case cases[] = {
        {db->dsn(), QStringLiteral("wrong"), "password authentication failed"},
        {QStringLiteral("NoSuchDsn"), db->password(), "Data source name not found"},
        {QString(), db->password(), "Data source name not found"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dsn.toStdString());
        app.messages().ClearShown();
        EXPECT_FALSE(CheckBackendVersion(app.session(), c.dsn, db->user(), c.password));
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts().first().contains(QLatin1String(c.expected))) << app.shownTexts().first().toStdString();
        EXPECT_EQ(app.messages().ShownMessages().first().icon, MsgIcon::None);

        app.messages().ClearShown();
        EXPECT_EQ(getTNSName(app.session(), c.dsn, db->user(), c.password), QString());
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts().first().contains(QLatin1String(c.expected))) << app.shownTexts().first().toStdString();
    }
}

TEST_F(BackendChecksTest, TheServerNameIsTheDataSourcesServer)
{
    EXPECT_EQ(getTNSName(app.session(), db->dsn(), db->user(), db->password()), db->serverName());
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

TEST_F(BackendChecksTest, AMissingTableIsReported)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("DROP TABLE IF EXISTS tsparameters")));
    EXPECT_FALSE(Check());
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts().first().contains(QLatin1String("tsparameters"))) << app.shownTexts().first().toStdString();
}

} // namespace
