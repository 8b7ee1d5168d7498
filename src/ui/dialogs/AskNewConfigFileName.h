#pragma once

#include <QString>

class QWidget;
class Session;

// Asks for the name of a new configuration file. True with path = lib/<name>[.tsy], trailing
// blanks and dots of the name dropped, when the user named a file that may be written (an
// existing one only after a Yes to the question that names it; Enter answers No); false with
// path "" when the dialog was cancelled, the name is empty or replacing declined.
// The question is shown over asker. The file itself is not created here.
bool AskNewConfigFileName(Session &session, QWidget *asker, QString &path);
