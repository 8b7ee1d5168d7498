// The publisher dialog's own checks and its wiring; what it calls is tested in tests/suite.
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
#include <gtest/gtest.h>

namespace {

class PublisherDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.writeConfig(QStringLiteral("F.tsy"), {"SatelliteAppln=4009", "dsn=F"});
        app.writeConfig(QStringLiteral("R.tsy"), {"SatelliteAppln=1028", "dsn=R"});
        app.writeFile(QStringLiteral("lib/Joint.tsy"), "old");
        // Written where the tool runs, its own working folder.
        stubs.Add(QStringLiteral("java"), QStringLiteral("echo ok > success.log"));
    }

    // The dialog on both suite databases, each with a row for every table of both products.
    void OpenOnDatabases()
    {
        const QString sql = QStringLiteral("DELETE FROM tsybcdetails; INSERT INTO tsybcdetails (tableid, productid, bcname) "
                                           "SELECT id, p, 'bc' FROM generate_series(200, 240) id, "
                                           "(VALUES ('4009'), ('1028')) products(p);");
        fmk = PostgresFixture::Ready(QStringLiteral("dlg_fmk"), sql);
        rst = PostgresFixture::Ready(QStringLiteral("dlg_rst"), sql + "ALTER TABLE tsybcdetails ALTER publisherbc TYPE varchar(10)");
        ASSERT_TRUE(fmk && rst);
        Open({Entry(FieldmarkProduct, fmk), Entry(RostrumProduct, rst)});
    }
    static ConfigEntry Entry(qint16 product, const PgDatabase *db)
    {
        return {.FileName = {}, .ProductCode = product, .Dsn = db->dsn(), .User = db->user(), .Password = db->password(),
                .Platform = 0, .DbMachineName = {}};
    }
    void Open(const QList<ConfigEntry> &entries)
    {
        const MergeSplitPick pick{QStringLiteral("F.tsy"), QStringLiteral("R.tsy")};
        dialog = std::make_unique<frmMergeAndSplit>(app.session(), pick, nullptr);
        ASSERT_TRUE(dialog->Load(entries)) << app.shownTexts().join(u'\n').toStdString();
        dialog->show();
    }

    QLineEdit *Field(const char *name) const { return dialog->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *Button(const char *name) const { return dialog->findChild<QPushButton *>(QLatin1String(name)); }
    // Types into the fields (object name, text) and presses OK.
    void Submit(std::initializer_list<std::pair<const char *, QString>> fields)
    {
        app.messages().ClearShown();
        for (const auto &[name, text] : fields) {
            Field(name)->clear();
            QTest::keyClicks(Field(name), text);
        }
        QTest::mouseClick(Button("cmdPublisherOK"), Qt::LeftButton);
    }
    // The publishers named in the databases.
    QStringList Published() const
    {
        const QString sql = QStringLiteral("SELECT DISTINCT publisherbc FROM tsybcdetails WHERE publisherbc IS NOT NULL");
        return fmk->Rows(sql) + rst->Rows(sql);
    }
    // The one message shown contains text; nothing was run or written, the picks are kept.
    void ExpectRefusedWith(const QString &text)
    {
        ASSERT_EQ(app.shownTexts().size(), 1) << app.shownTexts().join(u'\n').toStdString();
        EXPECT_TRUE(app.shownTexts()[0].contains(text)) << app.shownTexts()[0].toStdString();
        EXPECT_TRUE(stubs.Runs(QStringLiteral("java")).isEmpty());
        EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files).size(), 3);
        EXPECT_EQ(app.readFile(QStringLiteral("lib/Joint.tsy")), "old");
        EXPECT_NE(dialog->result(), QDialog::Accepted);
        if (fmk) {
            EXPECT_TRUE(Published().isEmpty());
        }
    }

    TestAppDir app;
    StubPrograms stubs{app.path()};
    PgDatabase *fmk = nullptr, *rst = nullptr;
    std::unique_ptr<frmMergeAndSplit> dialog;
};

