// The merge-and-split editor (one picture per tab) and the publisher settings dialog.
#include "Shots.h"
#include "config/ConfigStore.h"
#include "config/ConfigRecord.h"
#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/mergesplit/frmMergeAndSplit.h"
#include "support/TestAppDir.h"

#include <QLineEdit>
#include <QTabWidget>

namespace {

bool ShotJointEditorTab(TestAppDir &app, const QString &out, int tab)
{
    // A joint file as the publisher settings dialog makes it from two demo configurations.
    const QString name = QStringLiteral("Sales_Plan_M&S.tsy");
    if (!ConfigStore::JoinConfigFiles(app.path(), QStringLiteral("Fieldmark_Sales.tsy"),
                                      QStringLiteral("Rostrum_Plan.tsy"), name))
        return false;
    frmEditConfigurationMergeSplit editor(app.session(), app.lib(name));
    editor.Load();
    editor.findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(tab);
    editor.show();
    return editor.grab().save(out);
}

ShotRegistration regFieldmark{{"mergesplit_editor_fieldmark", [](TestAppDir &app, const QString &out) {
                                   return ShotJointEditorTab(app, out, 0);
                               }}};
ShotRegistration regRostrum{{"mergesplit_editor_rostrum", [](TestAppDir &app, const QString &out) {
                                 return ShotJointEditorTab(app, out, 1);
                             }}};
ShotRegistration regLedgerhall{{"mergesplit_editor_ledgerhall", [](TestAppDir &app, const QString &out) {
                                    return ShotJointEditorTab(app, out, 2);
                                }}};

ShotRegistration regPublisher{{"mergesplit_publisher", [](TestAppDir &app, const QString &out) {
                                   // No entries: the picture needs no database.
                                   const MergeSplitPick pick{QStringLiteral("Fieldmark_Sales.tsy"),
                                                             QStringLiteral("Rostrum_Plan.tsy")};
                                   frmMergeAndSplit dialog(app.session(), pick, nullptr);
                                   dialog.Load({});
                                   dialog.findChild<QLineEdit *>(QStringLiteral("txtMnSHost"))->setText(QStringLiteral("MNS-HOST"));
                                   dialog.findChild<QLineEdit *>(QStringLiteral("txtPublisherBusComp"))->setText(QStringLiteral("PUB_Sales"));
                                   dialog.findChild<QLineEdit *>(QStringLiteral("txtpublisherBusPortNum"))->setText(QStringLiteral("7401"));
                                   dialog.show();
                                   return dialog.grab().save(out);
                               }}};

} // namespace
