#include "EveryWindow.h"

#include "ui/Controls.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/dialogs/frmConfigFileSelector.h"
#include "ui/dialogs/frmbrowse.h"
#include "ui/editor/frmEditConfiguration.h"
#include "ui/frmSplash.h"
#include "ui/main/frmConfigurationSelector.h"
#include "ui/main/frmProgramLog.h"
#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/mergesplit/frmMergeAndSplit.h"

#include <QApplication>
#include <QTest>

const QString LongConfigName = QStringLiteral("Fieldmark_Sales_Region_North_West_Europe.tsy");

void WriteSampleConfigurations(TestAppDir &app)
{
    app.writeConfig(LongConfigName, {"SatelliteAppln=4009", "ldbp=1", "dsn=FMK_SALES", "database=fieldmark",
                                     "user=fmadmin", "lhbuscomponent=cn=FMK_Sales_Region_North_West_Europe, o=Norwen",
                                     "logdirectory=/srv/tessaly/log/fieldmark/sales/north-west-europe",
                                     "webdirectory=/srv/tessaly/web"});
    app.writeConfig(QStringLiteral("Rostrum_Plan.tsy"), {"SatelliteAppln=1028", "ldbp=2", "dsn=RST_PLAN", "user=rs"});
    app.writeConfig(QStringLiteral("Broken.tsy"), {"SatelliteAppln=4009", "ldbp=two"});
    app.writeConfig(QStringLiteral("Default_M&S.tsy"),
                    {"[FMK]", "SatelliteAppln=4009", "dsn=FMK_SALES",
                     "lhbuscomponent=cn=FMK_Sales_Region_North_West_Europe_Publisher_Component, o=Norwen", "",
                     "[RST]", "SatelliteAppln=1028", "ldbp=2", "dsn=RST_PLAN"});
}

void ShowActive(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    (void)QTest::qWaitForWindowActive(&window);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

namespace {

template <typename W, typename... A>
std::unique_ptr<QWidget> Loaded(TestAppDir &app, A &&...arguments)
{
    auto window = std::make_unique<W>(app.session(), std::forward<A>(arguments)...);
    window->Load();
    return window;
}

} // namespace

const std::vector<WindowCase> &EveryWindow()
{
    static const std::vector<WindowCase> windows = {
        {"main window", [](TestAppDir &app) { return Loaded<frmConfigurationSelector>(app); }},
        {"editor", [](TestAppDir &app) { return Loaded<frmEditConfiguration>(app, app.lib(LongConfigName)); }},
        {"new configuration", [](TestAppDir &app) { return Loaded<frmEditConfiguration>(app, QString()); }},
        {"joint editor",
         [](TestAppDir &app) {
             auto window = std::make_unique<frmEditConfigurationMergeSplit>(app.session(), app.lib(QStringLiteral("Default_M&S.tsy")));
             window->Load();
             return std::unique_ptr<QWidget>(std::move(window));
         }},
        // Its load connects to the databases; what it shows is built before.
        {"publisher settings",
         [](TestAppDir &app) {
             return std::unique_ptr<QWidget>(std::make_unique<frmMergeAndSplit>(
                 app.session(), MergeSplitPick{LongConfigName, QStringLiteral("Rostrum_Plan.tsy")}, nullptr));
         }},
        {"name dialog", [](TestAppDir &app) { return Loaded<frmConfigFileSelector>(app); }},
        {"folder browser", [](TestAppDir &app) { return Loaded<frmbrowse>(app); }},
        {"about box", [](TestAppDir &app) { return Loaded<frmAbout>(app); }},
        {"splash", [](TestAppDir &app) { return std::unique_ptr<QWidget>(std::make_unique<frmSplash>(app.session())); }},
        {"program log",
         [](TestAppDir &app) {
             app.writeFile(QStringLiteral("log/x.tsy.console.log"), "started\n");
             auto log = std::make_unique<frmProgramLog>(app.session().Text("CS_LOG_TITLE", QStringLiteral("x.tsy")),
                                                        QStringList{app.path() + QStringLiteral("/log/x.tsy.console.log")},
                                                        QHash<QString, QString>{}, nullptr);
             // As Show Log opens it.
             Controls::Localise(app.session(), *log);
             return std::unique_ptr<QWidget>(std::move(log));
         }},
    };
    return windows;
}
