#pragma once

#include "config/Products.h"

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

// The twenty keys in writing order, as written, with the field each one fills.
struct ConfigKey
{
    const char *written;
    QString ConfigRecord::*field;
};

inline constexpr std::array<ConfigKey, 20> ConfigKeys = {{
    {"SatelliteAppln", &ConfigRecord::SatelliteAppln},
    {"ldbp", &ConfigRecord::ldbp},
    {"dsn", &ConfigRecord::dsn},
    {"database", &ConfigRecord::database},
    {"dbmachinename", &ConfigRecord::dbmachinename},
    {"user", &ConfigRecord::user},
    {"savepass", &ConfigRecord::savepass},
    {"password", &ConfigRecord::password},
    {"autologin", &ConfigRecord::autologin},
    {"lhbuscomponent", &ConfigRecord::lhbuscomponent},
    {"logdirectory", &ConfigRecord::logdirectory},
    {"webdirectory", &ConfigRecord::webdirectory},
    {"tablequeuetimer", &ConfigRecord::tablequeuetimer},
    {"timer", &ConfigRecord::timer},
    {"gridcols", &ConfigRecord::gridcols},
    {"paneratio", &ConfigRecord::paneratio},
    {"currenttable", &ConfigRecord::currenttable},
    {"screen", &ConfigRecord::screen},
    {"batchsize", &ConfigRecord::batchsize},
    {"delay", &ConfigRecord::delay},
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
