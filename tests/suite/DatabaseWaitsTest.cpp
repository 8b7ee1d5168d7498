// Cancelling a database wait: the caller gets control back while the worker still waits on
// the server; nothing is shown, started or written after it; the worker's connection closes
// when the server lets it go.
#include "platform/Ansi.h"
#include "platform/Odbc.h"
#include "platform/Worker.h"
#include "suite/BackendChecks.h"
#include "suite/Launching.h"
#include "suite/MergeSplitLaunch.h"
#include "suite/PublisherConnections.h"
#include "suite/PublisherSetup.h"
#include "support/HungServer.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Every wait is cancelled as soon as its view shows.
class CancelEveryWait : public ::testing::Test
{
protected:
    // Its cancel never comes after it went.
    struct View final : Worker::WaitView
    {
        void Elapsed(int) override {}
        QObject context;
    };
    void SetUp() override
    {
        before = Worker::SetWaitView([](const QString &, std::function<void()> cancel) {
            auto view = std::make_unique<View>();
            QTimer::singleShot(0, &view->context, cancel);
            return std::unique_ptr<Worker::WaitView>(std::move(view));
        });
        stubs.Add(QStringLiteral("TessHost.exe"));
        stubs.Add(QStringLiteral("RunServer.bat"));
    }
    void TearDown() override { Worker::SetWaitView(before); }

    // Nothing was shown and no Java server started; the cancelled worker still runs.
    void ExpectStoppedQuietly()
    {
        EXPECT_TRUE(app.shownTexts().isEmpty()) << app.shownTexts().join(u'\n').toStdString();
        EXPECT_TRUE(stubs.Runs(QStringLiteral("RunServer.bat")).isEmpty());
        EXPECT_GE(Worker::Running(), 1);
    }

    Worker::WaitViewFactory before;
    TestAppDir app;
    StubPrograms stubs{app.path()};
};

TEST_F(CancelEveryWait, OnAServerThatNeverAnswersEachWaitStopsAndStartsNothing)
{
    HungServer hung(QStringLiteral("hung_server"));
    ASSERT_TRUE(hung.Listening()) << hung.error().toStdString();
    const QString dsn = hung.dsn();
    auto joint = [&](const char *fieldmarkPlatform) {
        const QString section = QStringLiteral("SatelliteAppln=%1\r\nldbp=%2\r\ndsn=") + dsn + QStringLiteral("\r\nuser=u\r\n");
        app.writeFile(QStringLiteral("lib/J.tsy"), Ansi::Encode(QStringLiteral("[FMK]\r\n") + section.arg("4009", fieldmarkPlatform)
                                                                + QStringLiteral("[RST]\r\n") + section.arg("1028", "1")));
        return app.lib(QStringLiteral("J.tsy"));
    };
    PublisherConnections connections;
    const std::pair<const char *, std::function<void()>> waits[] = {
        {"Test Connection", [&] { TestConnection(app.session().Messenger(), ConnectionForm::Launch, false, dsn, "u", "p"); }},
        {"the version check", [&] { RunJavaServer(app.suite(), {EntryOn(nullptr, FieldmarkProduct, dsn)}); }},
        {"the server name", [&] { RunJavaServer(app.suite(), {EntryOn(nullptr, RostrumProduct, dsn, 2)}); }},
        {"the joint file's server name", [&] { RunMergeAndSplit(app.suite(), joint("2")); }},
        {"the dispatchers' publishers", [&] { EXPECT_FALSE(ExecuteDispatcher(app.suite(), joint("1"))); }},
        {"the publisher dialog's login", [&] {
             EXPECT_FALSE(PublisherSetup::OpenConnections(app.session().Messenger(), connections,
                                                          {EntryOn(nullptr, FieldmarkProduct, dsn)}));
         }},
    };
    for (const auto &[name, wait] : waits) {
        SCOPED_TRACE(name);
        wait();
        ExpectStoppedQuietly();
    }
    EXPECT_FALSE(connections.Get(0));
    EXPECT_TRUE(QDir(app.path() + QStringLiteral("/OAComponents")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    // The logins left hanging hold up no other: the data sources are listed, a database that
    // answers passes its check.
    EXPECT_TRUE(Odbc::DataSources().contains(dsn));
    const PgDatabase *current = PostgresFixture::Ready(QStringLiteral("besidehung"), QStringLiteral("INSERT INTO tsparameters VALUES (6)"));
    ASSERT_TRUE(current);
    Worker::SetWaitView({});
    EXPECT_TRUE(CheckBackendVersion(app.session().Messenger(), current->dsn(), current->user(), current->password()));
    EXPECT_GE(Worker::Running(), int(std::size(waits)));
    // Refused by the server at last, every worker ends.
    hung.Close();
    EXPECT_TRUE(Worker::WaitForAll(30000));
}

// The database answers slowly (a query or an update takes seconds on the server).
TEST_F(CancelEveryWait, OnASlowDatabaseTheWorkersConnectionClosesLaterAndACancelledUpdateIsRolledBack)
{
    PgDatabase *db = PostgresFixture::Ready(
        QStringLiteral("slowwaits"),
        QStringLiteral("DROP TABLE IF EXISTS tsparameters; DELETE FROM tsybcdetails;"
                       "CREATE OR REPLACE FUNCTION slow6() RETURNS integer AS 'SELECT pg_sleep(3); SELECT 6' LANGUAGE sql;"
                       "CREATE VIEW tsparameters AS SELECT slow6() AS backendversion;"
                       "INSERT INTO tsybcdetails (tableid, productid) SELECT id, p FROM generate_series(200, 240) id, "
                       "(VALUES ('4009'), ('1028')) products(p);"
                       "CREATE OR REPLACE FUNCTION slowly() RETURNS trigger AS $$ BEGIN PERFORM pg_sleep(0.2); "
                       "RETURN NEW; END $$ LANGUAGE plpgsql;"
                       "CREATE OR REPLACE TRIGGER slowly BEFORE UPDATE ON tsybcdetails FOR EACH ROW EXECUTE FUNCTION slowly();"));
    ASSERT_TRUE(db);
    // The program's sessions on the database (psql's own left out).
    auto sessions = [db] {
        return db->Rows(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                                       "AND pid <> pg_backend_pid()"))
            .value(0);
    };
    EXPECT_FALSE(CheckBackendVersion(app.session().Messenger(), db->dsn(), db->user(), db->password()));
    ExpectStoppedQuietly();
    EXPECT_EQ(sessions(), QStringLiteral("1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sessions() == QStringLiteral("0"); }, 20000));

    // Connected at once; the updates take seconds and are cancelled on the way.
    PublisherConnections connections;
    Worker::WaitViewFactory cancelling = Worker::SetWaitView({});
    ASSERT_TRUE(PublisherSetup::OpenConnections(app.session().Messenger(), connections,
                                                {EntryOn(db, FieldmarkProduct, db->dsn()), EntryOn(db, RostrumProduct, db->dsn())}));
    Worker::SetWaitView(cancelling);
    EXPECT_FALSE(PublisherSetup::UpdatePublisher(app.session().Messenger(), connections, QStringLiteral("PUB")));
    ExpectStoppedQuietly();
    EXPECT_TRUE(Worker::WaitForAll(30000));
    EXPECT_EQ(db->Rows(QStringLiteral("SELECT count(*) FROM tsybcdetails WHERE publisherbc IS NOT NULL")),
              QStringList{QStringLiteral("0")});
}

} // namespace
