#pragma once

#include "config/ConfigRecord.h"

#include <QString>

class Session;

// The silent mode: eight ":::"-separated fields write one new configuration file.

// Fills config from the argument text; false (config partly filled) with fewer than eight fields.
// *fieldCount receives the number of fields found.
bool ParseCommandLine(const QString &arguments, ConfigRecord &config, int *fieldCount = nullptr);

// Why the program could not read back the file that config would make, naming the field
// and its value; empty when it can. The product code and platform must convert as the list
// converts them, the database names the file and must make a valid file name.
QString WhyFieldsRefused(const ConfigRecord &config);

// The text of --help: the eight fields, an example, the exit statuses.
QString CommandLineUsage();

// Writes session.CurrentConfig as lib/<database>_<SatelliteAppln>.tsy; on failure shows
// SLBL0356 and returns false.
bool CreateConfigFromCommandLine(Session &session);

// The whole mode, --help, -h and --version included; returns the process exit status:
// 0 written (or help shown), 1 the file could not be written, 2 a bad command line.
int RunCommandLineMode(Session &session, const QString &arguments);
