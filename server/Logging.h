#pragma once
// The log category of the reference store service: QT_LOGGING_RULES="vexlo.server.debug=true" shows its debug messages.
#include <QLoggingCategory>

// Defined inline (one instance for the whole program), so the library needs no source file for it.
inline Q_LOGGING_CATEGORY(lcServer, "vexlo.server")
