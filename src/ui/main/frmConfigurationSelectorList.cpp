// The main window's list of configuration files: how it is built from the lib directory,
// and its own events (selection, header click, in-place rename, double click).
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "config/ConfigFileRename.h"
#include "config/ConfigListReader.h"
#include "config/ConfigStore.h"
#include "platform/DirectoryWatch.h"
#include "platform/FileIo.h"
#include "platform/Result.h"
#include "ui/ElidedLabel.h"
#include "ui/WindowState.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>
#include <utility>

namespace {

enum Column { ColFilename, ColApplication, ColDsn, ColDatabase, ColUser, ColBusComponent, ColLogDirectory };

class ConfigItem final : public QTreeWidgetItem
{
public:
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return ConfigList::NameLess(text(column), other.text(column));
    }
};

} // namespace

// Hands a finished in-place edit to the window with the file of the row that was edited,
// whatever ended the edit. The list keeps showing the file's name: only a rename that
// succeeds changes it. The rename runs after the editor has closed, so that its messages do
// not open while the editor still holds the focus; a command started meanwhile runs it first.
class LabelEditDelegate final : public QStyledItemDelegate
{
public:
    explicit LabelEditDelegate(frmConfigurationSelector *window) : QStyledItemDelegate(window), m_window(window) {}

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
        m_pending = Pending{m_window->FileNameOf(m_window->LVConfig->topLevelItem(index.row())), edit->text(), true};
        QMetaObject::invokeMethod(m_window, [window = m_window] { window->FinishLabelEdit(); }, Qt::QueuedConnection);
    }

    bool IsEditing() const { return m_editor && m_editor->isVisible(); }

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
    struct Pending
    {
        QString fileName, typed;
        bool waiting = false;
    };
    frmConfigurationSelector *m_window;
    mutable QPointer<QWidget> m_editor;
    mutable Pending m_pending;
};

void frmConfigurationSelector::InstallLabelEditDelegate()
{
    m_labelEdit = new LabelEditDelegate(this);
    LVConfig->setItemDelegateForColumn(ColFilename, m_labelEdit);
}

void frmConfigurationSelector::FinishLabelEdit()
{
    QString fileName, typed;
    if (m_labelEdit->TakePending(&fileName, &typed))
        LVConfig_AfterLabelEdit(fileName, typed);
}

void frmConfigurationSelector::CreateListViewHeader()
{
    static const char *const labels[] = {"SLBL0351", "SLBL0025", "SLBL0352", "SLBL0135",
                                         "SLBL0353", "SLBL0355", "SLBL0354"};
    QStringList headers;
    for (const char *label : labels)
        headers << m_session.GetText(QLatin1String(label));
    LVConfig->setColumnCount(int(headers.size()));
    LVConfig->setHeaderLabels(headers);
}

