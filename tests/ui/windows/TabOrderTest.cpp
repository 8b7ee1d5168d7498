// The Tab key goes through each window as its controls stand, and the tab keys switch tabs
// from any control.
#include "EveryWindow.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString FocusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

QWidget *Named(QWidget &window, const QString &name)
{
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (w->objectName() == name)
            return w;
    }
    return nullptr;
}

// The focus names from first, after each Tab, until it comes back to first.
QStringList TabOrder(QWidget &window, const QString &first)
{
    QWidget *start = Named(window, first);
    if (!start)
        return {QStringLiteral("no ") + first};
    start->setFocus(Qt::TabFocusReason);
    QStringList order{FocusName()};
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // The joint editor moves into the next tab a moment after the Tab.
        for (int j = 0; j < 3; ++j)
            QCoreApplication::processEvents();
        if (FocusName() == first)
            break;
        order << FocusName();
    }
    return order;
}

struct TabCase
{
    const char *window;
    QStringList order;
};

TEST(TabOrder, FollowsTheControlsAsTheyStand)
{
    const TabCase cases[] = {
        {"main window", {"txtFilter", "chkRunningOnly", "LVConfig"}},
        {"editor",
         {"TSConfig", "ComboApplication", "txtdsn", "txtdatabase", "txtmachine", "txtusername", "txtpassword",
          "ChkSavePass", "cmdTestConnection", "cmdOK", "cmdCancel"}},
        // Out of the last control of a product's tab into the next tab, the Rostrum tab's
        // platform list first.
        {"joint editor",
         {"qt_tabwidget_tabbar", "txtdsn_0", "txtdatabase_0", "txtmachine_0", "txtusername_0", "txtpassword_0",
          "cmdTestConnection_0", "txtwebdirectory", "cmdBrowse2", "txtLogpath_0", "BtnBrowseLog_0", "ComboPlatform_1",
          "txtdsn_1", "txtdatabase_1", "txtmachine_1", "txtusername_1", "txtpassword_1", "cmdTestConnection_1",
          "txtLogpath_1", "BtnBrowseLog_1", "txtconnection_0", "txtBatch_0", "txtDelay_0", "txtconnection_1", "txtBatch_1",
          "ChkSavePass", "bOk", "bCancel"}},
        {"publisher settings",
         {"txt_ldapAdmin", "txt_ldapPwd", "txtMnSFileName", "txtMnSHost", "txtPublisherBusComp",
          "txtpublisherBusPortNum", "cmdPublisherOK", "BtnCancel"}},
        {"name dialog", {"txtFileName", "OKButton", "CancelButton"}},
        {"folder browser", {"Drive1", "Dir1", "txtpath", "cmdOK", "cmdCancel"}},
        {"about box", {"cmdOK", "cmdSysInfo"}},
    };
    for (const TabCase &c : cases) {
        const auto opener = std::find_if(EveryWindow().begin(), EveryWindow().end(),
                                         [&c](const WindowCase &w) { return qstrcmp(w.name, c.window) == 0; });
        ASSERT_NE(opener, EveryWindow().end()) << c.window;
        TestAppDir app;
        WriteSampleConfigurations(app);
        std::unique_ptr<QWidget> window = opener->open(app);
        ShowActive(*window);
        EXPECT_EQ(TabOrder(*window, c.order.first()), c.order) << c.window;
    }
}

// Ctrl+PageDown, Ctrl+Tab, Ctrl+PageUp and Ctrl+Shift+Tab switch tabs wherever the focus
// is, on the buttons below the tabs too, and the focus goes into the tab shown.
TEST(TabOrder, TheTabKeysSwitchTabsFromAnyControl)
{
    struct Case
    {
        const char *window, *from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab;
        const char *focus;
    };
    const Case cases[] = {
        {"joint editor", "bOk", Qt::Key_PageDown, Qt::ControlModifier, 1, "ComboPlatform_1"},
        {"joint editor", "bOk", Qt::Key_PageUp, Qt::ControlModifier, 2, "txtconnection_0"},
        {"joint editor", "ChkSavePass", Qt::Key_Tab, Qt::ControlModifier, 1, "ComboPlatform_1"},
        {"joint editor", "txtdsn_0", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2, "txtconnection_0"},
        {"editor", "cmdOK", Qt::Key_PageUp, Qt::ControlModifier, 1, "txtconnection"},
        {"editor", "cmdCancel", Qt::Key_PageDown, Qt::ControlModifier, 1, "txtconnection"},
    };
    for (const Case &c : cases) {
        const auto opener = std::find_if(EveryWindow().begin(), EveryWindow().end(),
                                         [&c](const WindowCase &w) { return qstrcmp(w.name, c.window) == 0; });
        TestAppDir app;
        WriteSampleConfigurations(app);
        std::unique_ptr<QWidget> window = opener->open(app);
        ShowActive(*window);
        Named(*window, QLatin1String(c.from))->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        QCoreApplication::processEvents();
        QTabBar *tabs = window->findChild<QTabBar *>();
        EXPECT_EQ(tabs->currentIndex(), c.tab) << c.window << " from " << c.from;
        EXPECT_EQ(FocusName(), QLatin1String(c.focus)) << c.window << " from " << c.from;
    }
}

} // namespace
