// The folder browser: presets, the drive and directory lists, and what OK and Cancel hand over.
#include "support/Controls.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/frmbrowse.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

namespace {

// One browser, shown again for each row.
class BrowseTest : public ::testing::Test
{
protected:
    TestAppDir app;
    frmbrowse browser{app.session()};

    void SetUp() override
    {
        ASSERT_TRUE(browser.Load());
        browser.show();
    }

    QLineEdit *txtpath() { return Child<QLineEdit>(&browser, "txtpath"); }
    QComboBox *Drive1() { return Child<QComboBox>(&browser, "Drive1"); }
    QTreeView *Dir1() { return Child<QTreeView>(&browser, "Dir1"); }
    // Picks a drive from the opened list with the mouse, as a user does.
    void PickDrive(int index)
    {
        Drive1()->showPopup();
        QAbstractItemView *list = Drive1()->view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(index, 0)).center());
    }
};

// What OK hands over is the path field, unchecked; an empty field never empties the owner's
// field: the highlighted folder, or nothing. A click only highlights, and nothing moves under
// the mouse; a double click or Enter chooses the folder.
TEST_F(BrowseTest, ClicksHighlightInPlaceAndOkDoubleClickOrEnterHandOver)
{
    // Enough folders to scroll, one of them opened by the user.
    const QString parent = app.path() + QStringLiteral("/many");
    auto folder = [&](int i) { return parent + QStringLiteral("/f%1").arg(i, 2, 10, QLatin1Char('0')); };
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(folder(i) + QStringLiteral("/sub"));
    enum Then { Nothing, DoubleClick, Enter, Ok, Cancel };
    // clicked: the folder clicked first, if any; typed: the path field's text then, if given.
    struct Case { const char *what; int clicked; const char *typed; Then then; std::optional<QString> handed; };
    const Case cases[] = {
        {"click", 25, nullptr, Nothing, std::nullopt},
        {"double click", 30, nullptr, DoubleClick, folder(30)},
        {"click, Enter", 12, nullptr, Enter, folder(12)},
        {"click, empty field, OK", 12, "", Ok, folder(12)},
        {"nothing highlighted, blank field, OK", -1, "  ", Ok, std::nullopt},
        {"no folder typed, OK", 12, " /not/a/folder ", Ok, QStringLiteral(" /not/a/folder ")},
        {"Cancel", 12, "/tmp", Cancel, std::nullopt},
    };
    browser.SetStartPath(folder(20));
    QTreeView *list = Dir1();
    auto *model = static_cast<QFileSystemModel *>(list->model());
    // Folders are read in the background: wait until nothing more arrives before aiming.
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(parent)) == 40; }));
    list->expand(model->index(folder(5)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder(5))) == 1; }));
    QCoreApplication::processEvents();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        browser.setResult(0);
        browser.show();
        QApplication::setActiveWindow(&browser);
        list->clearSelection();
        list->setCurrentIndex(QModelIndex());
        QPoint at;
        if (c.clicked >= 0) {
            list->scrollTo(model->index(folder(c.clicked)));
            const int scrolled = list->verticalScrollBar()->value();
            at = list->visualRect(model->index(folder(c.clicked))).center();
            ASSERT_TRUE(list->viewport()->rect().contains(at));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            EXPECT_EQ(txtpath()->text(), folder(c.clicked));
            EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
            EXPECT_TRUE(list->isExpanded(model->index(folder(5))));
        }
        if (c.typed) {
            txtpath()->clear();
            QTest::keyClicks(txtpath(), QLatin1String(c.typed));
        }
        if (c.then == DoubleClick) {
            // As a mouse sends it: the second press of the two comes as a double click.
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        }
        if (c.then == Enter)
            QTest::keyClick(list, Qt::Key_Return);
        if (c.then == Ok || c.then == Cancel)
            QTest::mouseClick(Child<QPushButton>(&browser, c.then == Ok ? "cmdOK" : "cmdCancel"), Qt::LeftButton);
        const auto handed = browser.result() == QDialog::Accepted ? std::optional(browser.ChosenPath()) : std::nullopt;
        EXPECT_EQ(handed, c.handed);
        EXPECT_EQ(browser.isVisible(), c.then == Nothing);
    }
}

// A start path presets only a folder. Picking a folder or a drive that vanished is refused
// with a message and undone; another drive that is there shows its root, the same drive
// keeps the path.
TEST_F(BrowseTest, OnlyAFolderPresetsAndAVanishedFolderOrDriveIsUndone)
{
    EXPECT_FALSE(browser.SetStartPath(app.path() + QStringLiteral("/I18nText.xml")));
    EXPECT_EQ(txtpath()->text(), QString());
    EXPECT_EQ(browser.DirPath(), QDir::currentPath());
    const QString doomed = app.path() + QStringLiteral("/doomed");
    QDir().mkpath(doomed);
    EXPECT_TRUE(browser.SetStartPath(app.lib()));
    EXPECT_EQ(txtpath()->text(), app.lib());
    const QString home = frmbrowse::DriveOf(app.lib());
    EXPECT_EQ(Drive1()->currentData().toString(), home);

    // (That a pick shows its path: the click test.)
    const QModelIndex index = static_cast<QFileSystemModel *>(Dir1()->model())->index(doomed);
    ASSERT_TRUE(index.isValid());
    QDir(doomed).removeRecursively();
    Dir1()->setCurrentIndex(index);
    // A volume that went away since the list was filled.
    Drive1()->addItem(QStringLiteral("/gone"), app.path() + QStringLiteral("/unmounted"));
    PickDrive(Drive1()->count() - 1);
    ASSERT_EQ(app.messages().ShownMessages().size(), 2);
    for (const auto &shown : app.messages().ShownMessages())
        EXPECT_EQ(shown.asker, &browser);
    EXPECT_EQ(txtpath()->text(), app.lib());
    EXPECT_EQ(browser.DirPath(), app.lib());
    EXPECT_EQ(Drive1()->currentData().toString(), home);
    EXPECT_TRUE(browser.isVisible());

    // The drive shown already keeps the path; another one (a folder stands in) shows its root.
    PickDrive(Drive1()->findData(home));
    EXPECT_EQ(browser.DirPath(), app.lib());
    EXPECT_EQ(txtpath()->text(), app.lib());
    const QString other = app.path() + QStringLiteral("/mounted");
    QDir().mkpath(other);
    Drive1()->addItem(QStringLiteral("/mounted"), other);
    PickDrive(Drive1()->count() - 1);
    EXPECT_EQ(browser.DirPath(), other);
    EXPECT_EQ(txtpath()->text(), other);
    EXPECT_EQ(app.shownTexts().size(), 2);
}

} // namespace