QStringList frmConfigurationSelector::FillListView()
{
    const QScopedValueRollback updating(m_updatingList, true);
    QStringList problems;
    const QString folder = m_session.ConfigDirectory();
    const Result<ConfigList::Listing> listed = ConfigList::ListFolder(folder);
    // An unreadable folder lists as empty: say so instead of showing an empty list as the truth.
    if (!listed)
        problems << QStringLiteral("The folder \"%1\" cannot be read: %2").arg(folder, listed.error().description);
    const ConfigList::Listing listing = listed.value_or({});

    // Rows that stay keep their items, so that a refresh costs what changed; no repaint and
    // no sorting until the whole folder is read.
    LVConfig->setUpdatesEnabled(false);
    const bool wasEmpty = m_rows.isEmpty();
    QHash<QString, ListRow> kept;
    kept.reserve(listing.files.size());
    QList<QTreeWidgetItem *> added;
    bool changed = false;
    for (const DirectoryListing::Entry &file : listing.files) {
        ConfigList::ListedFile read = ConfigList::ReadFile(folder, file.name, file.kind);
        if (read.presence != ConfigList::ListedFile::Presence::Listed)
            continue;
        ListRow row = m_rows.take(file.name);
        if (!row.item) {
            row.item = NewRow();
            added.append(row.item);
            ShowRow(row.item, read, nullptr);
        } else if (ShowRow(row.item, read, &row.file)) {
            changed = true;
        }
        row.file = std::move(read);
        kept.insert(file.name, std::move(row));
    }
    // What is left is gone from the folder.
    if (!m_rows.isEmpty()) {
        if (kept.isEmpty()) {
            LVConfig->clear();
        } else {
            for (const ListRow &row : std::as_const(m_rows))
                delete row.item;
        }
    }
    m_rows = std::move(kept);
    m_unreadable.clear();
    QStringList unreadable;
    for (const DirectoryListing::Entry &file : listing.files) {
        const auto row = m_rows.constFind(file.name);
        if (row != m_rows.cend() && !row->file.unreadable.isEmpty()) {
            m_unreadable.insert(file.name);
            unreadable << file.name + QStringLiteral(": ") + row->file.unreadable;
        }
    }
    // The entries are added in one go: one by one, a large directory takes seconds.
    LVConfig->addTopLevelItems(added);
    // The folder is read in name order: a first fill in that order needs no sorting.
    if (changed || !added.isEmpty())
        if (!(wasEmpty && m_sortColumn < 0))
            SortList();
    ApplyFilter();
    LVConfig->setUpdatesEnabled(true);
    WatchConfigDirectory();

    m_folderProblems = problems;
    if (!unreadable.isEmpty())
        problems << QStringLiteral("These configuration files cannot be read; they are listed greyed:") << unreadable;
    if (listing.leftOut > 0) {
        const QString leftOut = QStringLiteral("The list holds at most %1 configuration files: %2 more were left out.")
                                    .arg(ConfigList::MaxListed)
                                    .arg(listing.leftOut);
        problems << leftOut;
        m_folderProblems << leftOut;
    }

    if (!m_columnsFitted && !added.isEmpty()) {
        for (int c = 0; c < LVConfig->columnCount(); ++c)
            LVConfig->resizeColumnToContents(c);
        m_columnsFitted = true;
    }
    SelectFirstVisibleRow();
    SyncSelection();
    HandleCoolBar();
    return problems;
}

void frmConfigurationSelector::SelectFirstVisibleRow()
{
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
        if (QTreeWidgetItem *first = LVConfig->topLevelItem(i); !first->isHidden()) {
            LVConfig->setCurrentItem(first, 0, SelectOnly);
            break;
        }
    }
}

