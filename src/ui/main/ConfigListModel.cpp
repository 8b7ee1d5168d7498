#include "ui/main/ConfigListModel.h"

#include "app/Session.h"

#include <QFont>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

using ListedFile = ConfigList::ListedFile;
using Running = QHash<QString, QString>;

// One column of the list.
struct ColumnRule
{
    ConfigListModel::Column column;
    // Label identifier of the header text.
    const char *label;
    // The filter box searches it.
    bool filtered;
    // What it shows, searches and sorts by.
    QString (*value)(const Session &, const ListedFile &, const Running &);
};

const ColumnRule Columns[] = {
    {ConfigListModel::FileName, "SLBL0351", true,
     [](const Session &, const ListedFile &f, const Running &) { return f.entry.FileName; }},
    {ConfigListModel::Application, "SLBL0025", true,
     [](const Session &s, const ListedFile &f, const Running &) { return s.AppName(f.shownProduct); }},
    {ConfigListModel::Dsn, "SLBL0352", true,
     [](const Session &, const ListedFile &f, const Running &) { return f.entry.Dsn; }},
    {ConfigListModel::Database, "SLBL0135", true,
     [](const Session &, const ListedFile &f, const Running &) { return f.database; }},
    {ConfigListModel::User, "SLBL0353", true,
     [](const Session &, const ListedFile &f, const Running &) { return f.entry.User; }},
    {ConfigListModel::BusComponent, "SLBL0355", false,
     [](const Session &, const ListedFile &f, const Running &) { return f.busComponent; }},
    {ConfigListModel::LogDirectory, "SLBL0354", false,
     [](const Session &, const ListedFile &f, const Running &) { return f.logDirectory; }},
    {ConfigListModel::Running, "CS_COLUMN_RUNNING", false,
     [](const Session &, const ListedFile &f, const Running &r) { return r.value(f.entry.FileName); }},
};
static_assert(std::size(Columns) == ConfigListModel::ColumnCount, "one row per column");

constexpr bool InColumnOrder()
{
    for (int c = 0; c < ConfigListModel::ColumnCount; ++c) {
        if (Columns[c].column != c)
            return false;
    }
    return true;
}

// What a row shows besides its texts is the same.
bool SameLook(const ListedFile &a, const ListedFile &b)
{
    return a.joint == b.joint && a.unreadable == b.unreadable && a.PasswordReadableByOthers() == b.PasswordReadableByOthers();
}

} // namespace

ConfigListModel::ConfigListModel(Session &session, const QWidget &look, QObject *parent)
    : QAbstractTableModel(parent), m_session(session),
      m_grey(look.palette().brush(QPalette::Disabled, QPalette::Text)),
      m_unreadableMark(look.style()->standardIcon(QStyle::SP_MessageBoxWarning)),
      m_passwordMark(QIcon::fromTheme(QStringLiteral("dialog-password"),
                                      look.style()->standardIcon(QStyle::SP_MessageBoxInformation)))
{
    Q_ASSERT(InColumnOrder());
    for (const ColumnRule &rule : Columns)
        m_headers << QLatin1String(rule.label);
}

int ConfigListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ConfigListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString ConfigListModel::Text(int row, int column) const
{
    return column == Application ? ApplicationText(File(row)) : Columns[column].value(m_session, File(row), m_running);
}

QString ConfigListModel::ApplicationText(const ListedFile &file) const
{
    QStringList words;
    if (file.joint)
        words << m_jointWords;
    else if (const QString application = Columns[Application].value(m_session, file, m_running); !application.isEmpty())
        words << application;
    if (!file.unreadable.isEmpty())
        words << QString(m_unreadableWords).replace(QStringLiteral("%1"), m_session.Text(file.why));
    if (file.PasswordReadableByOthers())
        words << m_passwordWords;
    return words.join(QStringLiteral("; "));
}

