#pragma once

#include "config/ConfigRecord.h"

#include <QList>
#include <QString>

class Session;

// Run Server Console for the selected configuration: a joint file goes to the
// merge-and-split launch, any other starts TessHost.exe. False when the console could not be
// started (reported); a joint file's launch reports its own failures.
bool RunServerConsole(Session &session, const QString &selectedConfigPath, bool isMergeSplitSelected);

// Run Java Server for the selected entries, given in list order.
void RunJavaServer(Session &session, const QList<ConfigEntry> &selectedEntries);
