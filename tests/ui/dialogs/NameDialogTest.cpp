// The name prompt of a new configuration and the store's question about replacing a file.
#include "support/Controls.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/AskNewConfigFileName.h"
#include "ui/dialogs/frmConfigFileSelector.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

QLineEdit *NameBox(QWidget *dialog) { return Child<QLineEdit>(dialog, "txtFileName"); }
void Click(QWidget *dialog, const char *button) { QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton); }

// Runs the prompt, act driving it once it is shown; the path named, if any.
std::optional<QString> Ask(TestAppDir &app, std::function<void(QWidget *)> act)
{
    WhenModal(QStringLiteral("frmConfigFileSelector"), std::move(act));
    return AskNewConfigFileName(app.session(), nullptr);
}

// A refused name keeps the prompt open with the focus in the name. The prompt is one window
// that keeps its text from one use to the next; Cancel and the title bar's close name nothing.
// A name is stored as Windows stores it; an existing file is replaced only after a Yes to a
// question that names it, and Enter (the answer given when none is queued) keeps it.
TEST(NameDialog, RefusedNamesKeepThePromptOpenAcceptedOnesBecomePathsInLib)
{
    TestAppDir app;
    // says: what the message holds.
    struct Refusal { QString typed; QString says; MsgIcon icon; };
    const auto text = [&](const char *label) { return app.session().GetText(QLatin1String(label)); };
    QDir().mkpath(app.lib(QStringLiteral("folder.tsy")));
    // Which names are refused is the store's rule, tested with it; here one of each kind.
    const Refusal refusals[] = {{QString(), text("SLBL0154"), MsgIcon::Critical},
                          {QStringLiteral("lib/x"), text("SLBL0357"), MsgIcon::Information},
                          // Nothing but blanks and dots before the extension names no file.
                          {QStringLiteral(" . .tsy "), text("SLBL0154"), MsgIcon::Critical},
                          // A folder cannot be replaced by a file: no question that Yes then fails.
                          {QStringLiteral("folder."), QStringLiteral("\"folder.tsy\""), MsgIcon::Exclamation}};
    QWidget *first = nullptr;
    const auto cancelled = Ask(app, [&](QWidget *dialog) {
        first = dialog;
        for (const Refusal &c : refusals) {
            SCOPED_TRACE(c.typed.toStdString());
            app.messages().ClearShown();
            NameBox(dialog)->setText(c.typed);
            Child<QPushButton>(dialog, "OKButton")->setFocus();
            Click(dialog, "OKButton");
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->focusWidget(), NameBox(dialog));
            EXPECT_EQ(app.messages().ShownMessages().size(), 1);
            EXPECT_TRUE(app.messages().ShownMessages().value(0).text.contains(c.says));
            EXPECT_EQ(app.messages().ShownMessages().value(0).icon, c.icon);
        }
        NameBox(dialog)->setText(QStringLiteral("typed"));
        Click(dialog, "CancelButton");
    });
    EXPECT_EQ(cancelled, std::nullopt);

    QString shown;
    const auto closed = Ask(app, [&](QWidget *dialog) {
        shown = NameBox(dialog)->text();
        dialog->close();
    });
    EXPECT_EQ(closed, std::nullopt);
    EXPECT_EQ(shown, QStringLiteral("typed"));
    EXPECT_EQ(&frmConfigFileSelector::Instance(app.session()), first);

    app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
    // answers: those queued for the question, asked about abc.tsy only; file: the one named, if any.
    struct Case { QString typed; QList<MsgResult> answers; const char *file; };
    const Case cases[] = {
        {QStringLiteral("a b. . "), {}, "a b.tsy"},
        {QStringLiteral("abd.tsy. "), {}, "abd.tsy"},
        {QStringLiteral("abc"), {MsgResult::No}, nullptr},
        {QStringLiteral("abc."), {}, nullptr},
        {QStringLiteral("abc"), {MsgResult::Yes}, "abc.tsy"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const bool exists = c.typed.startsWith(QStringLiteral("abc"));
        app.messages().ClearShown();
        app.messages().SetNextAnswers(c.answers);
        const auto named = Ask(app, [&](QWidget *dialog) {
            NameBox(dialog)->setText(c.typed);
            QTest::keyClick(NameBox(dialog), Qt::Key_Return);
        });
        EXPECT_EQ(named, c.file ? std::optional(app.lib(QLatin1String(c.file))) : std::nullopt);
        ASSERT_EQ(app.shownTexts().size(), exists ? 1 : 0);
        if (exists) {
            EXPECT_TRUE(app.shownTexts()[0].endsWith("\r\n\r\nabc.tsy"));
        } else {
            EXPECT_FALSE(QFile::exists(app.lib(QLatin1String(c.file)))); // the prompt only names the file
        }
    }
    EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), QByteArray("dsn=old\r\n"));
}

} // namespace