bool ConfigListModel::Matches(int row, const QString &text) const
{
    for (const ColumnRule &rule : Columns) {
        if (rule.filtered && Text(row, rule.column).contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString ConfigListModel::ToolTip(const ListedFile &file) const
{
    QString tip = m_session.Text(file.why);
    if (file.PasswordReadableByOthers()) {
        tip += QLatin1String(tip.isEmpty() ? "" : "\n")
             + m_session.Text("CS_LIST_PASSWORD_READABLE", QStringLiteral("%1").arg(file.identity.mode & 0777, 3, 8, QChar(u'0')));
    }
    return tip;
}

QVariant ConfigListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const ListedFile &file = File(index.row());
    const bool first = index.column() == FileName;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return Text(index.row(), index.column());
    case Qt::FontRole:
        if (first && file.joint) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    // Listed all the same, so that it can be seen, opened, renamed or deleted.
    case Qt::ForegroundRole: return file.unreadable.isEmpty() ? QVariant() : QVariant(m_grey);
    case Qt::ToolTipRole: {
        // The Running cell is often cut: its whole text, the file's own tip elsewhere.
        const QString running = index.column() == Running ? Text(index.row(), Running) : QString();
        const QString tip = running.isEmpty() ? ToolTip(file) : running;
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::DecorationRole:
        if (!first)
            return {};
        if (!file.unreadable.isEmpty())
            return m_unreadableMark;
        return file.PasswordReadableByOthers() ? QVariant(m_passwordMark) : QVariant();
    case FileNameRole: return file.entry.FileName;
    case UnreadableRole: return m_session.Text(file.why);
    case JointRole: return file.joint;
    default: return {};
    }
}

QVariant ConfigListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return m_headers[section];
}

Qt::ItemFlags ConfigListModel::flags(const QModelIndex &index) const
{
    // Only the file name is edited in place: the rename command.
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == FileName ? flags | Qt::ItemIsEditable : flags;
}

void ConfigListModel::LoadHeaders()
{
    for (const ColumnRule &rule : Columns)
        m_headers[rule.column] = m_session.GetText(QLatin1String(rule.label));
    m_jointWords = m_session.GetText(QStringLiteral("CS_LIST_JOINT"));
    m_unreadableWords = m_session.GetText(QStringLiteral("CS_LIST_CANNOT_BE_READ"));
    m_passwordWords = m_session.GetText(QStringLiteral("CS_LIST_PASSWORD_OTHERS"));
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

int ConfigListModel::RowOf(const QString &name) const
{
    // The rows are in list order, a total order of names.
    const auto at = std::lower_bound(m_rows.cbegin(), m_rows.cend(), name, [](const ListedFile &f, const QString &n) {
        return ConfigList::NameLess(f.entry.FileName, n);
    });
    return at != m_rows.cend() && at->entry.FileName == name ? int(at - m_rows.cbegin()) : -1;
}

void ConfigListModel::RowsChanged(int first, int last, int column)
{
    emit dataChanged(index(first, column < 0 ? 0 : column), index(last, column < 0 ? ColumnCount - 1 : column));
}

void ConfigListModel::SetFiles(std::vector<ListedFile> files)
{
    if (m_rows.empty() || files.empty()) {
        beginResetModel();
        m_rows = std::move(files);
        endResetModel();
        return;
    }
    // Both in list order: one walk adds, removes and updates runs of rows.
    size_t at = 0, from = 0;
    const auto name = [](const ListedFile &f) -> const QString & { return f.entry.FileName; };
    while (from < files.size() || at < m_rows.size()) {
        size_t gone = at;
        while (gone < m_rows.size() && (from == files.size() || ConfigList::NameLess(name(m_rows[gone]), name(files[from]))))
            ++gone;
        if (gone > at) {
            beginRemoveRows({}, int(at), int(gone - 1));
            m_rows.erase(m_rows.begin() + qsizetype(at), m_rows.begin() + qsizetype(gone));
            endRemoveRows();
            continue;
        }
        size_t added = from;
        while (added < files.size() && (at == m_rows.size() || ConfigList::NameLess(name(files[added]), name(m_rows[at]))))
            ++added;
        if (added > from) {
            beginInsertRows({}, int(at), int(at + added - from - 1));
            m_rows.insert(m_rows.begin() + qsizetype(at), std::make_move_iterator(files.begin() + qsizetype(from)),
                          std::make_move_iterator(files.begin() + qsizetype(added)));
            endInsertRows();
            at += added - from;
            from = added;
            continue;
        }
        // The same name in both: a run of rows whose look changed is one update.
        size_t changed = 0;
        while (at < m_rows.size() && from < files.size() && name(m_rows[at]) == name(files[from])) {
            const bool same = SameLook(m_rows[at], files[from])
                && std::all_of(std::begin(Columns), std::end(Columns), [&](const ColumnRule &rule) {
                       return rule.value(m_session, m_rows[at], m_running) == rule.value(m_session, files[from], m_running);
                   });
            m_rows[at] = std::move(files[from]);
            ++at, ++from;
            if (same && changed) {
                RowsChanged(int(at - 1 - changed), int(at - 2));
                changed = 0;
            } else if (!same) {
                ++changed;
            }
        }
        if (changed)
            RowsChanged(int(at - changed), int(at - 1));
    }
}

bool ConfigListModel::SetFile(ListedFile file)
{
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), file.entry.FileName,
                                     [](const ListedFile &f, const QString &n) { return ConfigList::NameLess(f.entry.FileName, n); });
    const int row = int(at - m_rows.begin());
    if (at != m_rows.end() && at->entry.FileName == file.entry.FileName) {
        const bool same = SameLook(*at, file)
            && std::all_of(std::begin(Columns), std::end(Columns), [&](const ColumnRule &rule) {
                   return rule.value(m_session, *at, m_running) == rule.value(m_session, file, m_running);
               });
        *at = std::move(file);
        if (!same)
            RowsChanged(row, row);
        return true;
    }
    if (int(m_rows.size()) >= ConfigList::MaxListed)
        return false;
    beginInsertRows({}, row, row);
    m_rows.insert(at, std::move(file));
    endInsertRows();
    return true;
}

void ConfigListModel::RemoveFile(const QString &name)
{
    if (const int row = RowOf(name); row >= 0) {
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }
}

void ConfigListModel::SetRunning(QHash<QString, QString> summaries)
{
    if (summaries == m_running)
        return;
    QList<int> rows;
    for (auto it = summaries.cbegin(); it != summaries.cend(); ++it) {
        if (m_running.value(it.key()) != it.value())
            rows << RowOf(it.key());
    }
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it) {
        if (!summaries.contains(it.key()))
            rows << RowOf(it.key());
    }
    m_running = std::move(summaries);
    for (const int row : std::as_const(rows)) {
        if (row >= 0)
            RowsChanged(row, row, Running);
    }
}

QStringList ConfigListModel::Unreadable() const
{
    QStringList lines;
    for (const ListedFile &file : m_rows) {
        // A row of programs whose file is gone tells that on its own.
        if (!file.unreadable.isEmpty() && file.presence == ListedFile::Presence::Listed)
            lines << file.entry.FileName + QStringLiteral(": ") + m_session.Text(file.why);
    }
    return lines;
}
