#include "ui/main/ConfigListFilter.h"

#include "ui/main/ConfigListModel.h"

ConfigListFilter::ConfigListFilter(ConfigListModel *rows, QObject *parent) : QSortFilterProxyModel(parent), m_rows(rows)
{
    setSourceModel(rows);
    // Rows that change, come or go find their place and their filter by themselves.
    setDynamicSortFilter(true);
}

void ConfigListFilter::SetFilter(const QString &text, bool runningOnly)
{
    if (text == m_text && runningOnly == m_runningOnly)
        return;
    m_text = text;
    m_runningOnly = runningOnly;
    invalidateRowsFilter();
}

bool ConfigListFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_runningOnly && !m_rows->IsRunning(sourceRow))
        return false;
    return m_text.isEmpty() || m_rows->Matches(sourceRow, m_text);
}

bool ConfigListFilter::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // From the model's texts directly: no QVariant per comparison on 32,767 rows.
    const int column = left.column();
    return ConfigList::NameLess(m_rows->Text(left.row(), column), m_rows->Text(right.row(), column));
}
