#pragma once

#include "config/ConfigRecord.h"
#include "platform/Result.h"

#include <QString>
#include <QStringList>

class Session;

// The silent mode: eight ":::"-separated fields write one new configuration file.

// The record of the argument text; with fewer than eight fields a failure that says how many
// there are and which are needed.
Result<ConfigRecord> ParseCommandLine(const QString &arguments);

// Why the program could not read back the file that config would make, naming the field
// and its value; empty when it can. The product code and platform must convert as the list
// converts them, the database names the file and must make a valid file name.
QString WhyFieldsRefused(const ConfigRecord &config);

// The text of --help, naming the program as command: the eight fields, an example, --check,
// the subcommands that operate what runs, the exit statuses.
QString CommandLineUsage(const QString &command = QStringLiteral("ConfigurationSelector"));

// --check: one line for each configuration of folder, in list order, that cannot be read,
// holds a password others may read, or whose values a reader would read back changed; one
// line for a folder that cannot be read. Empty when all are sound.
QStringList CheckConfigurations(const QString &folder);

// Writes config as lib/<database>_<SatelliteAppln>.tsy; on failure shows SLBL0356 and
// returns false.
bool CreateConfigFromCommandLine(Session &session, const ConfigRecord &config);

// The whole mode, --help, -h, --version and --check included; returns the process exit
// status: 0 written (or help shown), 1 the file could not be written, 2 a bad command line.
// command is the program's name as it was called, for --help.
int RunCommandLineMode(Session &session, const QString &arguments,
                       const QString &command = QStringLiteral("ConfigurationSelector"));
