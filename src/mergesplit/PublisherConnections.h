#pragma once

#include "platform/Odbc.h"

#include <memory>

// The two database connections of the publisher settings dialog. They belong to the
// program, not to one showing of the dialog: opened at its load, kept until its next load
// replaces them or the program ends.
namespace PublisherConnections {

// 0 = Fieldmark, 1 = Rostrum. Null when not opened since the last Reset.
Odbc::Connection *Get(int which);
void Set(int which, std::unique_ptr<Odbc::Connection> connection);
// Closes both.
void Reset();

} // namespace PublisherConnections
