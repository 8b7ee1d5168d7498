// The program log window, and the question asked when someone else changed a file meanwhile.
#include "Shots.h"
#include "support/TestAppDir.h"
#include "ui/Controls.h"
#include "ui/MessageBoxes.h"
#include "ui/main/frmProgramLog.h"

#include <QApplication>
#include <QTimer>

namespace {

ShotRegistration regLog{{"programlog", [](TestAppDir &app, const QString &out) {
                             app.writeFile(QStringLiteral("log/Fieldmark_Sales.tsy.console.log"),
                                           "==== 2026-12-07 10:02:11 started by op1: TessHost.exe  /F lib/Fieldmark_Sales.tsy\n"
                                           "Server console ready on FMK_SALES\n");
                             frmProgramLog log(app.session().Text("CS_LOG_TITLE", QStringLiteral("Fieldmark_Sales.tsy")),
                                               {app.path() + QStringLiteral("/log/Fieldmark_Sales.tsy.console.log")}, nullptr);
                             Controls::Localise(app.session(), log);
                             log.resize(640, 240);
                             log.show();
                             QCoreApplication::processEvents();
                             return log.grab().save(out);
                         }}};

ShotRegistration regQuestion{{"message_changed", [](TestAppDir &app, const QString &out) {
                                  MessageBoxes boxes;
                                  boxes.SetTexts(&app.session().Texts());
                                  bool saved = false;
                                  // The box waits for an answer: it is grabbed and closed from the event loop.
                                  QTimer::singleShot(0, [&] {
                                      if (QWidget *box = QApplication::activeModalWidget()) {
                                          saved = box->grab().save(out);
                                          box->close();
                                      }
                                  });
                                  boxes.Show(app.session().Text("CS_SAVE_CHANGED", QStringLiteral("lib/Fieldmark_Sales.tsy"),
                                                                QStringLiteral("10:02"), app.session().Text("CS_SAVE_USER", QStringLiteral("op2"))),
                                             MsgIcon::Exclamation, MsgButtons::TheirsMineCancel, app.session().ProgramTitle(), nullptr);
                                  return saved;
                              }}};

} // namespace
