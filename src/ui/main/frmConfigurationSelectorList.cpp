// The main window's list of configuration files: how it is built from the lib directory,
// and its own events (selection, header click, in-place rename, double click).
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "config/ConfigListReader.h"
#include "config/ConfigStore.h"
#include "platform/FileIo.h"
#include "platform/Result.h"
#include "ui/WindowState.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
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
    LVConfig->clear();
    m_configEntries.clear();
    QStringList problems;

    const QString folder = m_session.ConfigDirectory;
    const Result<ConfigList::Listing> listed = ConfigList::ListFolder(folder);
    // An unreadable folder lists as empty: say so instead of showing an empty list as the truth.
    if (!listed)
        problems << QStringLiteral("The folder \"%1\" cannot be read: %2").arg(folder, listed.error().description);
    const ConfigList::Listing listing = listed.value_or({});
    m_configEntries.reserve(listing.files.size());

    QList<QTreeWidgetItem *> items;
    QStringList unreadable;
    const int leftOut = listing.leftOut;
    for (const DirectoryListing::Entry &file : listing.files) {
        const ConfigList::ListedFile read = ConfigList::ReadFile(folder, file.name, file.kind);
        if (read.presence != ConfigList::ListedFile::Presence::Listed)
            continue;
        auto *item = new ConfigItem;
        item->setData(ColFilename, EntrySlotRole, int(m_configEntries.size()));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        const QString columns[] = {file.name, m_session.AppName(read.shownProduct), read.entry.Dsn, read.database,
                                   read.entry.User, read.busComponent, read.logDirectory};
        for (int c = 0; c < int(std::size(columns)); ++c)
            item->setText(c, columns[c]);
        if (read.joint) {
            QFont bold = item->font(ColFilename);
            bold.setBold(true);
            item->setFont(ColFilename, bold);
        }
        items.append(item);
        m_configEntries.append(read.entry);
        if (const QString &reason = read.unreadable; !reason.isEmpty()) {
            // Listed all the same, so that it can be seen, opened, renamed or deleted.
            item->setData(ColFilename, UnreadableRole, reason);
            item->setIcon(ColFilename, LVConfig->style()->standardIcon(QStyle::SP_MessageBoxWarning));
            const QBrush grey = LVConfig->palette().brush(QPalette::Disabled, QPalette::Text);
            for (int c = 0; c < LVConfig->columnCount(); ++c) {
                item->setForeground(c, grey);
                item->setToolTip(c, reason);
            }
            unreadable << file.name + QStringLiteral(": ") + reason;
        }
    }
    // The entries are added in one go: one by one, a large directory takes seconds.
    LVConfig->addTopLevelItems(items);
    SortList();
    ApplyFilter();
    WatchConfigDirectory();

    if (!unreadable.isEmpty())
        problems << QStringLiteral("These configuration files cannot be read; they are listed greyed:") << unreadable;
    if (leftOut > 0)
        problems << QStringLiteral("The list holds at most %1 configuration files: %2 more were left out.")
                        .arg(ConfigList::MaxListed)
                        .arg(leftOut);

    if (!m_columnsFitted && !items.isEmpty()) {
        for (int c = 0; c < LVConfig->columnCount(); ++c)
            LVConfig->resizeColumnToContents(c);
        m_columnsFitted = true;
    }
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
        if (QTreeWidgetItem *first = LVConfig->topLevelItem(i); !first->isHidden()) {
            LVConfig->setCurrentItem(first, 0, SelectOnly);
            break;
        }
    }
    SyncSelection();
    HandleCoolBar();
    return problems;
}

ConfigEntry frmConfigurationSelector::EntryOf(const QTreeWidgetItem *item) const
{
    const int slot = item ? item->data(ColFilename, EntrySlotRole).toInt() : -1;
    return slot >= 0 && slot < m_configEntries.size() ? m_configEntries.at(slot) : ConfigEntry();
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

QString frmConfigurationSelector::FileNameOf(const QTreeWidgetItem *item) const { return EntryOf(item).FileName; }

QList<QTreeWidgetItem *> frmConfigurationSelector::HighlightedItems() const
{
    QList<QTreeWidgetItem *> items;
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
        // A row the filter hides is never acted on.
        if (QTreeWidgetItem *item = LVConfig->topLevelItem(i); item->isSelected() && !item->isHidden())
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
    m_session.SelectedConfigName = FileNameOf(item);
    m_session.SelectedConfigPath =
        item ? m_session.ConfigDirectory + u'/' + m_session.SelectedConfigName : QString();
}

bool frmConfigurationSelector::IsBold(const QTreeWidgetItem *item) const
{
    return item->font(ColFilename).bold();
}

void frmConfigurationSelector::SortList()
{
    if (m_sortColumn < 0)
        return;
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
    } else {
        const QString oldPath = m_session.ConfigDirectory + u'/' + fileName;
        const QString newPath = m_session.ConfigDirectory + u'/' + newName;
        if (!QFileInfo::exists(oldPath))
            why = QStringLiteral("File not found");
        else if (FileIo::PathExists(newPath))
            why = QStringLiteral("File already exists");
        else if (const Result<void> renamed = FileIo::RenameFile(oldPath, newPath); !renamed)
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
    RefreshList(highlight, current);
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
    const QString text = txtFilter->text();
    for (const int column : {ColFilename, ColApplication, ColDsn, ColDatabase, ColUser}) {
        if (item->text(column).contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void frmConfigurationSelector::ApplyFilter()
{
    const QScopedValueRollback updating(m_updatingList, true);
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = LVConfig->topLevelItem(i);
        const bool hide = !MatchesFilter(item);
        item->setHidden(hide);
        if (hide)
            item->setSelected(false);
    }
}

void frmConfigurationSelector::WatchConfigDirectory()
{
    const QString folder = m_session.ConfigDirectory;
    if (folder.isEmpty())
        return;
    // A file replaced by a rename drops out of the watch: the whole set is taken anew.
    if (const QStringList files = m_watcher->files(); !files.isEmpty())
        m_watcher->removePaths(files);
    if (!m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
    // The folder's watch sees files come and go; a file's own watch sees it rewritten in place.
    QStringList files;
    for (const ConfigEntry &entry : std::as_const(m_configEntries)) {
        if (!entry.FileName.isEmpty())
            files << folder + u'/' + entry.FileName;
    }
    if (!files.isEmpty())
        m_watcher->addPaths(files);
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
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::OutsideChange);
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
