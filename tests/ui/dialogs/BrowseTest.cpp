// The folder browser: presets, the drive and directory lists, and what OK and Cancel hand over.
#include "support/Controls.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/frmbrowse.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QApplication>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <optional>

namespace {

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
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
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
        browser.show();
        Dir1()->clearSelection();
        Dir1()->setCurrentIndex(c.highlighted ? Folder(app.lib()) : QModelIndex());
        txtpath()->clear();
        QTest::keyClicks(txtpath(), c.typed);
        QTest::mouseClick(Child<QPushButton>(&browser, c.button), Qt::LeftButton);
        const auto handedOver = browser.result() == QDialog::Accepted ? std::optional(browser.ChosenPath()) : std::nullopt;
        EXPECT_EQ(handedOver, c.handed) << c.button << " " << c.typed.toStdString();
        EXPECT_FALSE(browser.isVisible());
    }
}

TEST_F(BrowseTest, AClickHighlightsInPlaceAndADoubleClickOrEnterChooses)
{
    // Enough folders to scroll, one of them opened by the user.
    const QString parent = app.path() + QStringLiteral("/many");
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(parent + QStringLiteral("/f%1/sub").arg(i, 2, 10, QLatin1Char('0')));
    auto folder = [&](int i) { return parent + QStringLiteral("/f%1").arg(i, 2, 10, QLatin1Char('0')); };

    struct Case { const char *what; int folder; std::function<void(QTreeView *, QPoint)> act; bool chooses; };
    const Case cases[] = {
        {"click", 25, [](QTreeView *list, QPoint at) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); }, false},
        // As a mouse sends it: press, release, then the second press as a double click, release.
        {"double click", 30, [](QTreeView *list, QPoint at) {
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
         }, true},
        {"click, Enter", 12, [](QTreeView *list, QPoint at) {
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
             QTest::keyClick(list, Qt::Key_Return);
         }, true},
    };
    for (const Case &c : cases) {
        frmbrowse dialog(app.session());
        ASSERT_TRUE(dialog.Load());
        dialog.SetStartPath(folder(20));
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto *list = Child<QTreeView>(&dialog, "Dir1");
        auto *model = static_cast<QFileSystemModel *>(list->model());
        // QTRY_ macros would report to QTest, not to this test: wait, then assert.
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(parent)) == 40; }));
        list->expand(model->index(folder(5)));
        // Folders are read in the background: wait until nothing more arrives before aiming.
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder(5))) == 1; }));
        QCoreApplication::processEvents();
        list->scrollTo(model->index(folder(c.folder)));
        const int scrolled = list->verticalScrollBar()->value();
        const QRect item = list->visualRect(model->index(folder(c.folder)));
        ASSERT_TRUE(list->viewport()->rect().contains(item.center())) << c.what;

        c.act(list, item.center());
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.chooses) << c.what;
        EXPECT_EQ(dialog.ChosenPath(), c.chooses ? folder(c.folder) : QString()) << c.what;
        EXPECT_EQ(dialog.isVisible(), !c.chooses) << c.what;
        EXPECT_EQ(Child<QLineEdit>(&dialog, "txtpath")->text(), folder(c.folder)) << c.what;
        // Nothing moved or closed under the mouse.
        EXPECT_EQ(list->verticalScrollBar()->value(), scrolled) << c.what;
        EXPECT_TRUE(list->isExpanded(model->index(folder(5)))) << c.what;
    }
}

TEST_F(BrowseTest, StartPathIsPresetOnlyWhenItIsAFolderAndAVanishedFolderIsUndone)
{
    const QList<QPair<QString, bool>> cases = {
        {app.path() + QStringLiteral("/missing"), false},
        {app.path() + QStringLiteral("/I18nText.xml"), false},
        {app.lib(), true},
    };
    for (const auto &[path, presets] : cases) {
        EXPECT_EQ(browser.SetStartPath(path), presets) << path.toStdString();
        EXPECT_EQ(txtpath()->text(), presets ? path : QString());
        EXPECT_EQ(browser.DirPath(), presets ? app.lib() : QDir::currentPath());
    }
    EXPECT_EQ(Drive1()->currentData().toString(), frmbrowse::DriveOf(app.lib()));

    // Picking a folder that vanished is undone (that a pick shows its path: the click test).
    const QString doomed = app.path() + QStringLiteral("/doomed");
    QDir().mkpath(doomed);
    browser.SetStartPath(app.path());
    Dir1()->setCurrentIndex(Folder(app.lib()));

    const QModelIndex index = Folder(doomed);
    ASSERT_TRUE(index.isValid());
    QDir(doomed).removeRecursively();
    Dir1()->setCurrentIndex(index);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_EQ(app.messages().ShownMessages()[0].asker, &browser);
    EXPECT_EQ(txtpath()->text(), app.lib());
    EXPECT_EQ(browser.DirPath(), app.lib());
    EXPECT_TRUE(browser.isVisible());
}

TEST_F(BrowseTest, AVanishedDriveIsRefusedAndAPresentOneShowsItsRoot)
{
    browser.SetStartPath(app.lib());
    const QString home = frmbrowse::DriveOf(app.lib());

    // A volume that went away since the list was filled.
    Drive1()->addItem(QStringLiteral("/gone"), app.path() + QStringLiteral("/unmounted"));
    PickDrive(Drive1()->count() - 1);
    ASSERT_EQ(app.shownTexts().size(), 1);
    EXPECT_EQ(Drive1()->currentData().toString(), home);
    EXPECT_EQ(browser.DirPath(), app.lib());

    // A drive that is there: the lists move to its root.
    PickDrive(Drive1()->findData(home));
    const QString root = QDir::cleanPath(QDir(home).absolutePath());
    EXPECT_EQ(browser.DirPath(), root);
    EXPECT_EQ(txtpath()->text(), root);
    EXPECT_EQ(app.shownTexts().size(), 1);
}

} // namespace