QTreeWidgetItem *frmConfigurationSelector::NewRow() const
{
    auto *item = new ConfigItem;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

bool frmConfigurationSelector::ShowRow(QTreeWidgetItem *item, const ConfigList::ListedFile &file,
                                       const ConfigList::ListedFile *shown) const
{
    const ConfigEntry &e = file.entry;
    if (shown && shown->shownProduct == file.shownProduct && shown->entry.Dsn == e.Dsn
        && shown->database == file.database && shown->entry.User == e.User
        && shown->busComponent == file.busComponent && shown->logDirectory == file.logDirectory
        && shown->joint == file.joint && shown->unreadable == file.unreadable
        && shown->PasswordReadableByOthers() == file.PasswordReadableByOthers())
        return false;
    const QString columns[] = {e.FileName, m_session.AppName(file.shownProduct), e.Dsn, file.database,
                               e.User, file.busComponent, file.logDirectory};
    for (int c = 0; c < int(std::size(columns)); ++c)
        item->setText(c, columns[c]);
    if (!shown || shown->joint != file.joint) {
        QFont font = item->font(ColFilename);
        font.setBold(file.joint);
        item->setFont(ColFilename, font);
    }
    // Listed all the same, so that it can be seen, opened, renamed or deleted.
    const QString &reason = file.unreadable;
    item->setData(ColFilename, UnreadableRole, reason.isEmpty() ? QVariant() : QVariant(reason));
    const QVariant grey = reason.isEmpty() ? QVariant()
                                           : QVariant(LVConfig->palette().brush(QPalette::Disabled, QPalette::Text));
    QString tip = reason;
    QIcon icon;
    if (!reason.isEmpty())
        icon = LVConfig->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    if (file.PasswordReadableByOthers()) {
        if (icon.isNull())
            icon = QIcon::fromTheme(QStringLiteral("dialog-password"),
                                    LVConfig->style()->standardIcon(QStyle::SP_MessageBoxInformation));
        tip += QLatin1String(tip.isEmpty() ? "" : "\n")
             + QStringLiteral("The stored password is readable by every local account (mode %1): "
                              "take others' read permission away (chmod o-r).")
                   .arg(file.identity.mode & 0777, 3, 8, QChar(u'0'));
    }
    item->setIcon(ColFilename, icon);
    for (int c = 0; c < int(std::size(columns)); ++c) {
        item->setData(c, Qt::ForegroundRole, grey);
        item->setToolTip(c, tip);
    }
    return true;
}

bool frmConfigurationSelector::RowBefore(const QTreeWidgetItem *a, const QTreeWidgetItem *b) const
{
    const int column = m_sortColumn < 0 ? ColFilename : m_sortColumn;
    const bool ascending = m_sortColumn < 0 || m_sortOrder == Qt::AscendingOrder;
    return ascending ? ConfigList::NameLess(a->text(column), b->text(column))
                     : ConfigList::NameLess(b->text(column), a->text(column));
}

void frmConfigurationSelector::PlaceRow(QTreeWidgetItem *item, bool isNew)
{
    if (!isNew) {
        const int at = LVConfig->indexOfTopLevelItem(item);
        const QTreeWidgetItem *before = at > 0 ? LVConfig->topLevelItem(at - 1) : nullptr;
        const QTreeWidgetItem *after = LVConfig->topLevelItem(at + 1);
        if ((!before || !RowBefore(item, before)) && (!after || !RowBefore(after, item)))
            return;
    }
    const bool selected = !isNew && item->isSelected();
    const bool current = !isNew && LVConfig->currentItem() == item;
    if (!isNew)
        LVConfig->takeTopLevelItem(LVConfig->indexOfTopLevelItem(item));
    int lo = 0, hi = LVConfig->topLevelItemCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (RowBefore(item, LVConfig->topLevelItem(mid)))
            hi = mid;
        else
            lo = mid + 1;
    }
    LVConfig->insertTopLevelItem(lo, item);
    if (current)
        LVConfig->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    item->setSelected(selected);
}

bool frmConfigurationSelector::UpdateRows(const QSet<QString> &names)
{
    const QScopedValueRollback updating(m_updatingList, true);
    const QString folder = m_session.ConfigDirectory();
    const bool wasEmpty = m_rows.isEmpty();
    for (const QString &name : names) {
        if (!ConfigStore::IsConfigFileName(name))
            continue;
        ConfigList::ListedFile read = ConfigList::ReadFile(folder, name);
        auto row = m_rows.find(name);
        if (read.presence != ConfigList::ListedFile::Presence::Listed) {
            if (row != m_rows.end()) {
                delete row->item;
                m_rows.erase(row);
                m_unreadable.remove(name);
            }
            continue;
        }
        // Which files the list holds at its limit follows from all names: read them all.
        if (row == m_rows.end() && m_rows.size() >= ConfigList::MaxListed)
            return false;
        if (row == m_rows.end()) {
            row = m_rows.insert(name, {NewRow(), {}});
            ShowRow(row->item, read, nullptr);
            PlaceRow(row->item, true);
        } else if (ShowRow(row->item, read, &row->file)) {
            PlaceRow(row->item, false);
        }
        if (read.unreadable.isEmpty())
            m_unreadable.remove(name);
        else
            m_unreadable.insert(name);
        row->file = std::move(read);
        FilterRow(row->item);
    }
    if (wasEmpty && HighlightedItems().isEmpty())
        SelectFirstVisibleRow();
    SyncSelection();
    HandleCoolBar();
    return true;
}