// Each check of the OK is told once, critical, over the dialog, with the focus on the field it
// names; nothing runs or is written and the picks are kept. A joint file the user keeps stops
// it too; then the trimmed publisher goes into the databases and the files are joined.
TEST_F(PublisherDialogTest, ChecksStopTheOkBeforeAnythingRunsThenItNamesThePublisherAndJoinsTheFiles)
{
    OpenOnDatabases();
    struct Case { QString publisher, port, file; const char *message, *focus; };
    const Case cases[] = {
        {"   ", "1", "J.tsy", "valid data for Publish Bus Component", "txtPublisherBusComp"},
        {"P", "", "J.tsy", "valid data for Port Number", "txtpublisherBusPortNum"},
        {"P", "1", "  ", "valid data for Merge and Split File Name", "txtMnSFileName"},
        {"P", "1", "../J.tsy", "Merge and Split File Name", "txtMnSFileName"},
        {"P", "0", "J.tsy", "from 1 to 65535", "txtpublisherBusPortNum"},
        {"P", "65536", "J.tsy", "from 1 to 65535", "txtpublisherBusPortNum"},
        {"P", "80.5", "J.tsy", "from 1 to 65535", "txtpublisherBusPortNum"},
        // What a bus component name may hold is tested with the launch, which reads the names back.
        {"P;Q", "1", "J.tsy", "\"P;Q\"", "txtPublisherBusComp"},
        // The Rostrum database holds publisher names of at most 10 characters.
        {"ABCDEFGHIJK", "4711", "J.tsy", "is 11 characters long; the databases hold at most 10", "txtPublisherBusComp"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        Submit({{"txtPublisherBusComp", c.publisher}, {"txtpublisherBusPortNum", c.port}, {"txtMnSFileName", c.file}});
        ExpectRefusedWith(QLatin1String(c.message));
        EXPECT_EQ(app.messages().ShownMessages().value(0).icon, MsgIcon::Critical);
        EXPECT_EQ(dialog->focusWidget(), Field(c.focus));
        EXPECT_EQ(app.messages().ShownMessages().value(0).asker, dialog.get());
    }

    // Typed without the extension: the file gets it, so the list shows it.
    Submit({{"txtPublisherBusComp", " ABCDEFGHIJ "}, {"txtMnSFileName", "Joint"}});
    ExpectRefusedWith(QStringLiteral("\"Joint.tsy\""));
    EXPECT_EQ(app.messages().ShownMessages().value(0).buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(dialog->focusWidget(), Field("txtMnSFileName"));
    EXPECT_EQ(app.messages().ShownMessages().value(0).asker, dialog.get());

    app.messages().SetNextAnswers({MsgResult::Yes});
    // No "waiting" line behind the tool's outcome.
    QStringList behind;
    app.messages().SetOnShow([&](const QString &) {
        auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
        behind << (status->isVisible() ? status->text() : QString());
    });
    Submit({});
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(app.shownTexts().value(1), QStringLiteral("Bus Component  ABCDEFGHIJ  created successfully!"));
    EXPECT_FALSE(behind.join(u'|').contains(QLatin1String("Waiting"))) << behind.join(u'|').toStdString();
    EXPECT_EQ(Published(), QStringList({"ABCDEFGHIJ", "ABCDEFGHIJ"}));
    EXPECT_TRUE(app.readFile(QStringLiteral("lib/Joint.tsy")).startsWith("[FMK]"));
}

TEST_F(PublisherDialogTest, NoDatabaseConnectedStopsTheOk)
{
    Open({});
    Submit({{"txtPublisherBusComp", "P"}, {"txtpublisherBusPortNum", "1"}});
    ExpectRefusedWith(QStringLiteral("Fieldmark database is not connected"));
}

// While the directory tool runs the status line counts the seconds and only Cancel answers;
// cancelled, nothing is written into the databases or the file.
TEST_F(PublisherDialogTest, CancelWhileTheDirectoryToolRunsStopsEverything)
{
    stubs.Add(QStringLiteral("java"), QStringLiteral("sleep 30; echo ok > success.log"));
    OpenOnDatabases();
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
    QString seen;
    bool okEnabled = true;
    QTimer::singleShot(1500, dialog.get(), [&] {
        seen = status->isVisible() ? status->text() : QStringLiteral("(hidden)");
        okEnabled = Button("cmdPublisherOK")->isEnabled();
        QTest::mouseClick(Button("BtnCancel"), Qt::LeftButton);
    });
    QElapsedTimer clock;
    clock.start();
    Submit({{"txtPublisherBusComp", "PUB"}, {"txtpublisherBusPortNum", "4711"}});
    EXPECT_LT(clock.elapsed(), 10000); // the tool was ended, not waited for
    EXPECT_TRUE(seen.startsWith(QLatin1String("Waiting 1 s for the directory tool"))) << seen.toStdString();
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(status->isVisible());
    ExpectRefusedWith(QStringLiteral("cancelled"));
}

} // namespace
