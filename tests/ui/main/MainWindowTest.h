#pragma once

#include "support/WindowTest.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <optional>

// The main window, with helpers that act as the user does.
class MainWindowTest : public WindowTest<frmConfigurationSelector>
{
protected:
    // A plain configuration file for one application.
    void WriteConfig(const QString &name, const QString &product, const QString &dsn = QStringLiteral("DSN1"),
                     const QString &ldbp = QStringLiteral("1"))
    {
        app.writeConfig(name, {"SatelliteAppln=" + product, "ldbp=" + ldbp, "dsn=" + dsn, "database=db",
                               "dbmachinename=host", "user=u", "savepass=0", "password=",
                               "lhbuscomponent=bus", "logdirectory=/logs"});
    }

    QTreeView *List() const { return Child<QTreeView>("LVConfig"); }
    QLineEdit *Filter() const { return Child<QLineEdit>("txtFilter"); }
    QAction *Action(const char *name) const { return Child<QAction>(name); }
    QMenu *Menu(const char *name) const { return Child<QMenu>(name); }

    // A row of the list as shown: what each column shows, as the user sees it.
    struct Row
    {
        QPersistentModelIndex index;
        QVariant Data(int column, int role) const { return index.sibling(index.row(), column).data(role); }
        QString text(int column) const { return Data(column, Qt::DisplayRole).toString(); }
        QFont font(int column) const { return Data(column, Qt::FontRole).value<QFont>(); }
        QString toolTip(int column) const { return Data(column, Qt::ToolTipRole).toString(); }
        QBrush foreground(int column) const { return Data(column, Qt::ForegroundRole).value<QBrush>(); }
    };

    // The file names of the rows shown, in list order: all of them, or the highlighted ones.
    QStringList Names(bool highlightedOnly = false) const
    {
        QStringList names;
        const QAbstractItemModel *rows = List()->model();
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (!highlightedOnly || List()->selectionModel()->isRowSelected(r))
                names << rows->index(r, 0).data().toString();
        }
        return names;
    }
    QStringList Highlighted() const { return Names(true); }
    QStringList Visible() const { return Names(); }

    std::optional<Row> Item(const QString &name) const
    {
        const QModelIndexList found = List()->model()->match(List()->model()->index(0, 0), Qt::DisplayRole, name, 1,
                                                             Qt::MatchExactly);
        return found.isEmpty() ? std::nullopt : std::optional<Row>(Row{found[0]});
    }
    QPoint At(const QString &name) const { return List()->visualRect(Item(name)->index).center(); }

    QStringList Files() const { return QDir(app.lib()).entryList(QDir::Files, QDir::Name); }
    // The whole text: a long one shows cut, whole in the tool tip.
    QString StatusText(const char *label) const
    {
        const QLabel *shown = Child<QLabel>(label);
        return shown->toolTip().isEmpty() ? shown->text() : shown->toolTip();
    }

    // The in-place editor open now (one closed before may still wait to be deleted).
    QLineEdit *OpenEditor() const
    {
        for (QLineEdit *edit : List()->viewport()->findChildren<QLineEdit *>()) {
            if (edit->isVisible())
                return edit;
        }
        return nullptr;
    }
    // F2 on the current row, the text typed; the editor is left open for the caller to end the edit.
    QLineEdit *StartRename(const QString &typed)
    {
        Key(Qt::Key_F2);
        QLineEdit *editor = OpenEditor();
        if (!editor)
            return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        return editor;
    }

    // Clicks the entries as the user does: the first plainly, the others with Ctrl held.
    void Select(const QStringList &names)
    {
        for (int i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(Item(names[i])) << names[i].toStdString();
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                              At(names[i]));
        }
    }

    // The first click of a double click selects the entry.
    void DoubleClick(const QString &name)
    {
        Select({name});
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, At(name));
    }

    void ClickHeader(int column)
    {
        QHeaderView *header = List()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
};
