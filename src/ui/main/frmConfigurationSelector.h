#pragma once

#include "config/ConfigRecord.h"
#include "platform/VbText.h"

#include <QItemSelectionModel>
#include <QList>
#include <QMainWindow>

class QAction;
class QMenu;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class Session;

// The main window: the list of configuration files of the lib directory, the menus and
// tool bars that run the file commands on the selected entries, and the status bar.
// The implementation is split by concern: frame and load (frmConfigurationSelector.cpp),
// the list (frmConfigurationSelectorList.cpp), the commands (frmConfigurationSelectorCommands.cpp).
class frmConfigurationSelector final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmConfigurationSelector)
public:
    explicit frmConfigurationSelector(Session &session, QWidget *parent = nullptr);
    ~frmConfigurationSelector() override;

    // The window's load: splash, texts, directories, list. Errors are reported, not thrown;
    // the window then stays as far as it was set up.
    void Load();

    // Enables the commands that need a list entry exactly when the list has entries.
    void HandleCoolBar();
    // Rebuilds the list and the entries from the lib directory. An error stops the fill at
    // the failing file (entries added before it stay) and is handed back in *error.
    bool FillListView(Vb::Error *error);

    // The summaries of the files, one slot per file of the lib directory (configuration
    // file or not); slots after the listed files stay empty.
    const QList<ConfigEntry> &ConfigEntries() const { return m_configEntries; }
    // The summary behind a list entry (its file as read by the last fill).
    ConfigEntry EntryOf(const QTreeWidgetItem *item) const;
    // The summaries of the selected entries, in list order.
    QList<ConfigEntry> SelectedEntries() const;

    // True when the selected entry is a joint (merge-and-split) file, shown bold.
    bool IsMergeSplitSelected = false;

    // --- commands; the menu items, tool bar keys and list events all come here ---
    void mnuNew_Click();
    void mnuUpdate_Click();
    void mnuRename_Click();
    void mnuDelete_Click();
    void MnSConfig_Click();
    void mnuExit_Click();
    void mnuRefresh_Click();
    void mnuExecute_Click();
    void mnuExecuteJS_Click();
    void mnuAbout_Click();
    void mnuSetDefault_Click() {}
    void mnuOptions_Click() {}
    bool DeleteConfigFile(const QString &ConfigFileName);

    // --- controls, named as the users' documentation names them ---
    QWidget *cbMain = nullptr;
    QToolBar *tbNED = nullptr;
    QToolBar *tbExecute = nullptr;
    QToolBar *tlbJS = nullptr;
    QToolBar *tbRefresh = nullptr;
    QToolBar *tbExit = nullptr;
    QTreeWidget *LVConfig = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuSep1 = nullptr;
    QAction *mnuSetDefault = nullptr;
    QAction *mnuSep2 = nullptr;
    QAction *mnuUpdate = nullptr;
    QAction *mnuRename = nullptr;
    QAction *mnuDelete = nullptr;
    QAction *MnSConfig = nullptr;
    QAction *mnuSep3 = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuToolbar = nullptr;
    QAction *mnuStatusbar = nullptr;
    QAction *mnuSep4 = nullptr;
    QAction *mnuRefresh = nullptr;
    QMenu *mnuRun = nullptr;
    QAction *mnuExecute = nullptr;
    QAction *mnuExecuteJS = nullptr;
    QMenu *mnuTools = nullptr;
    QAction *mnuOptions = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;

private:
    friend class LabelEditDelegate;

    // Frame
    void CreateMenus();
    void CreateToolBars();
    QAction *AddButton(QToolBar *bar, const QString &key, const QString &tooltip, const char *themeIcon,
                       const QString &fallback);
    void ToolbarButtonClick(QToolBar *bar, QAction *button);
    void mnuToolbar_Click();
    void mnuStatusbar_Click();
    bool CreateDirectoryIfMissing(const QString &path, Vb::Error *error);
    void ReportError(const Vb::Error &error);

    // List
    void InstallLabelEditDelegate();
    void CreateListViewHeader();
    void LVConfig_ItemClick();
    void LVConfig_ColumnClick(int column);
    void LVConfig_DblClick();
    // A finished in-place edit of item, which showed oldText and now shows the typed newText.
    void LVConfig_AfterLabelEdit(QTreeWidgetItem *item, const QString &oldText, const QString &newText);
    // The entry the commands act on: the current entry when selected, else the first
    // selected one; null when nothing is selected.
    QTreeWidgetItem *SelectedItem() const;
    bool IsBold(const QTreeWidgetItem *item) const;
    void SortList();

    bool eventFilter(QObject *watched, QEvent *event) override;

    Session &m_session;
    QList<ConfigEntry> m_configEntries;
    // Slot in m_configEntries of each entry, kept on the entry so that sorting keeps them paired.
    static constexpr int EntrySlotRole = Qt::UserRole + 1;
    // Selecting by program must not follow the keys held down (Ctrl+E would toggle).
    static constexpr QItemSelectionModel::SelectionFlags SelectOnly =
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    int m_sortColumn = -1;
    // The first header click toggles this, so it sorts ascending.
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    // Set while the program itself changes the list, so that only the user's selection
    // changes count as clicks on an entry.
    bool m_updatingList = false;
};
