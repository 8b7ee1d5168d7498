// The main window on the demo configurations: the joint file in bold, a plain one selected.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>

namespace {

// The window loaded and shown at the size of the pictures, its columns fitted; its list.
QTreeView *ShowFitted(frmConfigurationSelector &window)
{
    window.Load();
    window.resize(900, 300);
    window.show();
    auto *list = window.findChild<QTreeView *>(QStringLiteral("LVConfig"));
    list->header()->resizeSections(QHeaderView::ResizeToContents);
    return list;
}

// The row of the file named so, or an invalid index.
QModelIndex RowOf(const QTreeView *list, const QString &name)
{
    return list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly).value(0);
}

ShotRegistration reg{{"mainwindow", [](TestAppDir &app, const QString &out) {
                          frmConfigurationSelector window(app.session());
                          QTreeView *list = ShowFitted(window);
                          if (const QModelIndex plain = RowOf(list, QStringLiteral("Fieldmark_Sales.tsy")); plain.isValid())
                              list->setCurrentIndex(plain);
                          QApplication::processEvents();
                          return window.grab().save(out);
                      }}};

} // namespace

namespace {

// A configuration whose platform is no number, listed greyed; the context menu of the row
// below it open, painted into the picture where it pops up.
ShotRegistration unreadable{{"mainwindow_unreadable", [](TestAppDir &app, const QString &out) {
                                 app.writeConfig(QStringLiteral("Fieldmark_Broken.tsy"),
                                                 {"SatelliteAppln=4009", "ldbp=two", "dsn=FMK_OLD", "user=fmadmin"});
                                 frmConfigurationSelector window(app.session());
                                 window.Load();
                                 window.resize(900, 320);
                                 window.show();
                                 QApplication::processEvents();
                                 auto *list = window.findChild<QTreeView *>(QStringLiteral("LVConfig"));
                                 const QModelIndex row = RowOf(list, QStringLiteral("Fieldmark_Sales.tsy"));
                                 if (!row.isValid())
                                     return false;
                                 // The middle of the whole row.
                                 const QModelIndex last = row.siblingAtColumn(list->model()->columnCount() - 1);
                                 const QPoint at = list->visualRect(row).united(list->visualRect(last)).center();
                                 QContextMenuEvent request(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
                                 QApplication::sendEvent(list->viewport(), &request);
                                 QApplication::processEvents();
                                 QPixmap picture = window.grab();
                                 auto *menu = window.findChild<QMenu *>(QStringLiteral("mnuRowContext"));
                                 if (menu->isVisible()) {
                                     QPainter painter(&picture);
                                     painter.drawPixmap(window.mapFromGlobal(menu->pos()), menu->grab());
                                 }
                                 menu->hide();
                                 return picture.save(out);
                             }}};

} // namespace

namespace {

// The filter box in use: only the Fieldmark rows are left.
ShotRegistration filtered{{"mainwindow_filter", [](TestAppDir &app, const QString &out) {
                               frmConfigurationSelector window(app.session());
                               ShowFitted(window);
                               window.findChild<QLineEdit *>(QStringLiteral("txtFilter"))->setText(QStringLiteral("fmk"));
                               QApplication::processEvents();
                               return window.grab().save(out);
                           }}};

} // namespace
