// The about box, with the suite's version read from the registry file.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/dialogs/frmAbout.h"

namespace {

ShotRegistration reg{{"about", [](TestAppDir &app, const QString &out) {
                          app.writeFile(QStringLiteral("registry.reg"),
                                        "Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n"
                                        "\"Solution\"=\"6.2.1\"\r\n");
                          frmAbout about(app.session());
                          about.Load();
                          about.show();
                          return about.grab().save(out);
                      }}};

} // namespace
