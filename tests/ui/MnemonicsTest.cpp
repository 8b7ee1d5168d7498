#include "ui/Mnemonics.h"
#include "support/QtPrinters.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using Mnemonics::Caption;

struct UniqueCase
{
    const char *what;
    QList<Caption> captions;
    QString takenBefore;
    QStringList expected;
};

// Every Alt letter of a scope means one control; a caption keeps the translator's letter
// while it is free.
TEST(Mnemonics, EveryLetterOfAScopeIsUnique)
{
    const UniqueCase cases[] = {
        {"free letters stay", {{"&File"}, {"&View"}}, "", {"&File", "&View"}},
        {"a clash moves to a word's first letter", {{"&Database"}, {"&Database Server Name"}}, "",
         {"&Database", "Database &Server Name"}},
        {"then to any letter", {{"&Save"}, {"&Server"}}, "", {"&Save", "S&erver"}},
        {"a caption without a letter is given one", {{"User Name"}, {"Password"}}, "U", {"User &Name", "&Password"}},
        {"a frame keeps having none", {{"Log Settings", false}}, "", {"Log Settings"}},
        {"a clashing frame moves", {{"&Log"}, {"&Log Settings", false}}, "", {"&Log", "Log &Settings"}},
        {"case does not matter", {{"&ok"}, {"&OK"}}, "", {"&ok", "O&K"}},
        {"an escaped ampersand is text; the S after it is a word's first letter", {{"M&&S File Name"}}, "M", {"M&&&S File Name"}},
        {"no free letter: none", {{"&Ab"}, {"&Ba"}, {"&ab"}}, "", {"&Ab", "&Ba", "ab"}},
        {"nothing to give", {{"..."}}, "", {"..."}},
        {"digits count", {{"Port 1"}}, "P", {"Port &1"}},
    };
    for (const UniqueCase &c : cases) {
        QSet<QChar> taken;
        for (QChar letter : c.takenBefore)
            taken.insert(letter);
        EXPECT_EQ(Mnemonics::Unique(c.captions, taken), c.expected) << c.what;
    }
}

// A window: what shows at all times shares its letters with each tab's page; the pages may
// reuse each other's. Labels without a field get no letter.
TEST(Mnemonics, AWindowRepairsItsLabelsButtonsAndTabs)
{
    QDialog window;
    auto *tabs = new QTabWidget(&window);
    QList<QLabel *> labels;
    for (const char *tab : {"&Database", "&Data"}) {
        auto *page = new QWidget;
        auto *column = new QVBoxLayout(page);
        auto *label = new QLabel(QStringLiteral("&Save Password"), page);
        label->setBuddy(new QLineEdit(page));
        column->addWidget(label);
        column->addWidget(label->buddy());
        labels << label;
        tabs->addTab(page, QLatin1String(tab));
    }
    auto *plain = new QLabel(QStringLiteral("Version"), &window);
    auto *ok = new QPushButton(QStringLiteral("OK"), &window);
    auto *save = new QCheckBox(QStringLiteral("Save"), &window);
    auto *column = new QVBoxLayout(&window);
    for (QWidget *w : std::initializer_list<QWidget *>{tabs, plain, ok, save})
        column->addWidget(w);

    Mnemonics::RepairWindow(window);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("&Database"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("D&ata"));
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_EQ(save->text(), QStringLiteral("&Save"));
    EXPECT_EQ(plain->text(), QStringLiteral("Version"));
    // S is the window's; each page moves its label to the same free letter.
    for (QLabel *label : labels)
        EXPECT_EQ(label->text(), QStringLiteral("Save &Password"));
}

} // namespace
