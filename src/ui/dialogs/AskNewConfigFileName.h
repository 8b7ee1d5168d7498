#pragma once

#include <QString>
#include <optional>

class QWidget;
class Session;

// Asks for the name of a new configuration file. The path lib/<name>[.tsy], trailing blanks
// and dots of the name dropped, when the user named a file that may be written (an existing
// one only after a Yes to the question that names it; Enter answers No); none when the dialog
// was cancelled, the name is empty or replacing declined: nothing went wrong, the user chose.
// The question is shown over asker. The file itself is not created here.
std::optional<QString> AskNewConfigFileName(Session &session, QWidget *asker);
