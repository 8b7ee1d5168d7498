#pragma once

#include "platform/VbText.h"

#include <QString>

// Where configuration files live and how their names are formed.
namespace ConfigStore {

QString ConfigDirectory(const QString &appDir);     // appDir/lib
QString DefaultLogDirectory(const QString &appDir); // appDir/log

// Trimmed not empty and ending in ".tsy" (case-sensitive).
bool IsConfigFileName(const QString &name);
// name unchanged when it is a configuration file name, else name + ".tsy" (not trimmed).
QString AddConfigExtension(const QString &name);

// Writes lib/outName as "[FMK]" CR LF, the Fieldmark file as read, CR LF, "[RST]" CR LF,
// the Rostrum file as read; byte for byte, replacing an existing output.
bool JoinConfigFiles(const QString &appDir, const QString &fieldmarkName,
                     const QString &rostrumName, const QString &outName, Vb::Error *error);

} // namespace ConfigStore
