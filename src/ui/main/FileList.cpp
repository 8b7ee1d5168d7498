#include "ui/main/FileList.h"

#include "app/Session.h"
#include "config/ConfigStore.h"
#include "platform/DirectoryWatch.h"
#include "ui/WindowState.h"
#include "ui/main/ConfigListFilter.h"
#include "ui/main/ConfigListModel.h"
#include "ui/main/RunningView.h"
#include "suite/RunRegister.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

#include <utility>

namespace {

// Selecting by program must not follow the keys held down (Ctrl+E would toggle).
constexpr QItemSelectionModel::SelectionFlags SelectOnly = QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;

} // namespace

// Hands a finished in-place edit over with the file of the row that was edited, whatever
// ended the edit. The list keeps showing the file's name: only a rename that succeeds changes
// it. The rename runs after the editor has closed, so that its messages do not open while the
// editor still holds the focus; a command started meanwhile runs it first.
class LabelEditDelegate final : public QStyledItemDelegate
{
public:
    explicit LabelEditDelegate(FileList *list) : QStyledItemDelegate(list), m_list(list) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_editor = editor;
        return editor;
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *edit = qobject_cast<QLineEdit *>(editor);
        if (!edit)
            return QStyledItemDelegate::setModelData(editor, model, index);
        m_pending = Pending{index.data(ConfigListModel::FileNameRole).toString(), edit->text(), true};
        QMetaObject::invokeMethod(m_list, [this] { Finish(); }, Qt::QueuedConnection);
    }

    bool IsEditing() const { return m_editor && m_editor->isVisible(); }
    QLineEdit *Editor() const { return qobject_cast<QLineEdit *>(m_editor.data()); }
    void SetFinisher(const std::function<void()> *finish) { m_finishRef = finish; }

    // Commits an editor still open, then hands over the edit waiting to be applied.
    bool TakePending(QString *fileName, QString *typed)
    {
        if (QWidget *editor = m_editor.data(); editor && editor->isVisible()) {
            m_editor.clear();
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        if (!m_pending.waiting)
            return false;
        *fileName = m_pending.fileName;
        *typed = m_pending.typed;
        m_pending = Pending();
        return true;
    }

private:
    void Finish() const
    {
        if (m_finishRef && *m_finishRef)
            (*m_finishRef)();
    }
    struct Pending
    {
        QString fileName, typed;
        bool waiting = false;
    };
    FileList *m_list;
    const std::function<void()> *m_finishRef = nullptr;
    mutable QPointer<QWidget> m_editor;
    mutable Pending m_pending;
};

FileList::FileList(Session &session, QWidget *window)
    : QObject(window), m_session(session), m_window(window), m_view(new QTreeView(window)),
      m_model(new ConfigListModel(session, *m_view, this)), m_filter(new ConfigListFilter(m_model, this)),
      m_labelEdit(new LabelEditDelegate(this)), m_watch(new DirectoryWatch(this)), m_changeSettle(new QTimer(this)), m_folderRetry(new QTimer(this))
{
    m_view->setObjectName(QStringLiteral("LVConfig"));
    m_view->setModel(m_filter);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Only the rename command starts an in-place edit.
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(false);
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setSortIndicatorShown(false);
    m_view->viewport()->installEventFilter(this);
    m_view->setItemDelegateForColumn(ConfigListModel::FileName, m_labelEdit);
    m_labelEdit->SetFinisher(&m_finishEdit);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_updating)
            emit SelectionChanged();
    });
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &FileList::ShowContextMenu);
    connect(m_view->header(), &QHeaderView::sectionClicked, this, &FileList::ColumnClicked);
    // Rows the filter takes away or gives back change what the commands act on.
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!m_updating)
            emit SelectionChanged();
    });

    m_changeSettle->setObjectName(QStringLiteral("changeSettle")); // its timeouts tell tests a change was seen
    m_changeSettle->setSingleShot(true);
    // Long enough to take in a save's write and rename as one change, short enough to show it at once.
    m_changeSettle->setInterval(100);
    connect(m_watch, &DirectoryWatch::Changed, this, [this](const QSet<QString> &names) {
        m_changedNames.unite(names);
        if (!m_changeSettle->isActive())
            m_changeSettle->start();
    });
    connect(m_watch, &DirectoryWatch::LostTrack, this, [this] {
        m_rereadAll = true;
        if (!m_changeSettle->isActive())
            m_changeSettle->start();
    });
    connect(m_changeSettle, &QTimer::timeout, this, &FileList::ChangesSettled);
    m_folderRetry->setInterval(1000);
    connect(m_folderRetry, &QTimer::timeout, this, [this] {
        m_rereadAll = true;
        if (!m_changeSettle->isActive())
            m_changeSettle->start();
    });
}

