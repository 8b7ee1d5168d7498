// The folder browser as the editor opens it on an existing web directory.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/frmbrowse.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

ShotRegistration reg{{"browse", [](TestAppDir &app, const QString &out) {
                          frmbrowse browser(app.session());
                          browser.Load();
                          // A folder every Linux machine has, so that the picture stays the same.
                          browser.SetStartPath(QStringLiteral("/usr/share"));
                          browser.show();
                          // The folder list fills in the background.
                          QElapsedTimer waited;
                          waited.start();
                          while (waited.elapsed() < 500)
                              QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                          return browser.grab().save(out);
                      }}};

} // namespace
