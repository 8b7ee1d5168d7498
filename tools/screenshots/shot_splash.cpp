// The splash picture shown while the main window loads.
#include "Shots.h"
#include "ui/frmSplash.h"
#include "support/TestAppDir.h"

#include <QTimer>

namespace {

ShotRegistration reg{{"splash", [](TestAppDir &app, const QString &out) {
                          frmSplash splash(app.session());
                          splash.findChild<QTimer *>(QStringLiteral("tmrWait"))->stop();
                          splash.show();
                          return splash.grab().save(out);
                      }}};

} // namespace
