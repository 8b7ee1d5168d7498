#pragma once

#include "support/WindowTest.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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

    QTreeWidget *List() const { return Child<QTreeWidget>("LVConfig"); }
    QLineEdit *Filter() const { return Child<QLineEdit>("txtFilter"); }
    QAction *Action(const char *name) const { return Child<QAction>(name); }
    QMenu *Menu(const char *name) const { return Child<QMenu>(name); }

    // The file names of the rows, in list order: all of them, or those the flags pick
    // (QTreeWidgetItemIterator::Selected for the highlighted ones).
    QStringList Names(QTreeWidgetItemIterator::IteratorFlags flags = QTreeWidgetItemIterator::All) const
    {
        QStringList names;
        for (QTreeWidgetItemIterator it(List(), flags); *it; ++it)
            names << (*it)->text(0);
        return names;
    }
    QStringList Highlighted() const { return Names(QTreeWidgetItemIterator::Selected); }
    QStringList Visible() const { return Names(QTreeWidgetItemIterator::NotHidden); }

    QTreeWidgetItem *Item(const QString &name) const { return List()->findItems(name, Qt::MatchExactly).value(0); }
    QPoint At(const QString &name) const { return List()->visualItemRect(Item(name)).center(); }

    QStringList Files() const { return QDir(app.lib()).entryList(QDir::Files, QDir::Name); }
    // The whole text: a long one shows cut, whole in the tool tip.
    QString StatusText(const char *label) const
    {
        const QLabel *shown = Child<QLabel>(label);
        return shown->toolTip().isEmpty() ? shown->text() : shown->toolTip();
    }

    // F2 on the current row, the text typed; the editor is left open for the caller to end the edit.
    QLineEdit *StartRename(const QString &typed)
    {
        Key(Qt::Key_F2);
        auto *editor = List()->viewport()->findChild<QLineEdit *>();
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
            ASSERT_NE(Item(names[i]), nullptr) << names[i].toStdString();
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
