#include "EditorFixture.h"
#include "support/PostgresFixture.h"

#include <QAbstractItemView>
#include <QCompleter>

namespace {

class EditorConnectionTest : public EditorTest
{
protected:
    void SetUp() override
    {
        db = PostgresFixture::Ready(QStringLiteral("editorconn"),
                                    QStringLiteral("DELETE FROM tsparameters; INSERT INTO tsparameters VALUES (6);"));
        ASSERT_TRUE(db);
    }

    // The entries the DSN field's list shows now.
    QStringList Shown()
    {
        QCompleter *completer = Box("txtdsn")->completer();
        QStringList names;
        if (!completer || !completer->popup()->isVisible())
            return names;
        for (int row = 0; row < completer->completionModel()->rowCount(); ++row)
            names << completer->completionModel()->index(row, 0).data().toString();
        return names;
    }

    static inline PgDatabase *db = nullptr;
};

TEST_F(EditorConnectionTest, TheDsnFieldOffersTheKnownDataSourcesAndKeepsFreeText)
{
    ASSERT_TRUE(db->AddDsn(QStringLiteral("Rostrum Plan")));
    OpenNew();
    QLineEdit *dsn = Box("txtdsn");
    // Tabbing into the field shows nothing; a click shows every source.
    dsn->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_TRUE(Shown().isEmpty());
    Box("txtdatabase")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(dsn, Qt::LeftButton);
    // QTRY_ macros would report to QTest, not to this test: wait, then expect.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Shown().isEmpty(); }));
    EXPECT_TRUE(Shown().contains(db->dsn()));
    EXPECT_TRUE(Shown().contains(QStringLiteral("cs_postgres")));
    // Typing narrows the list to the names that hold the text, in any case.
    Type("txtdsn", QStringLiteral("plan"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown() == QStringList{QStringLiteral("Rostrum Plan")}; }))
        << Shown().join(u',').toStdString();
    // Down and Enter take the entry; the field keeps the focus.
    QTest::keyClick(dsn->completer()->popup(), Qt::Key_Down);
    QTest::keyClick(dsn->completer()->popup(), Qt::Key_Return);
    EXPECT_EQ(dsn->text(), QStringLiteral("Rostrum Plan"));
    EXPECT_TRUE(dsn->hasFocus());
    // A name no source has stays as typed, although the list shows and hides on the way.
    Type("txtdsn", QStringLiteral("NOT_YET_DEFINED"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown().isEmpty(); }));
    EXPECT_EQ(dsn->text(), QStringLiteral("NOT_YET_DEFINED"));
}

TEST_F(EditorConnectionTest, TestConnectionReportsServerAndVersionOrTheDriversMessage)
{
    // What the description says is the back-end checks' concern; the editor passes the form's values and shows it.
    struct Case { const char *what; int platform; MsgIcon icon; QString says; };
    const Case cases[] = {
        {"works", 0, MsgIcon::Information, db->serverName()},
        // The second platform checks the version through the server name, not defined here.
        {"second platform", 1, MsgIcon::Exclamation, "Data source name not found"},
    };
    OpenNew();
    Pick("ComboApplication", 1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Pick("ComboPlatform", c.platform);
        // Blanks around the values are not part of them, as Save writes them.
        Type("txtdsn", u' ' + db->dsn() + u' ');
        Type("txtusername", db->user());
        Type("txtpassword", db->password());
        app.messages().ClearShown();
        QTest::mouseClick(Child<QPushButton>("cmdTestConnection"), Qt::LeftButton);
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto &shown = app.messages().ShownMessages().first();
        EXPECT_TRUE(shown.text.contains(c.says)) << shown.text.toStdString();
        EXPECT_EQ(shown.icon, c.icon);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy cursor went with the test
    }
    // Testing is not editing: the new configuration was not written.
    EXPECT_TRUE(QDir(app.lib()).entryList(QDir::Files).isEmpty());
}

} // namespace
