// The main window's list of configuration files: how it is built from the lib directory,
// and its own events (selection, header click, in-place rename, double click).
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "config/ConfigFormat.h"
#include "config/ConfigStore.h"
#include "config/PasswordScramble.h"
#include "platform/FileIo.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QTreeWidget>

namespace {

enum Column { ColFilename, ColApplication, ColDsn, ColDatabase, ColUser, ColBusComponent, ColLogDirectory };

// Sorts the way users know from file lists: letter case does not separate names.
class ConfigItem final : public QTreeWidgetItem
{
public:
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QString a = text(column), b = other.text(column);
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    }
};

// Restores a flag when the scope ends, also on the early returns of an error.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = m_old; }

private:
    bool &m_flag;
    bool m_old;
};

} // namespace

// Hands a finished in-place edit to the window. The rename runs after the editor has
// closed, so that its messages do not open while the editor still holds the focus.
class LabelEditDelegate final : public QStyledItemDelegate
{
public:
    explicit LabelEditDelegate(frmConfigurationSelector *window) : QStyledItemDelegate(window), m_window(window) {}

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *edit = qobject_cast<QLineEdit *>(editor);
        if (!edit)
            return QStyledItemDelegate::setModelData(editor, model, index);
        const QString oldText = index.data(Qt::DisplayRole).toString();
        const QString typed = edit->text();
        model->setData(index, typed, Qt::EditRole);
        const QPersistentModelIndex where(index);
        QMetaObject::invokeMethod(
            m_window,
            [window = m_window, where, oldText, typed] {
                if (where.isValid())
                    window->LVConfig_AfterLabelEdit(window->LVConfig->topLevelItem(where.row()), oldText, typed);
            },
            Qt::QueuedConnection);
    }

private:
    frmConfigurationSelector *m_window;
};

