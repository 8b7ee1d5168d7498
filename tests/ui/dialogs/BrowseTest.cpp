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
    QModelIndex Folder(const QString &path) { return static_cast<QFileSystemModel *>(Dir1()->model())->index(path); }
    // Picks a drive from the opened list with the mouse, as a user does.
    void PickDrive(int index)
    {
        Drive1()->showPopup();
        QAbstractItemView *list = Drive1()->view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(index, 0)).center());
    }
};

TEST_F(BrowseTest, OkHandsOverThePathFieldUncheckedAndCancelNothing)
{
    // An empty path field never empties the owner's field: the highlighted folder, or nothing.
    struct Case { QString typed; bool highlighted; const char *button; std::optional<QString> handed; };
    const Case cases[] = {
        {QString(), true, "cmdOK", app.lib()},
        {QStringLiteral("  "), false, "cmdOK", std::nullopt},
        {QStringLiteral(" /not/a/folder "), true, "cmdOK", QStringLiteral(" /not/a/folder ")},
        {QStringLiteral("/tmp"), true, "cmdCancel", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button + (" " + c.typed.toStdString()));
        browser.show();
        Dir1()->clearSelection();
        Dir1()->setCurrentIndex(c.highlighted ? Folder(app.lib()) : QModelIndex());
        txtpath()->clear();
        QTest::keyClicks(txtpath(), c.typed);
        QTest::mouseClick(Child<QPushButton>(&browser, c.button), Qt::LeftButton);
        const auto handedOver = browser.result() == QDialog::Accepted ? std::optional(browser.ChosenPath()) : std::nullopt;
        EXPECT_EQ(handedOver, c.handed);
        EXPECT_FALSE(browser.isVisible());
    }
}

TEST_F(BrowseTest, AClickHighlightsInPlaceAndADoubleClickOrEnterChooses)
{
    // Enough folders to scroll, one of them opened by the user.
    const QString parent = app.path() + QStringLiteral("/many");
    auto folder = [&](int i) { return parent + QStringLiteral("/f%1").arg(i, 2, 10, QLatin1Char('0')); };
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(folder(i) + QStringLiteral("/sub"));

    // The click first: until a choice, nothing is handed over.
    struct Case { const char *what; int folder; bool doubleClick, enter; };
    const Case cases[] = {{"click", 25, false, false}, {"double click", 30, true, false}, {"click, Enter", 12, false, true}};
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
        browser.show();
        QApplication::setActiveWindow(&browser);
        list->scrollTo(model->index(folder(c.folder)));
        const int scrolled = list->verticalScrollBar()->value();
        const QPoint at = list->visualRect(model->index(folder(c.folder))).center();
        ASSERT_TRUE(list->viewport()->rect().contains(at));

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (c.doubleClick) {
            // As a mouse sends it: the second press comes as a double click.
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        }
        if (c.enter)
            QTest::keyClick(list, Qt::Key_Return);
        const bool chooses = c.doubleClick || c.enter;
        EXPECT_EQ(browser.ChosenPath(), chooses ? folder(c.folder) : QString());
        EXPECT_EQ(browser.isVisible(), !chooses);
        EXPECT_EQ(txtpath()->text(), folder(c.folder));
        // Nothing moved or closed under the mouse.
        EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
        EXPECT_TRUE(list->isExpanded(model->index(folder(5))));
    }
}

// A start path presets only a folder. Picking a folder or a drive that vanished is refused
// with a message and undone; a drive that is there shows its root.
TEST_F(BrowseTest, OnlyAFolderPresetsAndAVanishedFolderOrDriveIsUndone)
{
    for (const QString &notAFolder : {app.path() + QStringLiteral("/missing"), app.path() + QStringLiteral("/I18nText.xml")}) {
        EXPECT_FALSE(browser.SetStartPath(notAFolder));
        EXPECT_EQ(txtpath()->text(), QString());
        EXPECT_EQ(browser.DirPath(), QDir::currentPath());
    }
    const QString doomed = app.path() + QStringLiteral("/doomed");
    QDir().mkpath(doomed);
    EXPECT_TRUE(browser.SetStartPath(app.lib()));
    EXPECT_EQ(txtpath()->text(), app.lib());
    const QString home = frmbrowse::DriveOf(app.lib());
    EXPECT_EQ(Drive1()->currentData().toString(), home);

    // (That a pick shows its path: the click test.)
    const QModelIndex index = Folder(doomed);
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

    PickDrive(Drive1()->findData(home));
    const QString root = QDir::cleanPath(QDir(home).absolutePath());
    EXPECT_EQ(browser.DirPath(), root);
    EXPECT_EQ(txtpath()->text(), root);
    EXPECT_EQ(app.shownTexts().size(), 2);
}

} // namespace
