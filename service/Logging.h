#pragma once
// The log category of the store service client: QT_LOGGING_RULES="vexlo.service.debug=true" shows its debug messages.
#include "service/ApiResult.h"

#include <QDebug>
#include <QLoggingCategory>

// Defined inline (one instance for the whole program), so the library needs no source file for it.
inline Q_LOGGING_CATEGORY(lcService, "vexlo.service")

    // A failed call in a log line: the HTTP status and the error's own text, or what the transport or the decoder said.
    // None of them ever holds a cookie or a password.
    inline QDebug
    operator<<(QDebug debug, const ApiError &error)
{
    const QDebugStateSaver saver(debug);
    debug.noquote().nospace();
    if (error.kind == ApiError::Kind::decoding)
        return debug << "reply not decoded: " << error.detail;
    if (error.kind != ApiError::Kind::store)
        return debug << "no reply: " << error.detail;
    if (error.store.kind == StoreError::Kind::server)
        debug << "HTTP " << error.store.code << ": ";
    return debug << error.store.errorDescription();
}