bool frmConfigurationSelector::StillAsListed(const QList<QTreeWidgetItem *> &rows)
{
    const QString folder = m_session.ConfigDirectory();
    QSet<QString> changed;
    QStringList gone, rewritten;
    for (const QTreeWidgetItem *item : rows) {
        const QString name = FileNameOf(item);
        const ConfigList::FileIdentity now = ConfigList::IdentityOf(folder, name);
        if (now.SameVersion(m_rows.value(name).file.identity))
            continue;
        changed.insert(name);
        (now.exists ? rewritten : gone) << name;
    }
    if (changed.isEmpty())
        return true;
    // The list catches up before the user decides again; nothing is done meanwhile.
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::AfterCommand, &changed);
    QStringList why;
    if (!gone.isEmpty())
        why << QStringLiteral("%1 no longer in the folder").arg(gone.join(QStringLiteral(", ")));
    if (!rewritten.isEmpty())
        why << QStringLiteral("%1 changed since it was listed").arg(rewritten.join(QStringLiteral(", ")));
    ShowOutcome(QStringLiteral("Nothing done: %1. The list now shows the folder as it is.")
                    .arg(why.join(QStringLiteral("; "))));
    return false;
}

void frmConfigurationSelector::NoteUnreadable()
{
    // Said in the status bar, not in a window: this refresh was not the user's doing.
    const bool noteShown = !m_unreadableNote.isEmpty() && m_outcomeLabel->FullText() == m_unreadableNote;
    QStringList names = m_unreadable.values();
    if (names.isEmpty()) {
        if (noteShown)
            ShowOutcome(QString());
        m_unreadableNote.clear();
        return;
    }
    std::sort(names.begin(), names.end(), ConfigList::NameLess);
    QStringList lines;
    for (const QString &name : std::as_const(names))
        lines << name + QStringLiteral(": ") + m_rows.value(name).file.unreadable;
    const QString note = QStringLiteral("Cannot be read, listed greyed: ") + lines.join(QStringLiteral("; "));
    if (noteShown || note != m_unreadableNote) {
        m_unreadableNote = note;
        ShowOutcome(note);
    }
}

ConfigEntry frmConfigurationSelector::EntryOf(const QTreeWidgetItem *item) const
{
    return item ? m_rows.value(item->text(ColFilename)).file.entry : ConfigEntry();
}

QList<ConfigEntry> frmConfigurationSelector::SelectedEntries() const
{
    QList<ConfigEntry> entries;
    for (const QTreeWidgetItem *item : HighlightedItems()) {
        if (UnreadableReason(item).isEmpty())
            entries.append(EntryOf(item));
    }
    return entries;
}

QString frmConfigurationSelector::UnreadableReason(const QTreeWidgetItem *item)
{
    return item ? item->data(ColFilename, UnreadableRole).toString() : QString();
}

QString frmConfigurationSelector::FileNameOf(const QTreeWidgetItem *item) const
{
    return item ? item->text(ColFilename) : QString();
}

QList<QTreeWidgetItem *> frmConfigurationSelector::HighlightedItems() const
{
    // From the selection's ranges, not by asking every row: the list may hold 32,767.
    QModelIndexList selected = LVConfig->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<QTreeWidgetItem *> items;
    for (const QModelIndex &index : std::as_const(selected)) {
        // A row the filter hides is never acted on.
        if (QTreeWidgetItem *item = LVConfig->topLevelItem(index.row()); item && !item->isHidden())
            items.append(item);
    }
    return items;
}

QStringList frmConfigurationSelector::HighlightedNames() const
{
    QStringList names;
    for (const QTreeWidgetItem *item : HighlightedItems())
        names << FileNameOf(item);
    return names;
}

