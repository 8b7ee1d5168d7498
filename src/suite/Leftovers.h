#pragma once

#include <QString>
#include <QStringList>

// What runs killed before their end left behind, removed when the window starts: the
// temporary files of replaces in lib/ and log/ that no writer holds, and the directory tool's
// working folders that no run holds. One line for each that stays, naming it and why.
QStringList RemoveLeftovers(const QString &appDir, const QString &logDirectory);
