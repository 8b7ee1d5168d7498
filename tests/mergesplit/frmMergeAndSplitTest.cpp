#include "mergesplit/frmMergeAndSplit.h"

#include "support/PostgresFixture.h"
#include "support/StubPrograms.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
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
        stubs.Add(QStringLiteral("java"), QStringLiteral("echo ok > '%1/success.log'").arg(app.path()));
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
        auto dialog = std::make_unique<frmMergeAndSplit>(app.session(), entries, nullptr);
        dialog->show();
        return dialog;
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

    TestAppDir app;
    StubPrograms stubs{app.path()};
    std::unique_ptr<PgDatabase> fmk, rst;
};

TEST_F(PublisherDialogTest, OkCreatesRecordsJoinsAndWritesAutologin)
{
    MakeDatabases();
    auto dialog = Open({EntryOf(FieldmarkProduct, *fmk), EntryOf(WebtrellProduct, "NoSuchDsn"), EntryOf(RostrumProduct, *rst)});
    EXPECT_EQ(Field(dialog.get(), "txtMnSFileName")->text(), QStringLiteral("Default_M&S.tsy"));
    Submit(dialog.get(), {{"txt_ldapAdmin", "admin"}, {"txt_ldapPwd", "secret"}, {"txtMnSHost", "mnshost"},
                          {"txtPublisherBusComp", " PUB "}, {"txtpublisherBusPortNum", "4711"}});

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(app.shownTexts(), QStringList{QStringLiteral("Bus Component  PUB  created successfully!")});
    ASSERT_EQ(stubs.Runs(QStringLiteral("java")).size(), 1);
    EXPECT_EQ(stubs.Runs(QStringLiteral("java"))[0].arguments.value(1),
              QStringLiteral("admin;secret;3; PUB ;socket://mnshost:4711;0"));

    EXPECT_EQ(UpdatedInOrder(), UpdateOrder);
    // Each product's own rows get the trimmed name; the other product's rows stay as they were.
    const QString publishers = QStringLiteral("SELECT productid || ':' || count(*) FROM tsybcdetails "
                                              "WHERE publisherbc = 'PUB' GROUP BY productid");
    EXPECT_EQ(fmk->Rows(publishers), QStringList{QStringLiteral("4009:8")});
    EXPECT_EQ(rst->Rows(publishers), QStringList{QStringLiteral("1028:8")});

    EXPECT_EQ(app.readFile(QStringLiteral("lib/Default_M&S.tsy")), kJoint);
    EXPECT_TRUE(app.session().MnSFieldmarkConfig.isEmpty());
    EXPECT_TRUE(app.session().MnSRostrumConfig.isEmpty());
}

// Rostrum is not selected, so each of its updates fails; one Fieldmark update is refused.
TEST_F(PublisherDialogTest, EachFailedUpdateIsReportedAndTheRestStillRun)
{
    MakeDatabases();
    QString error;
    ASSERT_TRUE(fmk->Exec(QStringLiteral(
        "CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN "
        "IF NEW.tableid = 240 THEN RAISE EXCEPTION 'table 240 is locked'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql;"
        "CREATE TRIGGER refuse BEFORE UPDATE ON tsybcdetails FOR EACH ROW EXECUTE FUNCTION refuse();"), &error))
        << error.toStdString();
    auto dialog = Open({EntryOf(FieldmarkProduct, *fmk)});
    Submit(dialog.get(), {{"txtPublisherBusComp", "PUB"}, {"txtpublisherBusPortNum", "1"}, {"txtMnSFileName", "Joint"}});

    EXPECT_EQ(UpdatedInOrder(), QList<int>({230, 224, 220, 229, 234, 236, 235}));
    const QStringList shown = app.shownTexts();
    ASSERT_EQ(shown.size(), 10) << shown.join(u'\n').toStdString();
    for (int i = 1; i < shown.size(); ++i) {
        EXPECT_TRUE(shown[i].startsWith(QStringLiteral("Error occured while updating database.\r\n"))) << i;
        EXPECT_EQ(app.messages().ShownMessages()[i].icon, MsgIcon::None);
    }
    EXPECT_TRUE(shown[2].contains(QStringLiteral("table 240 is locked"))) << shown[2].toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    // The name is used as typed: no extension is added.
    EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint")), kJoint);
    EXPECT_FALSE(QFile::exists(app.lib(QStringLiteral("Joint.tsy"))));
}

TEST_F(PublisherDialogTest, ConnectionFailureEndsTheProgramWithoutShowing)
{
    QString error;
    ASSERT_TRUE(PostgresFixture::EnsureServer(&error)) << error.toStdString(); // private ODBC files only
    for (const auto &[product, name] : {std::pair{FieldmarkProduct, "Fieldmark"}, {RostrumProduct, "Rostrum"}}) {
        TestAppDir app;
        frmMergeAndSplit dialog(app.session(), {EntryOf(product, "NoSuchDsn", "u")}, nullptr);
        EXPECT_EQ(app.shownTexts(),
                  QStringList{QStringLiteral("Database connection failed for %1 DSN. Program will Exit!").arg(name)});
        EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::Critical);
        EXPECT_EQ(app.quitCount(), 1);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(PublisherDialogTest, ChecksStopBeforeAnythingRuns)
{
    struct Case { QString publisher, port, file; const char *message, *focus; };
    const Case cases[] = {
        {"   ", "1", "J.tsy", "Please enter valid data for Publish Bus Component", "txtPublisherBusComp"},
        {"P", "", "J.tsy", "Please enter valid data for Port Number", "txtpublisherBusPortNum"},
        {"P", "12a", "J.tsy", "Please enter valid data for Port Number", "txtpublisherBusPortNum"},
        {"P", "1", "  ", "Please enter valid data for Merge and Split File Name", "txtMnSFileName"},
        {"P", "1", "../J.tsy", nullptr, "txtMnSFileName"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.focus);
        app.messages().ClearShown();
        auto dialog = Open({});
        Submit(dialog.get(), {{"txtPublisherBusComp", c.publisher}, {"txtpublisherBusPortNum", c.port},
                              {"txtMnSFileName", c.file}});
        ASSERT_EQ(app.shownTexts().size(), 1);
        if (c.message) {
            EXPECT_EQ(app.shownTexts()[0], QLatin1String(c.message));
        }
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(dialog->focusWidget(), Field(dialog.get(), c.focus));
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }
    auto dialog = Open({});
    Click(dialog.get(), "BtnCancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(stubs.Runs(QStringLiteral("java")).isEmpty());
    EXPECT_EQ(app.session().MnSFieldmarkConfig, QStringLiteral("F.tsy"));
    EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), QStringList({"F.tsy", "R.tsy"}));
}

} // namespace
