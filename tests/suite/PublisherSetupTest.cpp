#include "suite/PublisherSetup.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "suite/JointFile.h"
#include "suite/MergeSplitRun.h"
#include "suite/PublisherConnections.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A joint file is read key by key through the INI functions, which trim and unquote: a
// picked configuration is joined only when every value reads back exactly as it stands.
TEST(PublisherSetup, AJointFileIsWrittenOnlyWhenEveryValueReadsBackUnchanged)
{
    const QString refused[] = {
        ScramblePassword(QStringLiteral("®pw")),  // scrambled to a leading tab
        ScramblePassword(QStringLiteral("€pw€")), // scrambled to '…'
        ScramblePassword(QString(300, u'a')), QStringLiteral("\"quoted\""), QStringLiteral("u\x0b"),
    };
    RecordedMessages messages;
    for (const QString &value : refused)
        EXPECT_FALSE(JointFile::WhyValueChangesOnReading(messages, value).isEmpty()) << value.toStdString();

    // Values that do read back, and a user that does not.
    const std::pair<QString, QString> kept[] = {{"password", ScramblePassword(QStringLiteral("p;w{x}€"))},
                                                {"dbmachinename", QStringLiteral("a\"b'c")},
                                                {"lhbuscomponent", QString(254, u'c')}};
    QString fieldmark = QStringLiteral("SatelliteAppln=4009\r\nautologin=0\r\n");
    for (const auto &[key, value] : kept)
        fieldmark += key + u'=' + value + QStringLiteral("\r\n");
    TestAppDir app;
    app.writeFile(QStringLiteral("lib/F.tsy"), Ansi::Encode(fieldmark + QStringLiteral("user=u\x0b\r\n")));
    app.writeConfig(QStringLiteral("R.tsy"), {"SatelliteAppln=1028"});
    const MergeSplitPick pick{QStringLiteral("F.tsy"), QStringLiteral("R.tsy")};
    EXPECT_FALSE(PublisherSetup::CheckPickedConfigsReadBack(app.session().Messenger(), app.lib(), pick));
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains(QStringLiteral("\"user\" in \"F.tsy\""))) << app.shownTexts()[0].toStdString();

    app.writeFile(QStringLiteral("lib/F.tsy"), Ansi::Encode(fieldmark));
    ASSERT_TRUE(PublisherSetup::CheckPickedConfigsReadBack(app.session().Messenger(), app.lib(), pick)
                && PublisherSetup::WriteJointFile(app.session().Messenger(), app.path(), pick, QStringLiteral("J.tsy")))
        << app.shownTexts().join(u'\n').toStdString();
    // Joined with auto login on in both sections.
    const QString joint = app.lib(QStringLiteral("J.tsy"));
    for (const auto &[key, value] : kept)
        EXPECT_EQ(JointFile::GetAttributeValueFromTSY(joint, JointFile::FMK, key), value);
    for (const QString &section : {JointFile::FMK, JointFile::RST})
        EXPECT_EQ(JointFile::GetAttributeValueFromTSY(joint, section, QStringLiteral("autologin")), QStringLiteral("1"));
}

// Entries of products outside merge and split are passed over; an unreachable database is told
// with the driver's words, and the program goes on. (The dialog's tests show that a database
// left unconnected stops its OK.)
TEST(PublisherSetup, AnUnreachableDatabaseIsToldWithTheDriversWords)
{
    ASSERT_TRUE(PostgresFixture::EnsureServer()); // private ODBC files only
    for (const auto &[product, name] : {std::pair{FieldmarkProduct, "Fieldmark"}, {RostrumProduct, "Rostrum"}}) {
        TestAppDir app;
        PublisherConnections connections;
        EXPECT_FALSE(PublisherSetup::OpenConnections(app.session().Messenger(), connections,
                                                     {EntryOn(nullptr, WebtrellProduct, "NoSuchDsn"), EntryOn(nullptr, product, "NoSuchDsn")}));
        const auto shown = app.messages().ShownMessages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].text.contains(QLatin1String(name)) && shown[0].text.contains("Data source name not found"))
            << shown[0].text.toStdString();
        EXPECT_EQ(shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(app.quitCount(), 0);
    }
}

