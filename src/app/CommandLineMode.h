#pragma once

#include "config/ConfigRecord.h"

#include <QString>

class Session;

// The silent mode: eight ":::"-separated fields write one new configuration file.

// Fills config from the argument text; false (config partly filled) with fewer than eight fields.
// *fieldCount receives the number of fields found.
bool ParseCommandLine(const QString &arguments, ConfigRecord &config, int *fieldCount = nullptr);

// Writes session.CurrentConfig as lib/<database>_<SatelliteAppln>.tsy; on failure shows
// SLBL0356 and returns false.
bool CreateConfigFromCommandLine(Session &session);

// The whole mode; returns the process exit status (0 when the file was written).
int RunCommandLineMode(Session &session, const QString &arguments);
