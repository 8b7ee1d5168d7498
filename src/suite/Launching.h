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

// The command lines as they are started.
// "TessHost.exe", two blanks, "/F ", then the path, quoted only when it holds blanks or quotes.
QString ServerConsoleCommandLine(const QString &configPath);
// One configuration's argument, always in quotes: "\"<product>;<server>;<user>;<password>;<platform>\" ";
// quotes and backslashes inside the values escaped so that each reaches the Java server whole.
QString JavaServerArgument(const ConfigEntry &entry, const QString &server);
// "RunServer.bat " followed by the arguments as given.
QString JavaServerCommandLine(const QString &argumentText);
