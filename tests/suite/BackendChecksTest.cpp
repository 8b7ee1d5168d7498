#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"
#include "suite/BackendChecks.h"

#include <gtest/gtest.h>

namespace {

// The suite database with the check's table in the form given, with the given rows (SQL
// values, e.g. "6", "NULL"); no column type: no table at all.
PgDatabase *Versions(const QString &columnType, const QStringList &values)
{
    QString sql = QStringLiteral("DROP TABLE IF EXISTS tsparameters;");
    if (!columnType.isEmpty())
        sql += QStringLiteral("CREATE TABLE tsparameters (backendversion %1);").arg(columnType);
    for (const QString &v : values)
        sql += QStringLiteral("INSERT INTO tsparameters VALUES (%1);").arg(v);
    return PostgresFixture::Ready(QStringLiteral("checks"), sql);
}

TEST(BackendChecks, OnlyVersionSixPassesOtherVersionsAreSilentAndNonVersionsReported)
{
    TestAppDir app;
    // message: nullptr when nothing may be shown.
    struct Case { const char *type; QStringList rows; bool expected; const char *message; };
    const Case cases[] = {
        {"integer", {"6"}, true, nullptr},
        {"integer", {"5"}, false, nullptr},
        {"integer", {}, false, nullptr},         // no row: version 0
        {"integer", {"7", "6"}, false, nullptr}, // the first row counts, and above 6 fails too
        {"text", {"' 6 '"}, true, nullptr},      // text that is a number
        {"numeric", {"6.4"}, true, nullptr},     // rounded to a whole number
        // Said as the value and what was wanted, not as a conversion's error name.
        {"integer", {"NULL"}, false, "version (backendversion of tsparameters) is empty"},
        {"text", {"'six'"}, false, "version (backendversion of tsparameters): \"six\" is not a number"},
        {"integer", {"40000"}, false, "\"40000\" is outside the whole numbers from -32768 to 32767"},
        {"", {}, false, "tsparameters"},         // the driver's text names the missing table
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type + (' ' + c.rows.join(u',').toStdString()));
        const PgDatabase *db = Versions(QLatin1String(c.type), c.rows);
        ASSERT_TRUE(db);
        app.messages().ClearShown();
        EXPECT_EQ(CheckBackendVersion(app.session().Messenger(), db->dsn(), db->user(), db->password()), c.expected);
        ASSERT_EQ(app.shownTexts().size(), c.message ? 1 : 0) << app.shownTexts().join(u'\n').toStdString();
        if (!c.message)
            continue;
        const auto &shown = app.messages().ShownMessages().first();
        EXPECT_TRUE(shown.text.contains(QLatin1String(c.message))) << shown.text.toStdString();
        EXPECT_EQ(shown.icon, MsgIcon::None);
        EXPECT_EQ(shown.title, app.session().ProgramTitle());
    }
}

TEST(BackendChecks, DescribeConnectionNamesServerAndVersionOrGivesTheDriversText)
{
    TestAppDir app;
    const PgDatabase *db = Versions({}, {});
    ASSERT_TRUE(db);
    using Form = ConnectionForm;
    // version: the table's one row; nullptr: no table at all.
    struct Case { Form form; bool second; QString dsn, password; const char *version; bool usable; QStringList says; };
    const QString server = QStringLiteral("Connected to server \"%1\"").arg(db->serverName());
    const QString dsn = db->dsn(), password = db->password();
    const Case cases[] = {
        {Form::Launch, false, dsn, password, "6", true, {server, "back-end version 6."}},
        {Form::Launch, false, dsn, password, "5", false, {server, "back-end version 5.", "only on back-end version 6"}},
        {Form::ConnectionString, false, dsn, password, nullptr, false, {server, "could not be read", "tsparameters"}},
        {Form::Launch, false, dsn, QStringLiteral("wrong"), "6", false, {"password authentication failed"}},
        {Form::ConnectionString, false, QStringLiteral("No; such"), password, "6", false, {"\"No; such\"", "Data source name not found"}},
        // The second platform's version check goes to the server name as data source, which
        // this machine does not define.
        {Form::Launch, true, dsn, password, "6", false, {QStringLiteral("\"%1\"").arg(db->serverName()), "Data source name not found"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says.join(u' ').toStdString());
        ASSERT_TRUE(Versions(c.version ? "integer" : "", c.version ? QStringList{c.version} : QStringList()));
        const Result<QString> described = DescribeConnection(c.form, c.second, c.dsn, db->user(), c.password);
        EXPECT_EQ(described.ok(), c.usable);
        const QString report = described ? described.value() : described.error().description;
        for (const QString &part : c.says)
            EXPECT_TRUE(report.contains(part)) << report.toStdString();
    }
    EXPECT_TRUE(app.shownTexts().isEmpty());
}

} // namespace
