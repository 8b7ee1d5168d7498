#pragma once

#include "platform/Result.h"

#include <QMainWindow>

class FileList;
class MainCommands;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class Session;
class ElidedLabel;

// The main window: its frame (menus, tool bars, the filter, the list, the status bar) and the
// wiring of its actions to the commands (MainCommands) and of the list (FileList) to both.
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

    // The configuration the row commands act on: the file name and path of the current row
    // when highlighted, else of the first highlighted row; both empty without one.
    QString SelectedConfigName() const;
    QString SelectedConfigPath() const;

private:
    void CreateMenus();
    void CreateToolBars();
    // Puts a menu command on a tool bar, with its picture and tool tip: localised by tipLabel,
    // else the fixed tooltip.
    void AddButton(QToolBar *bar, QAction *command, const char *tipLabel, const char *themeIcon,
                   const QString &fallback);
    void CreateFilterRow(QWidget *central);
    void CreateStatusBar();
    void BindCommands();
    // The status bar's count of the rows, and of those shown while a filter is typed.
    void ShowCount();
    void ReportError(const Failure &error);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    Session &m_session;
    FileList *m_list;
    MainCommands *m_commands;

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

    QLabel *m_countLabel = nullptr;
    ElidedLabel *m_outcomeLabel = nullptr;
    QPushButton *m_stopCancel = nullptr;
};
