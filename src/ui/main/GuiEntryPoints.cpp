// The entry points of the windows' library, loaded by the program (see app/GuiModule.h).

#include "app/GuiModule.h"
#include "app/Session.h"
#include "platform/Odbc.h"
#include "platform/Process.h"
#include "platform/Worker.h"
#include "suite/Leftovers.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitDialog.h"
#include "ui/main/frmConfigurationSelector.h"
#include "ui/mergesplit/InterruptedMergeSplit.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QTimer>

#include <type_traits>

namespace {

void ShowBusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
void HideBusyCursor() { QGuiApplication::restoreOverrideCursor(); }

void SetUpApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("ConfigurationSelector"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
}

} // namespace

extern "C" Q_DECL_EXPORT int cs_gui_run(int argc, char **argv)
{
    static_assert(std::is_same_v<decltype(&cs_gui_run), GuiModule::RunFunction>);
    QApplication app(argc, argv);
    SetUpApplication(app);
    Process::SetWaitHooks(ShowBusyCursor, HideBusyCursor);

    MessageBoxes messages;
    Session session(QCoreApplication::applicationDirPath(), messages);
    messages.SetTexts(&session.Texts());
    InstallWaitDialog(&session.Texts());
    session.SetQuitHandler([] {
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    });
    RemoveLeftovers(session.AppDir(), session.DefaultLogDirectory());
    frmConfigurationSelector window(session);
    if (!window.Load())
        return 0;
    window.show();
    QTimer::singleShot(0, &window, [&] { OfferInterruptedMergeSplits(session, &window); });
    const int status = app.exec();
    // A login the operator stopped waiting for ends within its time-out; its connection is
    // closed properly before the program goes, with no window left on the screen.
    Worker::WaitForAll((Odbc::LoginTimeoutSeconds + 2) * 1000);
    return status;
}

extern "C" Q_DECL_EXPORT int cs_gui_message_box(const char *text, const char *title, int icon, int buttons)
{
    static_assert(std::is_same_v<decltype(&cs_gui_message_box), GuiModule::MessageBoxFunction>);
    // The box has an argument list of its own: Qt takes no options from the fields.
    int argc = 1;
    char name[] = "ConfigurationSelector";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    SetUpApplication(app);
    // The command line's box: the texts of the application directory, as its message's.
    LocalisedText texts(QCoreApplication::applicationDirPath());
    MessageBoxes boxes;
    boxes.SetTexts(&texts);
    return int(boxes.Show(QString::fromUtf8(text), MsgIcon(icon), MsgButtons(buttons), QString::fromUtf8(title),
                         nullptr));
}