FileList::~FileList() = default;

QStringList FileList::Load()
{
    m_model->LoadHeaders();
    m_running = new RunningView(m_session.AppDir(), m_session.ConfigDirectory(), m_session.Texts(), this);
    connect(m_running, &RunningView::Changed, this, [this] {
        m_model->SetRunning(m_running->Summaries());
        SyncOrphanRows();
    });
    connect(m_running, &RunningView::Ended, this, &FileList::Tell);
    m_running->Reload();
    m_loaded = true;
    RestoreLayout();
    return ReadAll();
}

QStringList FileList::ReadAll()
{
    const QScopedValueRollback updating(m_updating, true);
    QStringList problems;
    const QString folder = m_session.ConfigDirectory();
    const Result<ConfigList::Listing> listed = ConfigList::ListFolder(folder);
    // An unreadable folder lists as empty: say so instead of showing an empty list as the truth.
    if (!listed)
        problems << m_session.Text("CS_LIST_FOLDER_UNREADABLE", folder, listed.error().description);
    const ConfigList::Listing listing = listed.value_or({});

    // In list order, as the model keeps its rows; rows that stay keep their place and highlight.
    std::vector<ConfigList::ListedFile> files;
    files.reserve(size_t(listing.files.size()));
    for (const DirectoryListing::Entry &file : listing.files) {
        ConfigList::ListedFile read = ConfigList::ReadFile(folder, file.name, file.kind);
        if (read.presence == ConfigList::ListedFile::Presence::Listed)
            files.push_back(std::move(read));
    }
    // The rows of programs whose file is gone stay, in their place by name.
    for (ConfigList::ListedFile &orphan : OrphanRows()) {
        const auto at = std::lower_bound(files.begin(), files.end(), orphan.entry.FileName,
                                         [](const ConfigList::ListedFile &f, const QString &n) {
                                             return ConfigList::NameLess(f.entry.FileName, n);
                                         });
        files.insert(at, std::move(orphan));
    }
    m_model->SetFiles(std::move(files));
    m_orphanRows = m_running ? m_running->Orphans() : QStringList();
    // One watch on the folder, whatever the number of files: it names each file changed.
    const bool watched = !folder.isEmpty() && m_watch->Watch(folder);
    if (listed && watched)
        m_folderRetry->stop();
    else if (!m_folderRetry->isActive())
        m_folderRetry->start();

    m_folderProblems = problems;
    if (const QStringList unreadable = m_model->Unreadable(); !unreadable.isEmpty())
        problems << m_session.Text("CS_LIST_UNREADABLE_FILES") << unreadable;
    if (listing.leftOut > 0) {
        const QString leftOut = m_session.Text("CS_LIST_LEFT_OUT", QString::number(ConfigList::MaxListed),
                                               QString::number(listing.leftOut));
        problems << leftOut;
        m_folderProblems << leftOut;
    }
    if (!m_columnsFitted && m_model->rowCount() > 0) {
        for (int c = 0; c < ConfigListModel::ColumnCount; ++c)
            m_view->resizeColumnToContents(c);
        m_columnsFitted = true;
    }
    SelectFirstRow();
    return problems;
}

