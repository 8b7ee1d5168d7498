#pragma once

#include "config/ConfigRecord.h"

#include <QList>
#include <QString>

class Session;

// Run Server Console for the selected configuration: a joint file goes to the
// merge-and-split launch, any other starts TessHost.exe.
void RunServerConsole(Session &session, const QString &selectedConfigPath, bool isMergeSplitSelected);

// Run Java Server for the selected entries, given in list order.
void RunJavaServer(Session &session, const QList<ConfigEntry> &selectedEntries);

// The command lines as they are started.
// "TessHost.exe", two blanks, "/F ", then the path as it is (not quoted).
QString ServerConsoleCommandLine(const QString &configPath);
// One configuration's argument: "\"<product>;<server>;<user>;<password>;<platform>\" ",
// nothing escaped.
QString JavaServerArgument(const ConfigEntry &entry, const QString &server);
// "RunServer.bat " followed by the arguments as given.
QString JavaServerCommandLine(const QString &argumentText);
