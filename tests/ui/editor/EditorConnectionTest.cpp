// The editor's fields that reach the database: the data source list and Test Connection.
#include "EditorFixture.h"
#include "platform/Worker.h"
#include "support/HungServer.h"
#include "support/PostgresFixture.h"
#include "ui/WaitDialog.h"

#include <QAbstractItemView>
#include <QCompleter>

namespace {

// The entries the DSN field's list shows now.
QStringList Shown(QLineEdit *dsn)
{
    QStringList names;
    for (int row = 0; dsn->completer()->popup()->isVisible() && row < dsn->completer()->completionModel()->rowCount(); ++row)
        names << dsn->completer()->completionModel()->index(row, 0).data().toString();
    return names;
}

// What the connection's description says is the back-end checks' concern; the editor passes
// the form's values, as Save writes them, and shows it.
TEST_F(EditorTest, TheDsnFieldOffersTheDataSourcesAndTestConnectionTakesTheFormsValues)
{
    PgDatabase *db = PostgresFixture::Ready(QStringLiteral("editorconn"),
                                            QStringLiteral("DELETE FROM tsparameters; INSERT INTO tsparameters VALUES (6);"));
    ASSERT_TRUE(db && db->AddDsn(QStringLiteral("Rostrum Plan")));
    OpenNew();
    QLineEdit *dsn = Box("txtdsn");
    ASSERT_NE(dsn->completer(), nullptr);
    // Tabbing into the field shows nothing; a click shows every source.
    dsn->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(Shown(dsn).isEmpty());
    Box("txtdatabase")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(dsn, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown(dsn).contains(db->dsn()); }));
    // Typing narrows the list to the names that hold the text, in any case.
    Type("txtdsn", QStringLiteral("plan"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown(dsn) == QStringList{QStringLiteral("Rostrum Plan")}; }))
        << Shown(dsn).join(u',').toStdString();
    // Down and Enter take the entry; the field keeps the focus.
    QTest::keyClick(dsn->completer()->popup(), Qt::Key_Down);
    QTest::keyClick(dsn->completer()->popup(), Qt::Key_Return);
    EXPECT_EQ(dsn->text(), QStringLiteral("Rostrum Plan"));
    EXPECT_TRUE(dsn->hasFocus());
    // A name no source has stays as typed, although the list shows and hides on the way.
    Type("txtdsn", QStringLiteral("NOT_YET_DEFINED"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown(dsn).isEmpty(); }));
    EXPECT_EQ(dsn->text(), QStringLiteral("NOT_YET_DEFINED"));

    // The second platform checks the version through the server name, not defined here.
    Pick("ComboApplication", 1);
    for (int platform : {0, 1}) {
        SCOPED_TRACE(platform);
        Pick("ComboPlatform", platform);
        // Blanks around the values are not part of them.
        Type("txtdsn", u' ' + db->dsn() + u' ');
        Type("txtusername", db->user());
        Type("txtpassword", db->password());
        app.messages().ClearShown();
        Click("cmdTestConnection");
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto &shown = app.messages().ShownMessages().first();
        EXPECT_EQ(shown.icon, platform == 0 ? MsgIcon::Information : MsgIcon::Exclamation);
        EXPECT_TRUE(shown.text.contains(platform == 0 ? db->serverName() : QStringLiteral("Data source name not found")))
            << shown.text.toStdString();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy cursor went with the test
    }
    // Testing is not editing: the new configuration was not written.
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());
}

// Against a server that takes the login and never answers, Test Connection shows what it
// waits for with the seconds and Cancel; Cancel gives the editor back at once, with nothing
// shown or written, and the login ends on its own later.
TEST_F(EditorTest, TestConnectionOnAServerThatNeverAnswersIsCancelledAndTheEditorTakesInputAgain)
{
    HungServer hung(QStringLiteral("editor_hung"));
    ASSERT_TRUE(hung.Listening()) << hung.error().toStdString();
    const Worker::WaitViewFactory before = Worker::SetWaitView({});
    InstallWaitDialog();
    OpenNew();
    Type("txtdsn", hung.dsn());
    Type("txtusername", QStringLiteral("u"));
    QStringList seen;
    WhenModal(QStringLiteral("frmWait"), [&](QWidget *wait) {
        auto *status = wait->findChild<QLabel *>(QStringLiteral("lblWaitStatus"));
        seen << status->text();
        EXPECT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QLatin1String("Waiting 1 s")); }, 5000));
        seen << status->text();
        QTest::mouseClick(wait->findChild<QPushButton *>(QStringLiteral("cmdCancelWait")), Qt::LeftButton);
    });
    Click("cmdTestConnection");
    Worker::SetWaitView(before);
    EXPECT_EQ(seen, QStringList({QStringLiteral("Waiting 0 s for the database of data source \"editor_hung\"..."),
                                 QStringLiteral("Waiting 1 s for the database of data source \"editor_hung\"...")}));
    EXPECT_TRUE(app.messages().ShownMessages().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Worker::Running(), 1);
    Type("txtdatabase", QStringLiteral("typed"));
    EXPECT_EQ(Box("txtdatabase")->text(), QStringLiteral("typed"));
    hung.Close();
    EXPECT_TRUE(Worker::WaitForAll(30000));
    EXPECT_TRUE(app.messages().ShownMessages().isEmpty());
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());
}

} // namespace
