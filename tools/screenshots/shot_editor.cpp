// The configuration editor on an existing Fieldmark configuration, one picture per tab.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/editor/frmEditConfiguration.h"

#include <QTabBar>

namespace {

bool ShotEditorTab(TestAppDir &app, const QString &out, int tab)
{
    frmEditConfiguration editor(app.session(), app.lib(QStringLiteral("Fieldmark_Sales.tsy")));
    editor.Load();
    editor.findChild<QTabBar *>(QStringLiteral("TSConfig"))->setCurrentIndex(tab);
    editor.show();
    return editor.grab().save(out);
}

ShotRegistration regDatabase{{"editor_database", [](TestAppDir &app, const QString &out) {
                                  return ShotEditorTab(app, out, 0);
                              }}};
ShotRegistration regLedgerhall{{"editor_ledgerhall", [](TestAppDir &app, const QString &out) {
                                    return ShotEditorTab(app, out, 1);
                                }}};

} // namespace