bool FileList::ReadOnly(const QSet<QString> &names)
{
    const QScopedValueRollback updating(m_updating, true);
    const QString folder = m_session.ConfigDirectory();
    const bool wasEmpty = m_model->rowCount() == 0;
    for (const QString &name : names) {
        if (!ConfigStore::IsConfigFileName(name))
            continue;
        ConfigList::ListedFile read = ConfigList::ReadFile(folder, name);
        if (read.presence != ConfigList::ListedFile::Presence::Listed)
            m_model->RemoveFile(name);
        // Which files the list holds at its limit follows from all names: read them all.
        else if (!m_model->SetFile(std::move(read)))
            return false;
    }
    if (wasEmpty && Highlighted().isEmpty())
        SelectFirstRow();
    return true;
}

void FileList::Refresh(Cause cause, const QSet<QString> *only) { Refresh(Highlighted(), Current(), cause, only); }

void FileList::Refresh(const QStringList &highlight, const QString &current, Cause cause, const QSet<QString> *only)
{
    const bool wasEmpty = m_model->rowCount() == 0;
    const int scrolled = m_view->verticalScrollBar()->value();
    QStringList problems;
    if (!only || !ReadOnly(*only))
        problems = ReadAll();
    // Files that appear in an empty list: the first one stays highlighted, as at the load.
    if (!(wasEmpty && highlight.isEmpty()))
        Select(highlight, current);
    emit SelectionChanged();
    // A folder problem is shown only while it lasts.
    if (m_folderProblems.isEmpty() && !m_folderNote.isEmpty() && m_lastOutcome == std::exchange(m_folderNote, {}))
        Tell(QString());
    if (cause != Cause::Command) {
        // Not the user's F5: no window opens; the status bar tells what cannot be read.
        if (cause == Cause::OutsideChange)
            m_view->verticalScrollBar()->setValue(scrolled);
        NoteUnreadable();
        if (!m_folderProblems.isEmpty())
            Tell(m_folderNote = m_folderProblems.join(u' '));
        if (cause == Cause::OutsideChange)
            return;
    }
    if (const int row = m_model->RowOf(Target()); row >= 0)
        m_view->scrollTo(m_filter->mapFromSource(m_model->index(row, 0)));
    m_view->setFocus();
    if (cause == Cause::Command && !problems.isEmpty())
        m_session.MsgBox(m_window, problems.join(QStringLiteral("\r\n")), MsgIcon::Information);
}

void FileList::Select(const QStringList &names, const QString &current)
{
    // Names compare exactly. What cannot be found any more is not highlighted, and nothing
    // else is in its place: no command may act on a row the user did not pick.
    const QScopedValueRollback updating(m_updating, true);
    const QSet<QString> wanted(names.cbegin(), names.cend());
    QItemSelection selection;
    for (const QString &name : wanted) {
        if (const int row = m_model->RowOf(name); row >= 0) {
            const QModelIndex shown = m_filter->mapFromSource(m_model->index(row, 0));
            if (shown.isValid())
                selection.select(shown, shown);
        }
    }
    if (const int row = m_model->RowOf(current); row >= 0) {
        if (const QModelIndex shown = m_filter->mapFromSource(m_model->index(row, 0)); shown.isValid())
            m_view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::NoUpdate);
    }
    m_view->selectionModel()->select(selection, SelectOnly);
}

void FileList::SelectFirstRow()
{
    const QScopedValueRollback updating(m_updating, true);
    if (m_filter->rowCount() > 0)
        m_view->selectionModel()->setCurrentIndex(m_filter->index(0, 0), SelectOnly);
}

QStringList FileList::Highlighted() const
{
    // From the selection's ranges, not by asking every row: the list may hold 32,767.
    QModelIndexList selected = m_view->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex &index : std::as_const(selected))
        names << index.data(ConfigListModel::FileNameRole).toString();
    return names;
}

QString FileList::Current() const { return m_view->currentIndex().data(ConfigListModel::FileNameRole).toString(); }

