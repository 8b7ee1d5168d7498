#include "ui/mergesplit/frmMergeAndSplit.h"

#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <tuple>
#include <gtest/gtest.h>

namespace {

// The joint file made from the two configuration files, auto login on in both sections.
const QByteArray kJoint = "[FMK]\r\nSatelliteAppln=4009\r\ndsn=F\r\nautologin=1\r\nbatchsize=100\r\n\r\n"
                          "[RST]\r\nSatelliteAppln=1028\r\ndsn=R\r\nautologin=1\r\n";
const QList<int> UpdateOrder = {230, 203, 240, 216, 224, 204, 220, 209, 229, 205, 234, 208, 236, 210, 235, 211};

ConfigEntry EntryOf(qint16 product, const QString &dsn, const QString &user = {}, const QString &password = {})
{
    ConfigEntry entry;
    entry.ProductCode = product;
    std::tie(entry.Dsn, entry.User, entry.Password) = std::tie(dsn, user, password);
    return entry;
}
ConfigEntry EntryOf(qint16 product, const PgDatabase &db) { return EntryOf(product, db.dsn(), db.user(), db.password()); }

class PublisherDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.writeConfig(QStringLiteral("F.tsy"), {"SatelliteAppln=4009", "dsn=F", "autologin=0", "batchsize=100"});
        app.writeConfig(QStringLiteral("R.tsy"), {"SatelliteAppln=1028", "dsn=R"});
        app.session().MnSFieldmarkConfig = QStringLiteral("F.tsy");
        app.session().MnSRostrumConfig = QStringLiteral("R.tsy");
        // Written where the tool runs: it must run in the application directory.
        stubs.Add(QStringLiteral("java"), QStringLiteral("echo ok > success.log"));
    }

    // Both suite databases hold a row for every table id of both products, and log the time
    // of every row update so that the order across the two databases can be read back.
    void MakeDatabases()
    {
        QString rows, error;
        for (int id : UpdateOrder)
            rows += QStringLiteral("(%1, '4009', 'bc%1'), (%1, '1028', 'bc%1'), ").arg(id);
        for (auto *db : {&fmk, &rst}) {
            *db = PostgresFixture::CreateDatabase(db == &fmk ? QStringLiteral("mns_fmk") : QStringLiteral("mns_rst"), &error);
            ASSERT_TRUE(*db) << error.toStdString();
            ASSERT_TRUE((*db)->Exec(QStringLiteral(
                "INSERT INTO tsybcdetails (tableid, productid, bcname) VALUES %1 (999, '4009', 'bc999');"
                "CREATE TABLE updlog (at timestamptz, tableid integer);"
                "CREATE FUNCTION logupdate() RETURNS trigger AS $$ BEGIN "
                "INSERT INTO updlog VALUES (clock_timestamp(), NEW.tableid); RETURN NEW; END $$ LANGUAGE plpgsql;"
                "CREATE TRIGGER logupdate AFTER UPDATE ON tsybcdetails FOR EACH ROW EXECUTE FUNCTION logupdate();")
                                        .arg(rows), &error)) << error.toStdString();
        }
    }

    std::unique_ptr<frmMergeAndSplit> Open(const QList<ConfigEntry> &entries)
    {
        auto dialog = std::make_unique<frmMergeAndSplit>(app.session(), nullptr);
        EXPECT_TRUE(dialog->Load(entries)) << app.shownTexts().join(u'\n').toStdString();
        dialog->show();
        return dialog;
    }
    std::unique_ptr<frmMergeAndSplit> OpenBoth()
    {
        return Open({EntryOf(FieldmarkProduct, *fmk), EntryOf(RostrumProduct, *rst)});
    }
    static QLineEdit *Field(QDialog *d, const char *name) { return d->findChild<QLineEdit *>(QLatin1String(name)); }
    static void Click(QDialog *d, const char *name) { QTest::mouseClick(d->findChild<QPushButton *>(name), Qt::LeftButton); }
    // Types into the fields (object name, text) and presses OK.
    static void Submit(QDialog *d, std::initializer_list<std::pair<const char *, QString>> fields)
    {
        for (const auto &[name, text] : fields) {
            Field(d, name)->clear();
            QTest::keyClicks(Field(d, name), text);
        }
        Click(d, "cmdPublisherOK");
    }
    static void SubmitValid(QDialog *d, const QString &publisher = QStringLiteral("PUB"))
    {
        Submit(d, {{"txtPublisherBusComp", publisher}, {"txtpublisherBusPortNum", "4711"}});
    }
    // The table ids updated, in the order of the updates, over both databases.
    QList<int> UpdatedInOrder()
    {
        const QString sql = QStringLiteral("SELECT to_char(at, 'HH24MISSUS') || '|' || tableid FROM updlog");
        QStringList log = fmk->Rows(sql) + rst->Rows(sql);
        std::sort(log.begin(), log.end());
        QList<int> ids;
        for (const QString &row : log)
            ids << row.section(u'|', -1).toInt();
        return ids;
    }
    // Nothing was changed: no database row, no joint file, the picked names kept.
    void ExpectNothingWritten(QDialog *dialog)
    {
        if (fmk) {
            EXPECT_TRUE(UpdatedInOrder().isEmpty());
        }
        EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), QStringList({"F.tsy", "R.tsy"}));
        EXPECT_EQ(app.session().MnSFieldmarkConfig, QStringLiteral("F.tsy"));
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }
    // The one message shown contains text.
    void ExpectToldOnce(const QString &text)
    {
        ASSERT_EQ(app.shownTexts().size(), 1) << app.shownTexts().join(u'\n').toStdString();
        EXPECT_TRUE(app.shownTexts()[0].contains(text)) << app.shownTexts()[0].toStdString();
    }

    TestAppDir app;
    StubPrograms stubs{app.path()};
    std::unique_ptr<PgDatabase> fmk, rst;
};

