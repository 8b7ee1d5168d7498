#pragma once

#include "platform/Result.h"

#include <QString>

// Renames the configuration file fromName of folder to toName. Nothing is replaced: a file
// gone meanwhile or a name taken is refused with a text that names both paths as the user
// knows them.
Result<void> RenameConfigFile(const QString &folder, const QString &fromName, const QString &toName);
