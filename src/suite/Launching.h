#pragma once

#include "config/ConfigRecord.h"
#include "app/SuiteContext.h"

#include <QList>
#include <QString>

// Run Server Console for the selected configuration: a joint file goes to the
// merge-and-split launch, any other starts TessHost.exe. False when the console could not be
// started (reported); for a joint file false when any of its programs could not be started
// (each failure reported).
bool RunServerConsole(const SuiteContext &suite, const QString &selectedConfigPath, bool isMergeSplitSelected);

// Run Java Server for the selected entries, given in list order.
void RunJavaServer(const SuiteContext &suite, const QList<ConfigEntry> &selectedEntries);
