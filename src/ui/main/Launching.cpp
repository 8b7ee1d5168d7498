// TEMPORARY until launching lands.
#include "ui/main/Launching.h"

void RunServerConsole(Session &, const QString &, bool) {}
void RunJavaServer(Session &, const QList<ConfigEntry> &) {}
