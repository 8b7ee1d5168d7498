// Writes a PNG of every window of the program into the folder given as the argument, in
// English, in German (<name>_de.png) and with every text marked and 40 % longer (<name>_long.png).
#include "Shots.h"
#include "support/MarkedTexts.h"
#include "support/TestAppDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <vector>

static std::vector<Shot> &Registry()
{
    static std::vector<Shot> shots;
    return shots;
}

ShotRegistration::ShotRegistration(Shot shot) { Registry().push_back(std::move(shot)); }

void PrepareDemoContent(TestAppDir &app)
{
    app.writeConfig(QStringLiteral("Fieldmark_Sales.tsy"),
                    {"SatelliteAppln=4009", "ldbp=1", "dsn=FMK_SALES", "database=fieldmark",
                     "dbmachinename=dbhost1", "user=fmadmin", "savepass=0", "password=",
                     "autologin=0", "lhbuscomponent=cn=FMK_Sales, o=Norwen",
                     "logdirectory=/srv/tessaly/log", "webdirectory=/srv/tessaly/web",
                     "tablequeuetimer=", "timer=", "gridcols=", "paneratio=", "currenttable=",
                     "screen=", "batchsize=100", "delay=30"});
    app.writeConfig(QStringLiteral("Rostrum_Plan.tsy"),
                    {"SatelliteAppln=1028", "ldbp=2", "dsn=RST_PLAN", "database=rostrum",
                     "dbmachinename=dbhost2", "user=rsadmin", "savepass=0", "password=",
                     "autologin=0", "lhbuscomponent=cn=RST_Plan, o=Norwen",
                     "logdirectory=/srv/tessaly/log", "webdirectory=", "batchsize=100",
                     "delay=30"});
    app.writeConfig(QStringLiteral("Webtrell_Portal.tsy"),
                    {"SatelliteAppln=4010", "ldbp=1", "dsn=WEB_PORTAL", "database=webtrell",
                     "dbmachinename=dbhost1", "user=webuser", "savepass=0", "password=",
                     "autologin=0", "lhbuscomponent=cn=WEB_Portal, o=Norwen",
                     "logdirectory=/srv/tessaly/log", "webdirectory=", "batchsize=100",
                     "delay=30"});
    app.writeConfig(QStringLiteral("Default_M&S.tsy"),
                    {"[FMK]", "SatelliteAppln=4009", "dsn=FMK_SALES", "", "[RST]",
                     "SatelliteAppln=1028", "dsn=RST_PLAN"});
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    auto source = [](const char *name) {
        QFile file(QStringLiteral(CS_SOURCE_DIR "/resources/") + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray english = source("I18nText.xml");
    const std::pair<const char *, QByteArray> languages[] = {
        {"", english}, {"_de", source("I18nText.de.xml")}, {"_long", MarkedTexts::Make(english)}};
    int failures = 0;
    for (const auto &[suffix, texts] : languages) {
        for (const Shot &shot : Registry()) {
            TestAppDir dir;
            dir.writeFile(QStringLiteral("I18nText.xml"), texts);
            PrepareDemoContent(dir);
            const QString file = out + u'/' + QLatin1String(shot.name) + QLatin1String(suffix) + QLatin1String(".png");
            const bool ok = !texts.isEmpty() && shot.make(dir, file);
            std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
            failures += ok ? 0 : 1;
        }
    }
    return failures == 0 ? 0 : 1;
}
