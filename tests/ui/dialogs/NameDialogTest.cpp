// The name prompt of a new configuration and the store's question about replacing a file.
#include "support/TestAppDir.h"
#include "ui/dialogs/AskNewConfigFileName.h"
#include "ui/dialogs/frmConfigFileSelector.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QLineEdit *NameBox(QWidget *dialog) { return dialog->findChild<QLineEdit *>(QStringLiteral("txtFileName")); }
void Click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

struct Outcome
{
    bool result = false;
    QString path;
};

// Runs the prompt; act drives the dialog once it is shown.
Outcome Ask(TestAppDir &app, std::function<void(QWidget *)> act)
{
    WhenModal(QStringLiteral("frmConfigFileSelector"), std::move(act));
    Outcome outcome;
    outcome.path = QStringLiteral("unchanged");
    outcome.result = AskNewConfigFileName(app.session(), outcome.path);
    return outcome;
}

TEST(NameDialog, RefusedNamesKeepTheDialogOpen)
{
    struct Case
    {
        QString typed;
        const char *label;
        MsgIcon icon;
    };
    const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QList<Case> cases = {{QString(), "SLBL0154", MsgIcon::Critical},
                         {QStringLiteral("a\tb"), "SLBL0357", MsgIcon::Information},
                         {QStringLiteral(".."), "SLBL0357", MsgIcon::Information}};
    for (QChar c : forbidden)
        cases.append({QStringLiteral("lib") + c + QStringLiteral("x"), "SLBL0357", MsgIcon::Information});

    for (const Case &c : cases) {
        TestAppDir app;
        bool stayed = false, focused = false;
        const Outcome outcome = Ask(app, [&](QWidget *dialog) {
            NameBox(dialog)->setText(c.typed);
            dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->setFocus();
            Click(dialog, "OKButton");
            stayed = dialog->isVisible();
            focused = dialog->focusWidget() == NameBox(dialog);
            Click(dialog, "CancelButton");
        });
        EXPECT_TRUE(stayed) << c.typed.toStdString();
        EXPECT_TRUE(focused) << c.typed.toStdString();
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.path, QString());
        ASSERT_EQ(app.messages().ShownMessages().size(), 1) << c.typed.toStdString();
        EXPECT_EQ(app.messages().ShownMessages()[0].text, app.session().GetText(QLatin1String(c.label)));
        EXPECT_EQ(app.messages().ShownMessages()[0].icon, c.icon);
    }
}

TEST(NameDialog, AcceptedNamesBecomePathsInLib)
{
    const QList<QPair<QString, QString>> cases = {
        {QStringLiteral("abc"), QStringLiteral("abc.tsy")},
        {QStringLiteral("abc.tsy"), QStringLiteral("abc.tsy")},
        {QStringLiteral("  "), QStringLiteral("  .tsy")},
    };
    for (const auto &[typed, file] : cases) {
        TestAppDir app;
        const Outcome outcome = Ask(app, [typed = typed](QWidget *dialog) {
            NameBox(dialog)->setText(typed);
            Click(dialog, "OKButton");
        });
        EXPECT_TRUE(outcome.result) << typed.toStdString();
        EXPECT_EQ(outcome.path, app.lib(file));
        EXPECT_TRUE(app.shownTexts().isEmpty());
        // The prompt only names the file.
        EXPECT_FALSE(QFile::exists(app.lib(file)));
    }
}

TEST(NameDialog, AnExistingFileIsReplacedOnlyAfterYes)
{
    for (MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        TestAppDir app;
        app.writeFile(QStringLiteral("lib/abc.tsy"), "dsn=old\r\n");
        app.messages().SetNextAnswers({answer});
        const Outcome outcome = Ask(app, [](QWidget *dialog) {
            NameBox(dialog)->setText(QStringLiteral("abc"));
            Click(dialog, "OKButton");
        });
        ASSERT_EQ(app.messages().ShownMessages().size(), 1);
        const auto &question = app.messages().ShownMessages()[0];
        EXPECT_EQ(question.text, app.session().GetText(QStringLiteral("SLBL0227")));
        EXPECT_EQ(question.icon, MsgIcon::None);
        EXPECT_EQ(question.buttons, MsgButtons::YesNo);
        EXPECT_EQ(outcome.result, answer == MsgResult::Yes);
        EXPECT_EQ(outcome.path, answer == MsgResult::Yes ? app.lib(QStringLiteral("abc.tsy")) : QString());
        EXPECT_EQ(app.readFile(QStringLiteral("lib/abc.tsy")), QByteArray("dsn=old\r\n"));
    }
}

TEST(NameDialog, OneDialogKeepsItsTextAcrossUses)
{
    TestAppDir app;
    QWidget *first = nullptr;
    Ask(app, [&](QWidget *dialog) {
        first = dialog;
        EXPECT_EQ(dialog->windowTitle(), app.session().GetText(QStringLiteral("SLBL0154")));
        NameBox(dialog)->setText(QStringLiteral("first"));
        Click(dialog, "OKButton");
    });

    // Typed, then cancelled: nothing is named, but the text stays for the next use.
    QString shownSecond;
    const Outcome cancelled = Ask(app, [&](QWidget *dialog) {
        EXPECT_EQ(dialog, first);
        shownSecond = NameBox(dialog)->text();
        NameBox(dialog)->setText(QStringLiteral("typed"));
        Click(dialog, "CancelButton");
    });
    EXPECT_EQ(shownSecond, QStringLiteral("first"));
    EXPECT_FALSE(cancelled.result);
    EXPECT_EQ(cancelled.path, QString());

    QString shownThird;
    const Outcome closed = Ask(app, [&](QWidget *dialog) {
        shownThird = NameBox(dialog)->text();
        dialog->close(); // the title bar's close counts as Cancel
    });
    EXPECT_EQ(shownThird, QStringLiteral("typed"));
    EXPECT_FALSE(closed.result);
    EXPECT_EQ(&frmConfigFileSelector::Instance(app.session()), first);
}

} // namespace
