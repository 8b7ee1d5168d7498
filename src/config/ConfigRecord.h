#pragma once

#include "config/Products.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

// One configuration: twenty text fields named after the keys of a configuration file.
// The password is held in clear text; it is scrambled only when written.
struct ConfigRecord
{
    QString SatelliteAppln, ldbp, dsn, database, dbmachinename, user, savepass, password,
        autologin, lhbuscomponent, logdirectory, webdirectory, tablequeuetimer, timer,
        gridcols, paneratio, currenttable, screen, batchsize, delay;
    // The file's lines that are none of the twenty keys (other keys, comments), as read and
    // in their order: the editor writes them back after the twenty so that nothing is lost.
    QStringList otherLines;

    bool operator==(const ConfigRecord &) const = default;
};

// What every new configuration starts with: the server console's own settings (keys 13 to
// 18) empty, batch size 100 and delay 30.
inline void ApplyNewConfigurationDefaults(ConfigRecord &config)
{
    for (QString *field : {&config.tablequeuetimer, &config.timer, &config.gridcols,
                           &config.paneratio, &config.currenttable, &config.screen})
        field->clear();
    config.batchsize = QStringLiteral("100");
    config.delay = QStringLiteral("30");
}

// The database platforms an ldbp value names. Before the Java server starts on the second,
// the database is asked for its server name, which then stands for the data source.
inline constexpr qint16 FirstPlatform = 1;
inline constexpr qint16 ServerNamePlatform = 2;

// The key names of configuration files as written; every reader, writer and check names a
// key through these. Readers match them without regard to case.
namespace Key {
using namespace Qt::Literals::StringLiterals;
inline constexpr QLatin1StringView SatelliteAppln = "SatelliteAppln"_L1;
inline constexpr QLatin1StringView Ldbp = "ldbp"_L1;
inline constexpr QLatin1StringView Dsn = "dsn"_L1;
inline constexpr QLatin1StringView Database = "database"_L1;
inline constexpr QLatin1StringView DbMachineName = "dbmachinename"_L1;
inline constexpr QLatin1StringView User = "user"_L1;
inline constexpr QLatin1StringView SavePass = "savepass"_L1;
inline constexpr QLatin1StringView Password = "password"_L1;
inline constexpr QLatin1StringView AutoLogin = "autologin"_L1;
inline constexpr QLatin1StringView LhBusComponent = "lhbuscomponent"_L1;
inline constexpr QLatin1StringView LogDirectory = "logdirectory"_L1;
inline constexpr QLatin1StringView WebDirectory = "webdirectory"_L1;
inline constexpr QLatin1StringView TableQueueTimer = "tablequeuetimer"_L1;
inline constexpr QLatin1StringView Timer = "timer"_L1;
inline constexpr QLatin1StringView GridCols = "gridcols"_L1;
inline constexpr QLatin1StringView PaneRatio = "paneratio"_L1;
inline constexpr QLatin1StringView CurrentTable = "currenttable"_L1;
inline constexpr QLatin1StringView Screen = "screen"_L1;
inline constexpr QLatin1StringView BatchSize = "batchsize"_L1;
inline constexpr QLatin1StringView Delay = "delay"_L1;
// A joint file marks each of its sections as part of merge and split with "mns=1".
inline constexpr QLatin1StringView Mns = "mns"_L1;
// The joint editor's spellings of two of the keys above: the same keys under the INI rules,
// written so when a section lacks them.
inline constexpr QLatin1StringView JointBatchSize = "batchSize"_L1;
inline constexpr QLatin1StringView JointDelay = "Delay"_L1;
} // namespace Key

// The twenty keys in writing order, as written, with the field each one fills.
struct ConfigKey
{
    QLatin1StringView written;
    QString ConfigRecord::*field;
};

inline constexpr std::array<ConfigKey, 20> ConfigKeys = {{
    {Key::SatelliteAppln, &ConfigRecord::SatelliteAppln},
    {Key::Ldbp, &ConfigRecord::ldbp},
    {Key::Dsn, &ConfigRecord::dsn},
    {Key::Database, &ConfigRecord::database},
    {Key::DbMachineName, &ConfigRecord::dbmachinename},
    {Key::User, &ConfigRecord::user},
    {Key::SavePass, &ConfigRecord::savepass},
    {Key::Password, &ConfigRecord::password},
    {Key::AutoLogin, &ConfigRecord::autologin},
    {Key::LhBusComponent, &ConfigRecord::lhbuscomponent},
    {Key::LogDirectory, &ConfigRecord::logdirectory},
    {Key::WebDirectory, &ConfigRecord::webdirectory},
    {Key::TableQueueTimer, &ConfigRecord::tablequeuetimer},
    {Key::Timer, &ConfigRecord::timer},
    {Key::GridCols, &ConfigRecord::gridcols},
    {Key::PaneRatio, &ConfigRecord::paneratio},
    {Key::CurrentTable, &ConfigRecord::currenttable},
    {Key::Screen, &ConfigRecord::screen},
    {Key::BatchSize, &ConfigRecord::batchsize},
    {Key::Delay, &ConfigRecord::delay},
}};

// The summary of one listed configuration file.
struct ConfigEntry
{
    QString FileName;
    qint16 ProductCode = 0;
    QString Dsn;
    QString User;
    QString Password; // clear text
    qint16 Platform = 0;
    QString DbMachineName;
};