// A name the databases cannot hold and a joint file the user keeps stop the OK; then the
// publisher goes into every table in turn and the files are joined.
TEST_F(PublisherDialogTest, OkNamesThePublisherInEveryTableInTurnAndJoinsTheFiles)
{
    MakeDatabases();
    ASSERT_TRUE(rst->Exec(QStringLiteral("ALTER TABLE tsybcdetails ALTER publisherbc TYPE varchar(10)")));
    auto dialog = Open({EntryOf(FieldmarkProduct, *fmk), EntryOf(WebtrellProduct, "NoSuchDsn"), EntryOf(RostrumProduct, *rst)});
    EXPECT_EQ(Field(dialog.get(), "txtMnSFileName")->text(), QStringLiteral("Default_M&S.tsy"));
    SubmitValid(dialog.get(), QStringLiteral("ABCDEFGHIJK"));
    ExpectToldOnce(QStringLiteral("Bus Component Name is 11 characters long; the databases hold at most 10"));
    EXPECT_EQ(dialog->focusWidget(), Field(dialog.get(), "txtPublisherBusComp"));
    ExpectNothingWritten(dialog.get());

    // Typed without the extension: the file gets it, so the list shows it.
    app.writeFile(QStringLiteral("lib/Joint.tsy"), "old");
    app.messages().ClearShown();
    Submit(dialog.get(), {{"txtPublisherBusComp", " ABCDEFGHIJ "}, {"txtMnSFileName", "Joint"}});
    ExpectToldOnce(QStringLiteral("\"Joint.tsy\""));
    EXPECT_EQ(app.messages().ShownMessages()[0].buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(app.messages().ShownMessages()[0].asker, dialog.get());
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), "old");
    EXPECT_TRUE(stubs.Runs(QStringLiteral("java")).isEmpty());
    EXPECT_TRUE(UpdatedInOrder().isEmpty());
    EXPECT_EQ(dialog->focusWidget(), Field(dialog.get(), "txtMnSFileName"));

    app.messages().ClearShown();
    app.messages().SetNextAnswers({MsgResult::Yes});
    Click(dialog.get(), "cmdPublisherOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(app.shownTexts().value(1), QStringLiteral("Bus Component  ABCDEFGHIJ  created successfully!"));
    EXPECT_EQ(UpdatedInOrder(), UpdateOrder);
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), kJoint);
}

TEST_F(PublisherDialogTest, ADatabaseThatCannotBeReachedFailsTheLoadButTheProgramGoesOn)
{
    QString error;
    ASSERT_TRUE(PostgresFixture::EnsureServer(&error)) << error.toStdString(); // private ODBC files only
    for (const auto &[product, name] : {std::pair{FieldmarkProduct, "Fieldmark"}, {RostrumProduct, "Rostrum"}}) {
        app.messages().ClearShown();
        frmMergeAndSplit dialog(app.session(), nullptr);
        EXPECT_FALSE(dialog.Load({EntryOf(product, "NoSuchDsn", "u")}));
        // The program's words, then the driver's.
        ExpectToldOnce(QStringLiteral("Data source name not found"));
        EXPECT_TRUE(app.shownTexts()[0].startsWith(QStringLiteral("Database connection failed for %1 DSN.\r\n").arg(name)));
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(app.quitCount(), 0);
    }
}

