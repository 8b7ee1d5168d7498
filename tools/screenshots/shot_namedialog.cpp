// The name prompt of a new configuration, with a name typed.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/frmConfigFileSelector.h"

#include <QLineEdit>

namespace {

ShotRegistration reg{{"namedialog", [](TestAppDir &app, const QString &out) {
                          frmConfigFileSelector &dialog = frmConfigFileSelector::Instance(app.session());
                          dialog.findChild<QLineEdit *>(QStringLiteral("txtFileName"))
                              ->setText(QStringLiteral("Fieldmark_Test"));
                          dialog.show();
                          return dialog.grab().save(out);
                      }}};

} // namespace
