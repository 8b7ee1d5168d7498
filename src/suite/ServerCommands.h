#pragma once

#include "config/ConfigRecord.h"
#include "platform/VbText.h"
#include "suite/RunRegister.h"
#include "app/SuiteContext.h"

#include <QString>

// The command lines that start the suite's servers, as they are started, and the starts
// themselves, for an ordinary configuration and a joint one alike.

// "TessHost.exe", two blanks, "/F ", then the path, quoted only when it holds blanks or quotes.
QString ServerConsoleCommandLine(const QString &configPath);
// A section of a joint file: the path followed by "/C" without a blank (one argument, quoted
// when it needs it), a blank, then the section; the console expects exactly this line.
QString ServerConsoleCommandLine(const QString &jointFilePath, const QString &section);

// One configuration's value for the Java server, always in quotes:
// "<product>;<server>;<user>;<password>;<platform>"; quotes and backslashes inside the values
// escaped so that each reaches the Java server whole.
QString JavaServerValue(const QString &product, const QString &server, const QString &user,
                        const QString &password, const QString &platform);
// The value of an ordinary configuration followed by one blank.
QString JavaServerArgument(const ConfigEntry &entry, const QString &server);
// "RunServer.bat " followed by the arguments as given.
QString JavaServerCommandLine(const QString &argumentText);

// Starts a server console command line for configFile (and a joint file's section), recorded
// in the run register with its output in its log; a failure is shown with its reason (SLBL0126).
bool StartServerConsoleProgram(const SuiteContext &suite, const QString &commandLine, const QString &configFile,
                               const QString &section = QString());
// Starts the Java server for configFiles, recorded; the caller tells a failure its own way.
Result<void> StartJavaServerProgram(const SuiteContext &suite, const QString &argumentText,
                                    const QStringList &configFiles);
// Starts a program of configFile and records it; a start that could not be recorded is told.
Result<void> StartRecordedProgram(const SuiteContext &suite, RunKind kind, const QStringList &configFiles,
                                  const QString &section, const QString &commandLine);
