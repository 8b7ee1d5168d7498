// The folder browser: presets, the drive and directory lists, and what OK and Cancel hand over.
#include "support/TestAppDir.h"
#include "ui/dialogs/frmbrowse.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
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
    std::optional<QString> handedOver;

    void SetUp() override
    {
        QObject::connect(&browser, &frmbrowse::CloseBrowse, [this](QString &path) { handedOver = path; });
        browser.show();
    }

    QLineEdit *txtpath() { return browser.findChild<QLineEdit *>(QStringLiteral("txtpath")); }
    QComboBox *Drive1() { return browser.findChild<QComboBox *>(QStringLiteral("Drive1")); }
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
    EXPECT_EQ(browser.windowTitle(), app.session().GetText(QStringLiteral("SLBL0497")));
    struct Case { QString typed; const char *button; std::optional<QString> handed; };
    const Case cases[] = {
        {QString(), "cmdOK", QString()}, // no preset, no move: the empty text
        {QStringLiteral(" /not/a/folder "), "cmdOK", QStringLiteral(" /not/a/folder ")},
        {QStringLiteral("/tmp"), "cmdCancel", std::nullopt},
    };
    for (const Case &c : cases) {
        handedOver.reset();
        browser.show();
        txtpath()->clear();
        QTest::keyClicks(txtpath(), c.typed);
        QTest::mouseClick(browser.findChild<QPushButton *>(QLatin1String(c.button)), Qt::LeftButton);
        EXPECT_EQ(handedOver, c.handed) << c.button;
        EXPECT_FALSE(browser.isVisible());
    }
}

TEST_F(BrowseTest, StartPathIsPresetOnlyWhenItIsAFolder)
{
    const QList<QPair<QString, bool>> cases = {
        {app.path() + QStringLiteral("/missing"), false},
        {app.path() + QStringLiteral("/I18nText.xml"), false},
        {QString(), false},
        {app.lib(), true},
    };
    for (const auto &[path, presets] : cases) {
        EXPECT_EQ(browser.SetStartPath(path), presets) << path.toStdString();
        EXPECT_EQ(txtpath()->text(), presets ? path : QString());
        EXPECT_EQ(browser.DirPath(), presets ? app.lib() : QDir::currentPath());
    }
    EXPECT_EQ(Drive1()->currentData().toString(), frmbrowse::DriveOf(app.lib()));
}

TEST_F(BrowseTest, PickingAFolderShowsItsPathAndOneThatVanishedIsUndone)
{
    const QString doomed = app.path() + QStringLiteral("/doomed");
    QDir().mkpath(doomed);
    auto *list = browser.findChild<QTreeView *>(QStringLiteral("Dir1"));
    auto *model = static_cast<QFileSystemModel *>(list->model());
    browser.SetStartPath(app.path());
    list->setCurrentIndex(model->index(app.lib()));
    EXPECT_EQ(txtpath()->text(), app.lib());
    EXPECT_EQ(browser.DirPath(), app.lib());

    const QModelIndex index = model->index(doomed);
    ASSERT_TRUE(index.isValid());
    QDir(doomed).removeRecursively();
    list->setCurrentIndex(index);
    ASSERT_EQ(app.shownTexts(), QStringList{QStringLiteral("Path not found")});
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(txtpath()->text(), app.lib());
    EXPECT_EQ(browser.DirPath(), app.lib());
    EXPECT_TRUE(browser.isVisible());
}

TEST_F(BrowseTest, DriveChange)
{
    browser.SetStartPath(app.lib());
    const QString home = frmbrowse::DriveOf(app.lib());

    // A volume that went away since the list was filled.
    Drive1()->addItem(QStringLiteral("/gone"), app.path() + QStringLiteral("/unmounted"));
    PickDrive(Drive1()->count() - 1);
    ASSERT_EQ(app.shownTexts(), QStringList{QStringLiteral("Device unavailable")});
    EXPECT_EQ(app.messages().ShownMessages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Drive1()->currentData().toString(), home);
    EXPECT_EQ(browser.DirPath(), app.lib());
    EXPECT_EQ(txtpath()->text(), app.lib());

    // A drive that is there: the lists move to its root.
    PickDrive(Drive1()->findData(home));
    const QString root = QDir::cleanPath(QDir(home).absolutePath());
    EXPECT_EQ(browser.DirPath(), root);
    EXPECT_EQ(txtpath()->text(), root);
    EXPECT_EQ(app.shownTexts().size(), 1);
}

} // namespace
