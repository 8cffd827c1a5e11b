#pragma once
// The store client's own error, each case with the Chinese text the screens show.
#include <QString>

struct StoreError
{
    enum class Kind { server, badURL, network, unauthorized, needsSponsor };
    Kind kind = Kind::server;
    QString message; // server only
    int code = 0; // server only: the HTTP status

    [[nodiscard]] QString errorDescription() const;
    static StoreError server(const QString &message, int code) { return {Kind::server, message, code}; }
    static StoreError of(Kind kind) { return {kind, {}, 0}; }
    // The message of a failed reply whose body names no error: "请求失败（status）".
    static QString statusMessage(int status);
};