// Both suite databases hold a row for every table of both products and log each update with
// its time, so that the order of the updates over the two databases can be read back.
class PublisherUpdateTest : public ::testing::Test
{
protected:
    // The refuser (F or R) runs action (PL/pgSQL) instead of updating table; atCommit: when its
    // transaction commits (a deferred constraint trigger).
    void Prepare(char refuser, int table, const char *action, bool atCommit = false)
    {
        const QString sql = QStringLiteral(
            "DROP TRIGGER IF EXISTS refuse ON tsybcdetails; DROP TABLE IF EXISTS updlog; DELETE FROM tsybcdetails;"
            "INSERT INTO tsybcdetails (tableid, productid, bcname) SELECT id, p, 'bc' "
            "FROM generate_series(200, 240) id, (VALUES ('4009'), ('1028')) products(p);"
            "CREATE TABLE updlog (at timestamptz, tableid integer);"
            "CREATE OR REPLACE FUNCTION logupdate() RETURNS trigger AS $$ BEGIN "
            "INSERT INTO updlog VALUES (clock_timestamp(), NEW.tableid); RETURN NEW; END $$ LANGUAGE plpgsql;"
            "CREATE OR REPLACE TRIGGER logupdate AFTER UPDATE ON tsybcdetails FOR EACH ROW EXECUTE FUNCTION logupdate();");
        const QString refuse = QStringLiteral(
            "CREATE OR REPLACE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF NEW.tableid = %1 THEN %2; END IF; "
            "RETURN NEW; END $$ LANGUAGE plpgsql;"
            "CREATE %3 refuse %4 UPDATE ON tsybcdetails %5 FOR EACH ROW EXECUTE FUNCTION refuse();")
                                   .arg(table).arg(QLatin1String(action))
                                   .arg(atCommit ? "CONSTRAINT TRIGGER" : "TRIGGER", atCommit ? "AFTER" : "BEFORE",
                                        atCommit ? "DEFERRABLE INITIALLY DEFERRED" : "");
        fmk = PostgresFixture::Ready(QStringLiteral("pub_fmk"), sql + (refuser == 'F' ? refuse : QString()));
        rst = PostgresFixture::Ready(QStringLiteral("pub_rst"), sql + (refuser == 'R' ? refuse : QString()));
        ASSERT_TRUE(fmk && rst);
        ASSERT_TRUE(PublisherSetup::OpenConnections(app.session().Messenger(), connections,
                                                    {EntryOn(fmk, FieldmarkProduct, fmk->dsn()),
                                                     EntryOn(rst, RostrumProduct, rst->dsn())}));
    }
    bool Update() { return PublisherSetup::UpdatePublisher(app.session().Messenger(), connections, QStringLiteral("PUB")); }

    // The tables updated, in the order of the updates, each marked F or R for its database.
    QStringList UpdatedInOrder() const
    {
        QStringList log;
        for (const auto &[db, mark] : {std::pair{fmk, "F"}, {rst, "R"}})
            log += db->Rows(QStringLiteral("SELECT to_char(at, 'HH24MISSUS') || '|%1' || tableid FROM updlog").arg(mark));
        std::sort(log.begin(), log.end());
        for (QString &row : log)
            row = row.section(u'|', -1);
        return log;
    }

    TestAppDir app;
    PublisherConnections connections;
    PgDatabase *fmk = nullptr, *rst = nullptr;
};

