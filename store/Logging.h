#pragma once
// The log category of the store state object: QT_LOGGING_RULES="vexlo.store.debug=true" shows its debug messages.
#include "service/Logging.h" // how a failed service call reads in a log line

#include <QLoggingCategory>

// Defined inline (one instance for the whole program), so the library needs no source file for it.
inline Q_LOGGING_CATEGORY(lcStore, "vexlo.store")