QString FileList::Target() const
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && m_view->selectionModel()->isRowSelected(current.row()))
        return current.data(ConfigListModel::FileNameRole).toString();
    return Highlighted().value(0);
}

const ConfigList::ListedFile *FileList::FileOf(const QString &name) const
{
    const int row = m_model->RowOf(name);
    return row < 0 ? nullptr : &m_model->File(row);
}

bool FileList::IsOrphanRow(const QString &name) const { return m_orphanRows.contains(name); }

// The orphan rows are programs, not configurations: the counts leave them out.
int FileList::Count() const { return m_model->rowCount() - int(m_orphanRows.size()); }

int FileList::Shown() const
{
    int orphansShown = 0;
    for (const QString &name : m_orphanRows) {
        const int row = m_model->RowOf(name);
        orphansShown += row >= 0 && m_filter->mapFromSource(m_model->index(row, 0)).isValid();
    }
    return m_filter->rowCount() - orphansShown;
}

std::vector<ConfigList::ListedFile> FileList::OrphanRows() const
{
    std::vector<ConfigList::ListedFile> rows;
    if (!m_running)
        return rows;
    for (const QString &name : m_running->Orphans()) {
        ConfigList::ListedFile row;
        // Not a file of the folder: no command but Stop and Show Log acts on it.
        row.presence = ConfigList::ListedFile::Presence::Missing;
        row.entry.FileName = name;
        row.why = Wording("CS_LIST_ORPHANED", {RunningState::OrphanedFileName(name)});
        row.unreadable = row.why.English();
        rows.push_back(std::move(row));
    }
    return rows;
}

void FileList::SyncOrphanRows()
{
    const QStringList now = m_running ? m_running->Orphans() : QStringList();
    if (now == m_orphanRows)
        return;
    {
        const QScopedValueRollback updating(m_updating, true);
        for (const QString &name : std::as_const(m_orphanRows)) {
            if (!now.contains(name))
                m_model->RemoveFile(name);
        }
        for (ConfigList::ListedFile &orphan : OrphanRows()) {
            if (!m_orphanRows.contains(orphan.entry.FileName))
                m_model->SetFile(std::move(orphan));
        }
        m_orphanRows = now;
    }
    emit SelectionChanged();
}

bool FileList::StillAsListed(const QStringList &names)
{
    const QString folder = m_session.ConfigDirectory();
    QSet<QString> changed;
    QStringList gone, rewritten;
    for (const QString &name : names) {
        const ConfigList::FileIdentity now = ConfigList::IdentityOf(folder, name);
        const ConfigList::ListedFile *listed = FileOf(name);
        if (listed && now.SameVersion(listed->identity))
            continue;
        changed.insert(name);
        (now.exists ? rewritten : gone) << name;
    }
    if (changed.isEmpty())
        return true;
    // The list catches up before the user decides again; nothing is done meanwhile.
    Refresh(Cause::AfterCommand, &changed);
    QStringList why;
    if (!gone.isEmpty())
        why << m_session.Text("CS_LIST_GONE", gone.join(QStringLiteral(", ")));
    if (!rewritten.isEmpty())
        why << m_session.Text("CS_LIST_REWRITTEN", rewritten.join(QStringLiteral(", ")));
    Tell(m_session.Text("CS_LIST_NOTHING_DONE", why.join(QStringLiteral("; "))));
    return false;
}

void FileList::StartRename(const QString &name, const QString &typed)
{
    const int row = m_model->RowOf(name);
    const QModelIndex shown = row < 0 ? QModelIndex() : m_filter->mapFromSource(m_model->index(row, 0));
    if (!shown.isValid())
        return;
    m_view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::NoUpdate);
    m_view->edit(shown);
    if (QLineEdit *editor = m_labelEdit->Editor(); editor && !typed.isNull())
        editor->setText(typed);
}

bool FileList::TakeRename(QString *fileName, QString *typed) { return m_labelEdit->TakePending(fileName, typed); }

