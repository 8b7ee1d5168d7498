#pragma once

#include "config/ConfigListReader.h"
#include "config/ConfigRecord.h"
#include "platform/VbText.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QSet>
#include <QList>
#include <QMainWindow>

class QAction;
class DirectoryWatch;
class QCheckBox;
class QPushButton;
class RunningView;
class RunStopper;
struct RunRecord;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTimer;
class QTreeWidgetItem;
class Session;
class LabelEditDelegate;
class ElidedLabel;

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
    // a folder that cannot be made leaves the window as far as it was set up, to be shown
    // all the same. False when the program was ended meanwhile: the window is not to be shown.
    bool Load();

    // The configuration the row commands act on: the selected row's file name and path;
    // both empty without one.
    const QString &SelectedConfigName() const { return m_selectedConfigName; }
    const QString &SelectedConfigPath() const { return m_selectedConfigPath; }

private:
    friend class LabelEditDelegate;

    // Enables each command exactly when the highlighted rows are what it acts on: Update
    // one row, Rename and Delete any, Run one readable row, Merge and Split two readable rows.
    void HandleCoolBar();
    // Reads the whole lib directory into the list and highlights the first row. Rows of files
    // still there keep their items (updated where the file changed), so a refresh of a large
    // folder costs its reading. A file that cannot be read is listed all the same, greyed with
    // the reason as tooltip; returns one line per problem (such files, files left out, a folder
    // that cannot be read).
    QStringList FillListView();
    // Reads only the files named and adds, updates or removes their rows in place, keeping
    // highlight, current row, sort and filter. False when the list is at its limit and a new
    // file came: then only a whole read can tell which files it holds.
    bool UpdateRows(const QSet<QString> &names);
    // Shows a file's values in its row; with what the row showed before, only when they differ.
    // True when the row changed.
    bool ShowRow(QTreeWidgetItem *item, const ConfigList::ListedFile &file, const ConfigList::ListedFile *shown) const;
    QTreeWidgetItem *NewRow() const;
    // Puts a new or changed row where the sort order wants it.
    void PlaceRow(QTreeWidgetItem *item, bool isNew);
    bool RowBefore(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const;
    void SelectFirstVisibleRow();
    // True when every row's file is still the version listed (same inode, size and time).
    // Otherwise the list catches up with those files, the status bar says what happened, and
    // the command must do nothing.
    bool StillAsListed(const QList<QTreeWidgetItem *> &rows);
    // The status bar names the files that cannot be read after a refresh the user did not
    // ask for, and drops that note once they all can.
    void NoteUnreadable();

    // The summary behind a list entry (its file as read by the last fill).
    ConfigEntry EntryOf(const QTreeWidgetItem *item) const;
    // The summaries of the highlighted readable entries, in list order.
    QList<ConfigEntry> SelectedEntries() const;
    // Why the entry's file could not be read, or "" for a readable one.
    static QString UnreadableReason(const QTreeWidgetItem *item);

    // True when the highlighted entry is a joint (merge-and-split) file, shown bold.
    bool IsMergeSplitSelected = false;
    QString m_selectedConfigName;
    QString m_selectedConfigPath;

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
    void mnuStop_Click();
    void mnuShowLog_Click();
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
    // Shows only the rows holding its text; Ctrl+F comes here, Escape empties it.
    QLineEdit *txtFilter = nullptr;
    // Shows only the configurations with something running.
    QCheckBox *chkRunningOnly = nullptr;
    QTreeWidget *LVConfig = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // The context menus of a row and of the list's empty space.
    QMenu *mnuRowContext = nullptr;
    QMenu *mnuListContext = nullptr;

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
    QAction *mnuStop = nullptr;
    QAction *mnuShowLog = nullptr;
    QMenu *mnuTools = nullptr;
    QAction *mnuOptions = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;


    // Running programs (frmConfigurationSelectorRunning.cpp)
    void CreateRunningState();
    // True when "Running only" is ticked and nothing runs for the row.
    bool HiddenAsNotRunning(const QTreeWidgetItem *item) const;
    // Fills the running column of every row from the register's last reading.
    void ShowRunningState();
    // Before another start of the configuration at path, of which running runs: true when the
    // user wants it.
    bool ConfirmSecondStart(const QString &path, const QList<RunRecord> &running);
    RunningView *m_running = nullptr;
    RunStopper *m_stopper = nullptr;
    QPushButton *m_stopCancel = nullptr;

    // Frame
    void CreateMenus();
    void CreateToolBars();
    // Puts a menu command on a tool bar, with its picture and tool tip: localised by tipLabel,
    // else the fixed tooltip.
    void AddButton(QToolBar *bar, QAction *command, const char *tipLabel, const char *themeIcon,
                   const QString &fallback, const QString &tooltip = QString());
    void mnuToolbar_Click();
    void mnuStatusbar_Click();
    void ReportError(const Failure &error);
    void ReportListProblems(const QStringList &problems);
    // The status bar's account of the last command.
    void ShowOutcome(const QString &text);

    // List
    void InstallLabelEditDelegate();
    void CreateListViewHeader();
    void LVConfig_ItemClick();
    void LVConfig_ColumnClick(int column);
    void LVConfig_DblClick(const QPoint &at);
    void LVConfig_ContextMenu(const QPoint &at);
    // A finished in-place edit: the file fileName (the edited row's own) is to be named typed.
    void LVConfig_AfterLabelEdit(const QString &fileName, const QString &typed);
    // Ends an in-place edit that is still open and applies its rename now, so that a command
    // started meanwhile sees the files as they are.
    void FinishLabelEdit();
    // The rows the user sees highlighted, in list order.
    QList<QTreeWidgetItem *> HighlightedItems() const;
    QStringList HighlightedNames() const;
    // The row the single-row commands act on: the current row when highlighted, else the
    // first highlighted one; null when nothing is highlighted.
    QTreeWidgetItem *SelectedItem() const;
    // The selection state follows the highlighted row.
    void SyncSelection();
    // Fills the list anew and highlights the files named, current the one with the focus.
    // A command's refresh takes the focus to the list and reports problems in a message; a
    // change made outside leaves the focus and the scrolling alone and reports in the status bar.
    // F5 (Command) reports problems in a message; after a command (AfterCommand) or a change
    // made outside (OutsideChange, which also keeps the scrolling) no window opens. With only,
    // just those files are read again.
    enum class RefreshCause { Command, AfterCommand, OutsideChange };
    void RefreshList(const QStringList &highlight, const QString &current,
                     RefreshCause cause = RefreshCause::Command, const QSet<QString> *only = nullptr);
    // Watches the lib directory, so that changes made outside show by themselves.
    void WatchConfigDirectory();
    // Files of lib were changed: their rows are updated once the burst settles.
    void ConfigFilesChanged(const QSet<QString> &names);
    // A burst of changes on disk has settled: refreshes, unless the user is in the middle of
    // something the list must hold still for (an in-place rename, a window or menu open).
    void ConfigDirectoryChanged();
    // Hides the rows that do not hold the filter's text; a hidden row is never highlighted.
    void ApplyFilter();
    void FilterRow(QTreeWidgetItem *item);
    bool MatchesFilter(const QTreeWidgetItem *item) const;
    void RestoreListLayout();
    void SaveListLayout() const;
    QString FileNameOf(const QTreeWidgetItem *item) const;
    bool IsBold(const QTreeWidgetItem *item) const;
    void SortList();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

    Session &m_session;
    // Each listed file by name: its row and what was read of it.
    struct ListRow
    {
        QTreeWidgetItem *item = nullptr;
        ConfigList::ListedFile file;
    };
    QHash<QString, ListRow> m_rows;
    // The listed files that cannot be read.
    QSet<QString> m_unreadable;
    // The status bar's note of them, as last shown.
    QString m_unreadableNote;
    // What the last whole read found wrong with the folder (unreadable, files left out).
    QStringList m_folderProblems;
    // Why the entry's file could not be read; absent for a readable file.
    static constexpr int UnreadableRole = Qt::UserRole + 2;
    // Selecting by program must not follow the keys held down (Ctrl+E would toggle).
    static constexpr QItemSelectionModel::SelectionFlags SelectOnly =
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    int m_sortColumn = -1;
    // The first header click toggles this, so it sorts ascending.
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    // Set while the program itself changes the list, so that only the user's selection
    // changes count as clicks on an entry.
    bool m_updatingList = false;
    // Set while a command's window is open. Between the window closing and the command going
    // on, the event loop may still run: a refresh then would overwrite the selection through
    // which the window reports what it saved.
    bool m_commandWindowOpen = false;
    LabelEditDelegate *m_labelEdit = nullptr;
    // Enter on the list opens the highlighted row.
    QAction *m_openRow = nullptr;
    QLabel *m_countLabel = nullptr;
    ElidedLabel *m_outcomeLabel = nullptr;
    // Columns are fitted to their contents once there are contents; later the user's widths stay.
    bool m_columnsFitted = false;
    DirectoryWatch *m_watch = nullptr;
    // The files changed since the last update, and whether the watch lost track (all are read).
    QSet<QString> m_changedNames;
    bool m_rereadAll = false;
    // Started by the first change of a burst, not by the later ones: one update per burst,
    // shortly after the first change.
    QTimer *m_changeSettle = nullptr;
};
