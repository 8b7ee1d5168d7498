// The name prompt of a new configuration and the store's question about replacing a file.
#include "support/Controls.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/AskNewConfigFileName.h"
#include "ui/dialogs/frmConfigFileSelector.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QLineEdit *NameBox(QWidget *dialog) { return Child<QLineEdit>(dialog, "txtFileName"); }
void Click(QWidget *dialog, const char *button) { QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton); }
// Types name into the dialog and confirms it.
std::function<void(QWidget *)> Enter(const QString &name)
{
    return [name](QWidget *dialog) {
        NameBox(dialog)->setText(name);
        Click(dialog, "OKButton");
    };
}

struct Outcome { bool result; QString path; };

// Runs the prompt; act drives the dialog once it is shown.
Outcome Ask(TestAppDir &app, std::function<void(QWidget *)> act)
{
    WhenModal(QStringLiteral("frmConfigFileSelector"), std::move(act));
    QString path = QStringLiteral("unchanged");
    const bool result = AskNewConfigFileName(app.session(), nullptr, path);
    return {result, path};
}

TEST(NameDialog, RefusedNamesKeepTheDialogOpen)
{
    struct Case { QString typed; const char *label; MsgIcon icon; };
    // Which names are refused is the store's rule, tested with it; here one of each kind.
    const Case cases[] = {{QString(), "SLBL0154", MsgIcon::Critical},
                          {QStringLiteral("lib/x"), "SLBL0357", MsgIcon::Information},
                          // Nothing but blanks and dots before the extension names no file.
                          {QStringLiteral(" . .tsy "), "SLBL0154", MsgIcon::Critical}};

    for (const Case &c : cases) {
        TestAppDir app;
        Ask(app, [&](QWidget *dialog) {
            NameBox(dialog)->setText(c.typed);
            Child<QPushButton>(dialog, "OKButton")->setFocus();
            Click(dialog, "OKButton");
            EXPECT_TRUE(dialog->isVisible()) << c.typed.toStdString();
            EXPECT_EQ(dialog->focusWidget(), NameBox(dialog)) << c.typed.toStdString();
            Click(dialog, "CancelButton");
        });
        ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.typed.toStdString();
        EXPECT_EQ(app.messages().ShownMessages()[0].text, app.session().GetText(QLatin1String(c.label)));
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, c.icon);
    }
}

// The name is stored as Windows stores it. An existing file is replaced only after a Yes to a
// question that names it; Enter (the answer given when none is queued) keeps it.
TEST(NameDialog, AcceptedNamesBecomePathsInLibAnExistingFileOnlyAfterYes)
{
    // exists: lib/abc.tsy is there; answers: those queued for the question; file: the one named, if any.
    struct Case { QString typed; bool exists; QList<MsgResult> answers; const char *file; };
    const Case cases[] = {
        {QStringLiteral("a b. . "), false, {}, "a b.tsy"},
        {QStringLiteral("abc.tsy. "), false, {}, "abc.tsy"},
        {QStringLiteral("abc"), true, {MsgResult::No}, nullptr},
        {QStringLiteral("abc."), true, {}, nullptr},
        {QStringLiteral("abc"), true, {MsgResult::Yes}, "abc.tsy"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        TestAppDir app;
        if (c.exists)
            app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
        app.messages().SetNextAnswers(c.answers);
        const Outcome outcome = Ask(app, [&](QWidget *dialog) {
            NameBox(dialog)->setText(c.typed);
            QTest::keyClick(NameBox(dialog), Qt::Key_Return);
        });
        EXPECT_EQ(outcome.result, c.file != nullptr);
        EXPECT_EQ(outcome.path, c.file ? app.lib(QLatin1String(c.file)) : QString());
        if (!c.exists) {
            EXPECT_TRUE(app.shownTexts().isEmpty());
            // The prompt only names the file.
            EXPECT_FALSE(QFile::exists(app.lib(QLatin1String(c.file))));
            continue;
        }
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto &question = app.messages().ShownMessages()[0];
        EXPECT_TRUE(question.text.endsWith("\r\n\r\nabc.tsy"));
        EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), QByteArray("dsn=old\r\n"));
    }
}

TEST(NameDialog, OneDialogKeepsItsTextAcrossUses)
{
    TestAppDir app;
    QWidget *first = nullptr;
    Ask(app, [&](QWidget *dialog) {
        first = dialog;
        Enter(QStringLiteral("first"))(dialog);
    });

    // Typed, then cancelled: nothing is named, but the text stays for the next use.
    QStringList shown;
    const Outcome cancelled = Ask(app, [&](QWidget *dialog) {
        shown << NameBox(dialog)->text();
        NameBox(dialog)->setText(QStringLiteral("typed"));
        Click(dialog, "CancelButton");
    });
    EXPECT_FALSE(cancelled.result);
    EXPECT_EQ(cancelled.path, QString());

    const Outcome closed = Ask(app, [&](QWidget *dialog) {
        shown << NameBox(dialog)->text();
        dialog->close(); // the title bar's close counts as Cancel
    });
    EXPECT_EQ(shown, (QStringList{QStringLiteral("first"), QStringLiteral("typed")}));
    EXPECT_FALSE(closed.result);
    EXPECT_EQ(&frmConfigFileSelector::Instance(app.session()), first);
}

} // namespace