TEST_F(PublisherDialogTest, ChecksStopBeforeAnythingRuns)
{
    // No database behind the dialog: the last check finds it.
    struct Case { QString publisher, port, file; const char *message, *focus; };
    const Case cases[] = {
        {"   ", "1", "J.tsy", "Please enter valid data for Publish Bus Component", "txtPublisherBusComp"},
        {"P", "", "J.tsy", "Please enter valid data for Port Number", "txtpublisherBusPortNum"},
        {"P", "12a", "J.tsy", "Please enter valid data for Port Number", "txtpublisherBusPortNum"},
        {"P", "1", "  ", "Please enter valid data for Merge and Split File Name", "txtMnSFileName"},
        {"P", "1", "../J.tsy", "Merge and Split File Name", "txtMnSFileName"},
        {"P", "0", "J.tsy", "Port Number: a whole number from 1 to 65535", "txtpublisherBusPortNum"},
        {"P", "65536", "J.tsy", "Port Number: a whole number from 1 to 65535", "txtpublisherBusPortNum"},
        {"P", "80.5", "J.tsy", "Port Number: a whole number from 1 to 65535", "txtpublisherBusPortNum"},
        {"P/Q", "1", "J.tsy", "Bus Component Name \"P/Q\"", "txtPublisherBusComp"},
        {"P;Q", "1", "J.tsy", "Bus Component Name \"P;Q\"", "txtPublisherBusComp"},
        {"P\\Q", "1", "J.tsy", "Bus Component Name \"P\\Q\"", "txtPublisherBusComp"},
        {"P", "1", "J.tsy", "Fieldmark database is not connected", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        app.messages().ClearShown();
        auto dialog = Open({});
        Submit(dialog.get(), {{"txtPublisherBusComp", c.publisher}, {"txtpublisherBusPortNum", c.port},
                              {"txtMnSFileName", c.file}});
        ExpectToldOnce(QLatin1String(c.message));
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Critical);
        if (c.focus) {
            EXPECT_EQ(dialog->focusWidget(), Field(dialog.get(), c.focus));
        }
        ExpectNothingWritten(dialog.get());
    }
    EXPECT_TRUE(stubs.Runs(QStringLiteral("java")).isEmpty());
}

// Nothing is written into the databases or the file unless the directory tool made the component.
TEST_F(PublisherDialogTest, ADirectoryToolThatFailsOrIsCancelledStopsEverything)
{
    MakeDatabases();
    struct Case { const char *name, *tool, *message; };
    const Case cases[] = {
        {"no tool", nullptr, "was not found"},
        {"tool reports failure", "echo refused > faliure.log", "Encountered Errors!\r\nrefused"},
        {"cancelled", "sleep 30; echo ok > success.log", "cancelled"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        app.messages().ClearShown();
        QFile::remove(app.path() + QStringLiteral("/java"));
        if (c.tool)
            stubs.Add(QStringLiteral("java"), QLatin1String(c.tool));
        const QByteArray path = qgetenv("PATH");
        if (!c.tool)
            qputenv("PATH", "/nonexistent"); // no java on the search path either
        auto dialog = OpenBoth();
        auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
        QString seen;
        bool okEnabled = true;
        // While the tool runs the status line counts the seconds and only Cancel answers.
        QTimer::singleShot(1500, dialog.get(), [&] {
            seen = status->isVisible() ? status->text() : QStringLiteral("(hidden)");
            okEnabled = dialog->findChild<QPushButton *>(QStringLiteral("cmdPublisherOK"))->isEnabled();
            Click(dialog.get(), "BtnCancel");
        });
        QElapsedTimer clock;
        clock.start();
        SubmitValid(dialog.get());
        qputenv("PATH", path);
        EXPECT_LT(clock.elapsed(), 10000);
        ExpectToldOnce(QLatin1String(c.message));
        ExpectNothingWritten(dialog.get());
        if (QLatin1String(c.name) == QLatin1String("cancelled")) {
            EXPECT_TRUE(seen.startsWith(QLatin1String("Waiting 1 s for the directory tool"))) << seen.toStdString();
            EXPECT_FALSE(okEnabled);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_FALSE(status->isVisible());
        }
    }
}

// A failed update rolls both databases back, is told once with the driver's text, and
// nothing after it runs.
TEST_F(PublisherDialogTest, AFailedUpdateRollsBothDatabasesBack)
{
    struct Case { const char *name; bool inRostrum; int table; const char *action, *told; };
    const Case cases[] = {
        {"Fieldmark refuses its second table", false, 240, "RAISE EXCEPTION 'table 240 is locked'", "table 240 is locked"},
        {"Rostrum refuses the last table", true, 211, "RAISE EXCEPTION 'table 211 is locked'", "table 211 is locked"},
        {"Rostrum drops the connection", true, 209, "PERFORM pg_terminate_backend(pg_backend_pid())", "terminat"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MakeDatabases();
        app.messages().ClearShown();
        QString error;
        ASSERT_TRUE((c.inRostrum ? rst : fmk)
                        ->Exec(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF NEW.tableid = %1 "
                                              "THEN %2; END IF; RETURN NEW; END $$ LANGUAGE plpgsql;"
                                              "CREATE TRIGGER refuse BEFORE UPDATE ON tsybcdetails FOR EACH ROW "
                                              "EXECUTE FUNCTION refuse();")
                                   .arg(c.table)
                                   .arg(QLatin1String(c.action)),
                               &error))
            << error.toStdString();
        auto dialog = OpenBoth();
        SubmitValid(dialog.get());
        const QStringList shown = app.shownTexts();
        ASSERT_EQ(shown.size(), 2) << shown.join(u'\n').toStdString();
        EXPECT_TRUE(shown[1].contains(QLatin1String(c.told), Qt::CaseInsensitive)) << shown[1].toStdString();
        // The update log is written inside each transaction: empty, both were rolled back.
        ExpectNothingWritten(dialog.get());
    }
}

} // namespace
