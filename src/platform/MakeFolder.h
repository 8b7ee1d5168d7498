#pragma once

#include "platform/Result.h"

#include <QString>

// Makes the folder path (its parent must exist) unless it is one already. A file in its
// place is FileAlreadyExists; a missing parent PathNotFound; any other refusal PathFileAccess.
Result<void> MakeFolderIfMissing(const QString &path);
