#pragma once

#include <QString>

class Session;

// Asks for the name of a new configuration file. True with path = lib/<name>[.tsy] when the
// user named a file that may be written (an existing one only after a Yes to replacing it);
// false with path "" when the dialog was cancelled, the name is empty or replacing declined.
// The file itself is not created here.
bool AskNewConfigFileName(Session &session, QString &path);