// A failed update rolls both databases back and is told once with the driver's text; pressed
// again after a failure, the update runs whole and once, every table in turn, one of each product.
TEST_F(PublisherUpdateTest, AFailedUpdateRollsBothDatabasesBackAndTheNextRunsWhole)
{
    struct Case { char refuser; int table; const char *action, *told; };
    const Case cases[] = {
        {'F', 240, "RAISE EXCEPTION 'table 240 is locked'", "table 240 is locked"}, // Fieldmark's second table
        {'R', 209, "PERFORM pg_terminate_backend(pg_backend_pid())", "terminat"},   // the connection drops
        {'R', 211, "RAISE EXCEPTION 'table 211 is locked'", "table 211 is locked"}, // Rostrum's last
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.told);
        Prepare(c.refuser, c.table, c.action);
        app.messages().ClearShown();
        EXPECT_FALSE(Update());
        ASSERT_EQ(app.shownTexts().size(), 1);
        EXPECT_TRUE(app.shownTexts()[0].contains(QLatin1String(c.told), Qt::CaseInsensitive)) << app.shownTexts()[0].toStdString();
        // The update log is written inside each transaction: empty, both were rolled back.
        EXPECT_TRUE(UpdatedInOrder().isEmpty());
    }

    ASSERT_TRUE(rst->Exec(QStringLiteral("DROP TRIGGER refuse ON tsybcdetails")));
    ASSERT_TRUE(Update());
    EXPECT_EQ(UpdatedInOrder(), QStringLiteral("F230 R203 F240 R216 F224 R204 F220 R209 F229 R205 F234 R208 F236 R210 "
                                               "F235 R211").split(u' '));
}

} // namespace

namespace {

// A Rostrum commit refused as it ends (a deferred constraint) after Fieldmark's went through:
// the journal keeps the step reached and no joint file is written; run again, the work ends as
// a whole run does, the journal gone and the joint file written once with auto login.
TEST_F(PublisherUpdateTest, ACommitRefusedOnTheSecondDatabaseIsJournalledAndARunAgainEndsWhole)
{
    using MergeSplitJournal::Step;
    Prepare('R', 209, "RAISE EXCEPTION 'refused at commit'", true);
    app.writeConfig("f.tsy", {"SatelliteAppln=4009", "dsn=F"});
    app.writeConfig("r.tsy", {"SatelliteAppln=1028", "dsn=R"});
    MergeSplitJournal::Entry entry;
    entry.jointFile = "J.tsy";
    entry.pick = {"f.tsy", "r.tsy"};
    const QString journal = MergeSplitJournal::PathFor(app.path(), entry.jointFile);
    auto run = [&] {
        MergeSplitRun work(app.path(), entry);
        EXPECT_TRUE(work.Begin());
        const bool done = work.Reached(Step::DirectoryTool)
                          && PublisherSetup::UpdatePublisher(app.session().Messenger(), connections, "PUB",
                                                             [&](int which) { work.Committed(which); })
                          && PublisherSetup::WriteJointFile(app.session().Messenger(), app.path(), entry.pick, "J.tsy");
        work.End(done);
        return done;
    };
    EXPECT_FALSE(run());
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_TRUE(app.shownTexts()[0].contains("The Fieldmark database was updated, the Rostrum database was not"));
    EXPECT_EQ(UpdatedInOrder().filter(QRegularExpression("^R")).size(), 0);
    const std::optional<MergeSplitJournal::Entry> left = MergeSplitJournal::FromBytes(app.readFile("log/merge-and-split.J.tsy.journal"));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->reached, Step::FieldmarkCommitted);
    EXPECT_FALSE(QFile::exists(app.lib("J.tsy")));

    ASSERT_TRUE(rst->Exec(QStringLiteral("DROP TRIGGER refuse ON tsybcdetails")));
    EXPECT_TRUE(run());
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(UpdatedInOrder().filter(QRegularExpression("^R")).size(), 8);
    for (const QString &section : {JointFile::FMK, JointFile::RST})
        EXPECT_EQ(JointFile::GetAttributeValueFromTSY(app.lib("J.tsy"), section, "autologin"), "1");
}

} // namespace
