#pragma once

#include <QSortFilterProxyModel>

class ConfigListModel;

// The list as shown: the rows holding the filter's text (in a column the model's table
// searches), optionally only those with something running, sorted by one column in list
// order of its texts. Before a column is chosen the rows keep the model's name order.
class ConfigListFilter final : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConfigListFilter)
public:
    ConfigListFilter(ConfigListModel *rows, QObject *parent);

    void SetFilter(const QString &text, bool runningOnly);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    ConfigListModel *m_rows;
    QString m_text;
    bool m_runningOnly = false;
};