void FileList::SetFilter(const QString &text, bool runningOnly)
{
    {
        const QScopedValueRollback updating(m_updating, true);
        m_filter->SetFilter(text, runningOnly);
    }
    emit SelectionChanged();
}

void FileList::Tell(const QString &text)
{
    m_lastOutcome = text;
    emit Outcome(text);
}

void FileList::NoteUnreadable()
{
    // Said in the status bar, not in a window: this refresh was not the user's doing.
    const bool noteShown = !m_unreadableNote.isEmpty() && m_lastOutcome == m_unreadableNote;
    const QStringList lines = m_model->Unreadable();
    if (lines.isEmpty()) {
        if (noteShown)
            Tell(QString());
        m_unreadableNote.clear();
        return;
    }
    const QString note = m_session.Text("CS_LIST_UNREADABLE_NOTE", lines.join(QStringLiteral("; ")));
    if (noteShown || note != m_unreadableNote) {
        m_unreadableNote = note;
        Tell(note);
    }
}

void FileList::ColumnClicked(int column)
{
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ApplySort();
    if (const int row = m_model->RowOf(Target()); row >= 0)
        m_view->scrollTo(m_filter->mapFromSource(m_model->index(row, 0)));
}

void FileList::ApplySort()
{
    // Before the user picks a column the list is in the model's name order.
    if (m_sortColumn < 0)
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(m_sortColumn, m_sortOrder);
    m_filter->sort(m_sortColumn, m_sortOrder);
}

void FileList::RestoreLayout()
{
    const QString key = m_window->objectName();
    if (m_view->header()->restoreState(WindowState::Value(key, QStringLiteral("columns")).toByteArray()))
        m_columnsFitted = true;
    const int column = WindowState::Value(key, QStringLiteral("sortColumn"), -1).toInt();
    if (column >= 0 && column < ConfigListModel::ColumnCount) {
        m_sortColumn = column;
        m_sortOrder = WindowState::Value(key, QStringLiteral("sortOrder")).toInt() == Qt::DescendingOrder
                          ? Qt::DescendingOrder
                          : Qt::AscendingOrder;
    }
    ApplySort();
}

void FileList::SaveLayout() const
{
    // Before the load has built the columns there is nothing of the user's to keep.
    if (!m_loaded)
        return;
    const QString key = m_window->objectName();
    WindowState::SetValue(key, QStringLiteral("columns"), m_view->header()->saveState());
    WindowState::SetValue(key, QStringLiteral("sortColumn"), m_sortColumn);
    WindowState::SetValue(key, QStringLiteral("sortOrder"), int(m_sortOrder));
}

void FileList::ChangesSettled()
{
    // The list holds still under an open in-place edit, and under a window, message or menu
    // open over it (whose command may be reading the highlighted rows): it looks again after.
    if (m_labelEdit->IsEditing() || m_held || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_changeSettle->start();
        return;
    }
    const QSet<QString> names = std::exchange(m_changedNames, {});
    const bool whole = std::exchange(m_rereadAll, false);
    Refresh(Cause::OutsideChange, whole ? nullptr : &names);
}

void FileList::ShowContextMenu(const QPoint &at)
{
    if (m_finishEdit)
        m_finishEdit();
    const QPoint global = m_view->viewport()->mapToGlobal(at);
    const QModelIndex index = m_view->indexAt(at);
    // A right click on a row outside the highlight makes it the one row the commands act on.
    if (index.isValid() && !m_view->selectionModel()->isRowSelected(index.row()))
        m_view->selectionModel()->setCurrentIndex(index, SelectOnly);
    emit ContextMenu(global, index.isValid());
}

bool FileList::eventFilter(QObject *watched, QEvent *event)
{
    // Only a double click on a row runs it; the first click has made it the highlighted one.
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QModelIndex index = m_view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        const QString name = index.data(ConfigListModel::FileNameRole).toString();
        if (index.isValid() && name == Target())
            emit Activated(name);
    }
    return QObject::eventFilter(watched, event);
}
