// The main window on the demo configurations: the joint file in bold, a plain one selected.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

namespace {

ShotRegistration reg{{"mainwindow", [](TestAppDir &app, const QString &out) {
                          frmConfigurationSelector window(app.session());
                          window.Load();
                          window.resize(900, 300);
                          window.show();
                          window.LVConfig->header()->resizeSections(QHeaderView::ResizeToContents);
                          const auto plain = window.LVConfig->findItems(QStringLiteral("Fieldmark_Sales.tsy"),
                                                                        Qt::MatchExactly);
                          if (!plain.isEmpty())
                              window.LVConfig->setCurrentItem(plain.first());
                          QApplication::processEvents();
                          return window.grab().save(out);
                      }}};

} // namespace