void frmConfigurationSelector::InstallLabelEditDelegate()
{
    LVConfig->setItemDelegateForColumn(ColFilename, new LabelEditDelegate(this));
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

bool frmConfigurationSelector::FillListView(Vb::Error *error)
{
    FlagGuard updating(m_updatingList);
    LVConfig->clear();

    // Alphabetical without regard to case, as the suite's file systems enumerate.
    const QStringList files = QDir(m_session.ConfigDirectory)
                                  .entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    m_configEntries = QList<ConfigEntry>(files.size());

    // The entries are added in one go: one by one, a large directory takes seconds.
    QList<QTreeWidgetItem *> items;
    auto addItems = [&] {
        LVConfig->addTopLevelItems(items);
        items.clear();
    };

    qint16 counter = 0;
    for (const QString &name : files) {
        if (!ConfigStore::IsConfigFileName(name))
            continue;
        if (counter == std::numeric_limits<qint16>::max()) {
            *error = Vb::Overflow();
            addItems();
            return false;
        }
        const int slot = counter++;
        auto *item = new ConfigItem;
        item->setText(ColFilename, name);
        item->setData(ColFilename, EntrySlotRole, slot);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        items.append(item);
        ConfigEntry &entry = m_configEntries[slot];
        entry.FileName = name;

        QString text;
        if (!FileIo::ReadAnsiText(m_session.ConfigDirectory + u'/' + name, &text, error)) {
            addItems();
            return false;
        }
        for (const QString &line : FileIo::SplitLines(text)) {
            if (ConfigFormat::IsJointFileMarker(line)) {
                QFont bold = item->font(ColFilename);
                bold.setBold(true);
                item->setFont(ColFilename, bold);
                break;
            }
            QString key, value;
            if (ConfigFormat::SplitLine(line, &key, &value) != ConfigFormat::LineKind::KeyValue)
                continue;
            if (key == QLatin1String("satelliteappln")) {
                if (value == QLatin1String("1028")) {
                    item->setText(ColApplication, m_session.RostrumAppName);
                    entry.ProductCode = RostrumProduct;
                } else if (value == QLatin1String("4010")) {
                    item->setText(ColApplication, m_session.WebtrellAppName);
                    entry.ProductCode = WebtrellProduct;
                } else if (value == QLatin1String("4009")) {
                    item->setText(ColApplication, m_session.FieldmarkAppName);
                    entry.ProductCode = FieldmarkProduct;
                } else {
                    item->setText(ColApplication, QString());
                }
            } else if (key == QLatin1String("dsn")) {
                item->setText(ColDsn, value);
                entry.Dsn = value;
            } else if (key == QLatin1String("database")) {
                item->setText(ColDatabase, value);
            } else if (key == QLatin1String("user")) {
                item->setText(ColUser, value);
                entry.User = value;
            } else if (key == QLatin1String("lhbuscomponent")) {
                item->setText(ColBusComponent, value);
            } else if (key == QLatin1String("logdirectory")) {
                item->setText(ColLogDirectory, value);
            } else if (key == QLatin1String("ldbp")) {
                if (!Vb::CInt(value, &entry.Platform, error)) {
                    addItems();
                    return false;
                }
            } else if (key == QLatin1String("password")) {
                entry.Password = UnscramblePassword(value);
            } else if (key == QLatin1String("dbmachinename")) {
                entry.DbMachineName = value;
            }
        }
    }
    addItems();
    SortList();

    if (QTreeWidgetItem *first = LVConfig->topLevelItem(0)) {
        LVConfig->setCurrentItem(first, 0, SelectOnly);
        m_session.SelectedConfigName = first->text(ColFilename);
        m_session.SelectedConfigPath = m_session.ConfigDirectory + u'/' + m_session.SelectedConfigName;
    } else {
        m_session.SelectedConfigName.clear();
        m_session.SelectedConfigPath.clear();
    }
    HandleCoolBar();
    return true;
}

ConfigEntry frmConfigurationSelector::EntryOf(const QTreeWidgetItem *item) const
{
    const int slot = item ? item->data(ColFilename, EntrySlotRole).toInt() : -1;
    return slot >= 0 && slot < m_configEntries.size() ? m_configEntries.at(slot) : ConfigEntry();
}

QList<ConfigEntry> frmConfigurationSelector::SelectedEntries() const
{
    QList<ConfigEntry> entries;
    for (int i = 0; i < LVConfig->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = LVConfig->topLevelItem(i);
        if (item->isSelected())
            entries.append(EntryOf(item));
    }
    return entries;
}

QTreeWidgetItem *frmConfigurationSelector::SelectedItem() const
{
    QTreeWidgetItem *current = LVConfig->currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QTreeWidgetItem *> selected = LVConfig->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
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
    const QList<QTreeWidgetItem *> selected = LVConfig->selectedItems();
    QAction *runButton = tbExecute->actions().at(0);
    QAction *mergeSplitButton = tbNED->actions().at(3);
    if (selected.size() > 1) {
        runButton->setEnabled(false);
    } else {
        runButton->setEnabled(true);
        mergeSplitButton->setEnabled(false);
    }
    mergeSplitButton->setEnabled(selected.size() == 2);
    if (selected.size() == 1) {
        IsMergeSplitSelected = IsBold(selected.first());
        m_session.SelectedConfigName = selected.first()->text(ColFilename);
        m_session.SelectedConfigPath = m_session.ConfigDirectory + u'/' + m_session.SelectedConfigName;
    }
}

void frmConfigurationSelector::LVConfig_ColumnClick(int column)
{
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    FlagGuard updating(m_updatingList);
    SortList();
}

void frmConfigurationSelector::LVConfig_AfterLabelEdit(QTreeWidgetItem *item, const QString &oldText,
                                                       const QString &newText)
{
    if (!item || newText == m_session.SelectedConfigName)
        return;
    const QString newName = ConfigStore::AddConfigExtension(newText);
    if (!FileIo::IsValidFileName(newName)) {
        // Refused before anything moves; the entry goes back to its file's name.
        item->setText(ColFilename, oldText);
        m_session.MsgBox(m_session.GetText(QStringLiteral("SLBL0357")), MsgIcon::Critical);
        return;
    }
    item->setText(ColFilename, newName);
    // Typing the name without its extension names the same file: nothing to move.
    if (newName == m_session.SelectedConfigName)
        return;
    const QString newPath = m_session.ConfigDirectory + u'/' + newName;
    QString why;
    if (!QFileInfo::exists(m_session.SelectedConfigPath) || m_session.SelectedConfigPath.isEmpty())
        why = QStringLiteral("File not found");
    else if (QFileInfo::exists(newPath))
        why = QStringLiteral("File already exists");
    else if (Vb::Error e; !FileIo::RenameFile(m_session.SelectedConfigPath, newPath, &e))
        why = e.description;
    if (!why.isEmpty()) {
        // The entry keeps the typed name until the next refresh shows the files as they are.
        item->setText(ColFilename, newText);
        m_session.MsgBox(why);
        return;
    }
    m_session.SelectedConfigPath = newPath;
    m_session.SelectedConfigName = newName;
}

void frmConfigurationSelector::LVConfig_DblClick()
{
    if (LVConfig->topLevelItemCount() == 0)
        return;
    mnuExecute_Click();
}

bool frmConfigurationSelector::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LVConfig->viewport() && event->type() == QEvent::MouseButtonDblClick)
        LVConfig_DblClick();
    return QMainWindow::eventFilter(watched, event);
}
