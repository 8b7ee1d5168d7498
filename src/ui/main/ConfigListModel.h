#pragma once

#include "config/ConfigListReader.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <vector>

class Session;
class QWidget;

// The main window's list: one row per configuration file of lib/, the file as the list's
// reader read it, in list order (case-blind name order). What each column shows, which
// columns the filter searches and what sorts them comes from one table in the .cpp; adding a
// column is a value of Column and a row of that table (plus its header text).
class ConfigListModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConfigListModel)
public:
    enum Column { FileName, Application, Dsn, Database, User, BusComponent, LogDirectory, Running, ColumnCount };
    enum Role { FileNameRole = Qt::UserRole + 1, UnreadableRole, JointRole };

    // look: the widget whose palette greys an unreadable row and whose style draws the marks.
    ConfigListModel(Session &session, const QWidget &look, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The header texts, localised now that the texts are loaded.
    void LoadHeaders();
    // The files of a whole read, in list order. Rows of files still there stay (changed where
    // what they show changed), so a selection survives and a refresh costs what changed.
    void SetFiles(std::vector<ConfigList::ListedFile> files);
    // One file read again: its row is added or updated in place. False when the list is full
    // and the file is new: only a whole read can tell which files the list then holds.
    bool SetFile(ConfigList::ListedFile file);
    void RemoveFile(const QString &name);
    // What runs for each file, by file name.
    void SetRunning(QHash<QString, QString> summaries);

    // The row of the file named exactly so, or -1.
    int RowOf(const QString &name) const;
    const ConfigList::ListedFile &File(int row) const { return m_rows[size_t(row)]; }
    // What the column shows for the row; also what the filter searches and the sort compares.
    QString Text(int row, int column) const;
    // True when one of the columns the filter searches holds text (case-blind).
    bool Matches(int row, const QString &text) const;
    bool IsRunning(int row) const { return m_running.contains(File(row).entry.FileName); }
    // "name: reason" of every file that cannot be read, in list order.
    QStringList Unreadable() const;

private:
    void RowsChanged(int first, int last, int column = -1);
    // The application, then what else a reader must know of the file in words: a joint file,
    // why it cannot be read, a password others can read. Bold type, grey and a mark are not
    // read out by a screen reader.
    QString ApplicationText(const ConfigList::ListedFile &file) const;
    QString ToolTip(const ConfigList::ListedFile &file) const;

    Session &m_session;
    std::vector<ConfigList::ListedFile> m_rows;
    QHash<QString, QString> m_running;
    QStringList m_headers;
    QBrush m_grey;
    QIcon m_unreadableMark, m_passwordMark;
    // The words of ApplicationText, localised by LoadHeaders.
    QString m_jointWords = QStringLiteral("Merge and Split (joint file)");
    QString m_unreadableWords = QStringLiteral("cannot be read: %1");
    QString m_passwordWords = QStringLiteral("password readable by others");
};
