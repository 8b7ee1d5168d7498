#pragma once

#include "config/ConfigListReader.h"

#include <QObject>
#include <QScopedValueRollback>
#include <QSet>
#include <QStringList>

#include <functional>

class ConfigListFilter;
class ConfigListModel;
class DirectoryWatch;
class LabelEditDelegate;
class QTimer;
class QTreeView;
class QWidget;
class RunningView;
class Session;

// The main window's list of the files of lib/: the view (LVConfig) over the model and its
// filter, kept in step with the folder. It reads the folder, follows changes made outside,
// keeps highlight, sort and layout, and tells which files the highlighted rows are. It runs
// no command: it offers the in-place edit and hands the typed name over.
class FileList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)
public:
    // window: the parent of the view and the asker of the list's messages.
    FileList(Session &session, QWidget *window);
    ~FileList() override;

    QTreeView *View() const { return m_view; }

    // Headers, running column, remembered layout, and the whole folder read. Returns one line
    // per problem (files that cannot be read, files left out, a folder that cannot be read).
    QStringList Load();
    // F5 (Command) reports problems in a message; after a command (AfterCommand) or a change
    // made outside (OutsideChange, which also keeps the scrolling) no window opens. With only,
    // just those files are read again. highlight and current name the rows to keep.
    enum class Cause { Command, AfterCommand, OutsideChange };
    void Refresh(const QStringList &highlight, const QString &current, Cause cause,
                 const QSet<QString> *only = nullptr);
    // The same, keeping what is highlighted now.
    void Refresh(Cause cause, const QSet<QString> *only = nullptr);

    // The files of the rows the user sees highlighted, in list order.
    QStringList Highlighted() const;
    QString Current() const;
    // The row the single-row commands act on: the current row when highlighted, else the
    // first highlighted one; "" when nothing is highlighted.
    QString Target() const;
    // The file as listed, or null when no row holds it.
    const ConfigList::ListedFile *FileOf(const QString &name) const;
    // True for a row of programs whose configuration file was deleted: only Stop and Show
    // Log act on it.
    bool IsOrphanRow(const QString &name) const;
    int Count() const;
    int Shown() const;
    // True when every file named is still the version listed (same inode, size and time).
    // Otherwise the list catches up with those files, says what happened, and the command
    // must do nothing.
    bool StillAsListed(const QStringList &names);

    // Starts the in-place edit of the file's name, holding typed when given (a refused name
    // given back for correction). finish runs once an edit ended (queued), and before a row's
    // menu opens.
    void StartRename(const QString &name, const QString &typed = QString());
    void SetEditFinisher(std::function<void()> finish) { m_finishEdit = std::move(finish); }
    // Ends an edit still open; the file edited and the text typed, when there is one to apply.
    bool TakeRename(QString *fileName, QString *typed);

    void SetFilter(const QString &text, bool runningOnly);
    // While held (a command's window open) changes made outside wait.
    [[nodiscard]] QScopedValueRollback<bool> HoldStill() { return QScopedValueRollback<bool>(m_held, true); }
    RunningView *Running() const { return m_running; }
    // The status bar's account of the last command or change; every one passes here.
    void Tell(const QString &text);
    void SaveLayout() const;

signals:
    // The highlight or the rows changed: what the commands act on may have.
    void SelectionChanged();
    void Outcome(const QString &text);
    // A double click on the highlighted row.
    void Activated(const QString &name);
    // A right click: on a row (now highlighted) or on the empty space.
    void ContextMenu(const QPoint &global, bool onRow);

private:
    QStringList ReadAll();
    bool ReadOnly(const QSet<QString> &names);
    void Select(const QStringList &names, const QString &current);
    void SelectFirstRow();
    void NoteUnreadable();
    // The rows of programs whose file is gone, as the register tells them now.
    std::vector<ConfigList::ListedFile> OrphanRows() const;
    void SyncOrphanRows();
    void ColumnClicked(int column);
    void ApplySort();
    void RestoreLayout();
    void ChangesSettled();
    void ShowContextMenu(const QPoint &at);
    bool eventFilter(QObject *watched, QEvent *event) override;

    Session &m_session;
    QWidget *m_window;
    QTreeView *m_view;
    ConfigListModel *m_model;
    ConfigListFilter *m_filter;
    LabelEditDelegate *m_labelEdit;
    std::function<void()> m_finishEdit;
    RunningView *m_running = nullptr;
    DirectoryWatch *m_watch;
    // Started by the first change of a burst, not by the later ones: one update per burst,
    // shortly after the first change.
    QTimer *m_changeSettle;
    // While the folder cannot be read or watched (removed, a restore or mount under way): a
    // look each second, so that it is listed again by itself when it is back.
    QTimer *m_folderRetry;
    // The folder problem last told in the status bar, taken away once it is gone.
    QString m_folderNote;
    // The files changed since the last update, and whether the watch lost track (all are read).
    QSet<QString> m_changedNames;
    bool m_rereadAll = false;
    // What the last whole read found wrong with the folder (unreadable, files left out).
    QStringList m_folderProblems;
    // The status bar's note of unreadable files, as last given.
    QString m_unreadableNote;
    QString m_lastOutcome;
    // The orphan rows the model holds.
    QStringList m_orphanRows;
    int m_sortColumn = -1;
    // The first header click toggles this, so it sorts ascending.
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    // Set while the program itself changes the list: one SelectionChanged at the end.
    bool m_updating = false;
    bool m_held = false;
    bool m_loaded = false;
    // Columns are fitted to their contents once there are contents; later the user's widths stay.
    bool m_columnsFitted = false;
};