QTreeWidgetItem *frmConfigurationSelector::SelectedItem() const
{
    QTreeWidgetItem *current = LVConfig->currentItem();
    if (current && current->isSelected() && !current->isHidden())
        return current;
    const QList<QTreeWidgetItem *> highlighted = HighlightedItems();
    return highlighted.isEmpty() ? nullptr : highlighted.first();
}

void frmConfigurationSelector::SyncSelection()
{
    const QTreeWidgetItem *item = SelectedItem();
    IsMergeSplitSelected = item && IsBold(item);
    m_selectedConfigName = FileNameOf(item);
    m_selectedConfigPath = item ? m_session.ConfigDirectory() + u'/' + m_selectedConfigName : QString();
}

bool frmConfigurationSelector::IsBold(const QTreeWidgetItem *item) const
{
    return item->font(ColFilename).bold();
}

void frmConfigurationSelector::SortList()
{
    // Before the user picks a column the list is in name order.
    if (m_sortColumn < 0) {
        LVConfig->sortItems(ColFilename, Qt::AscendingOrder);
        return;
    }
    LVConfig->header()->setSortIndicatorShown(true);
    LVConfig->sortItems(m_sortColumn, m_sortOrder);
}

void frmConfigurationSelector::LVConfig_ItemClick()
{
    SyncSelection();
    HandleCoolBar();
}

void frmConfigurationSelector::LVConfig_ColumnClick(int column)
{
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    const QScopedValueRollback updating(m_updatingList, true);
    SortList();
    if (QTreeWidgetItem *item = SelectedItem())
        LVConfig->scrollToItem(item);
}

void frmConfigurationSelector::LVConfig_AfterLabelEdit(const QString &fileName, const QString &typed)
{
    if (fileName.isEmpty() || typed == fileName)
        return;
    const QString newName = ConfigStore::StoredConfigFileName(typed);
    QString why;
    if (newName.isEmpty()) {
        why = QStringLiteral("no name");
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0154")), MsgIcon::Critical);
    } else if (!FileIo::IsValidFileName(newName)) {
        why = QStringLiteral("a character a file name cannot hold");
        m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0357")), MsgIcon::Critical);
    } else if (newName == fileName) {
        // Typing the name without its extension names the same file: nothing to move.
        return;
    } else if (QTreeWidgetItem *row = m_rows.value(fileName).item; !row || !StillAsListed({row})) {
        // Moved or changed meanwhile: the list has caught up and says so.
        return;
    } else {
        if (const Result<void> renamed = RenameConfigFile(m_session.ConfigDirectory(), fileName, newName); !renamed)
            why = renamed.error().description;
        if (!why.isEmpty())
            m_session.MsgBox(this, why);
    }
    if (!why.isEmpty()) {
        ShowOutcome(QStringLiteral("%1 not renamed: %2").arg(fileName, why));
        return;
    }
    ShowOutcome(QStringLiteral("%1 renamed to %2").arg(fileName, newName));
    // The list is read again, sorted, and keeps what was highlighted, the renamed row under its new name.
    QStringList highlight = HighlightedNames();
    QString current = FileNameOf(LVConfig->currentItem());
    for (QString &name : highlight) {
        if (name == fileName)
            name = newName;
    }
    if (current == fileName)
        current = newName;
    const QSet<QString> moved{fileName, newName};
    RefreshList(highlight, current, RefreshCause::AfterCommand, &moved);
}

void frmConfigurationSelector::LVConfig_DblClick(const QPoint &at)
{
    // Only a double click on a row runs it; the first click has made it the highlighted one.
    const QTreeWidgetItem *item = LVConfig->itemAt(at);
    if (!item || SelectedItem() != item)
        return;
    if (mnuExecute->isEnabled())
        mnuExecute_Click();
    else if (const QString why = UnreadableReason(item); !why.isEmpty())
        ShowOutcome(QStringLiteral("%1 cannot be run: %2").arg(FileNameOf(item), why));
}

