#pragma once

#include <QString>

class Session;

// Starts everything that serves a joint configuration: a server console per section, the
// Java server for both, one event dispatcher per publisher bus component.
void RunMergeAndSplit(Session &session, const QString &jointFilePath);