void frmConfigurationSelector::LVConfig_ContextMenu(const QPoint &at)
{
    FinishLabelEdit();
    const QPoint global = LVConfig->viewport()->mapToGlobal(at);
    QTreeWidgetItem *item = LVConfig->itemAt(at);
    if (!item) {
        mnuListContext->popup(global);
        return;
    }
    // A right click on a row outside the highlight makes it the one row the commands act on.
    if (!item->isSelected())
        LVConfig->setCurrentItem(item, 0, SelectOnly);
    mnuRowContext->popup(global);
}

bool frmConfigurationSelector::MatchesFilter(const QTreeWidgetItem *item) const
{
    if (HiddenAsNotRunning(item))
        return false;
    const QString text = txtFilter->text();
    for (const int column : {ColFilename, ColApplication, ColDsn, ColDatabase, ColUser}) {
        if (item->text(column).contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void frmConfigurationSelector::FilterRow(QTreeWidgetItem *item)
{
    const bool hide = !MatchesFilter(item);
    if (item->isHidden() != hide)
        item->setHidden(hide);
    if (hide && item->isSelected())
        item->setSelected(false);
}

void frmConfigurationSelector::ApplyFilter()
{
    const QScopedValueRollback updating(m_updatingList, true);
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i)
        FilterRow(LVConfig->topLevelItem(i));
}

void frmConfigurationSelector::WatchConfigDirectory()
{
    // One watch on the folder, whatever the number of files: it names each file changed.
    if (!m_session.ConfigDirectory().isEmpty())
        m_watch->Watch(m_session.ConfigDirectory());
}

void frmConfigurationSelector::ConfigFilesChanged(const QSet<QString> &names)
{
    m_changedNames.unite(names);
    if (!m_changeSettle->isActive())
        m_changeSettle->start();
}

void frmConfigurationSelector::ConfigDirectoryChanged()
{
    // The list holds still under an open in-place edit, and under a window, message or menu
    // open over it (whose command may be reading the highlighted rows): it looks again after.
    if (m_labelEdit->IsEditing() || m_commandWindowOpen || QApplication::activeModalWidget()
        || QApplication::activePopupWidget()) {
        m_changeSettle->start();
        return;
    }
    const QSet<QString> names = std::exchange(m_changedNames, {});
    const bool whole = std::exchange(m_rereadAll, false);
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::OutsideChange,
                whole ? nullptr : &names);
}

void frmConfigurationSelector::RestoreListLayout()
{
    const QString key = objectName();
    if (LVConfig->header()->restoreState(WindowState::Value(key, QStringLiteral("columns")).toByteArray()))
        m_columnsFitted = true;
    const int column = WindowState::Value(key, QStringLiteral("sortColumn"), -1).toInt();
    if (column >= 0 && column < LVConfig->columnCount()) {
        m_sortColumn = column;
        m_sortOrder = WindowState::Value(key, QStringLiteral("sortOrder")).toInt() == Qt::DescendingOrder
                          ? Qt::DescendingOrder
                          : Qt::AscendingOrder;
    }
}

void frmConfigurationSelector::SaveListLayout() const
{
    // Before the load has built the columns there is nothing of the user's to keep.
    if (LVConfig->columnCount() <= 1)
        return;
    const QString key = objectName();
    WindowState::SetValue(key, QStringLiteral("columns"), LVConfig->header()->saveState());
    WindowState::SetValue(key, QStringLiteral("sortColumn"), m_sortColumn);
    WindowState::SetValue(key, QStringLiteral("sortOrder"), int(m_sortOrder));
}

void frmConfigurationSelector::hideEvent(QHideEvent *event)
{
    SaveListLayout();
    QMainWindow::hideEvent(event);
}

bool frmConfigurationSelector::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFilter && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        txtFilter->clear();
        return true;
    }
    if (watched == LVConfig->viewport() && event->type() == QEvent::MouseButtonDblClick)
        LVConfig_DblClick(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QMainWindow::eventFilter(watched, event);
}
