#pragma once
// The outcome of one service call: a decoded record or the reason it failed.
#include "service/StoreError.h"

#include <QString>
#include <utility>
#include <variant>

struct ApiError
{
    enum class Kind {
        store, // a StoreError (bad address, HTTP status, not HTTP)
        transport, // refused, unreachable, timed out, cancelled: callers show their own fallback text
        decoding, // the reply body did not decode; detail names the record and key
    };
    // What kept a transport failure from bringing a reply.
    enum class Cause { noConnection, timedOut, badReply };
    Kind kind = Kind::transport;
    StoreError store;
    QString detail;
    Cause cause = Cause::noConnection;

    static ApiError fromStore(StoreError e) { return {Kind::store, std::move(e), {}}; }
    static ApiError transportFailure(QString detail, Cause cause = Cause::noConnection)
    {
        return {Kind::transport, {}, std::move(detail), cause};
    }
    static ApiError decodingFailure(QString detail) { return {Kind::decoding, {}, std::move(detail)}; }

    [[nodiscard]] bool is(StoreError::Kind k) const { return kind == Kind::store && store.kind == k; }
    // The error's own description when it has one, the caller's fallback otherwise.
    [[nodiscard]] QString userMessage(const QString &fallback) const
    {
        return kind == Kind::store ? store.errorDescription() : fallback;
    }
    // Why the call failed, in words for the user: no connection, a time-out, the HTTP status (or the
    // service's own message) or a reply that could not be read.
    [[nodiscard]] QString reason() const
    {
        using namespace Qt::StringLiterals;
        if (kind == Kind::decoding || (kind == Kind::transport && cause == Cause::badReply))
            return u"服务器回复无效"_s;
        if (kind == Kind::transport)
            return cause == Cause::timedOut ? u"请求超时"_s : u"无法连接服务器"_s;
        if (store.kind == StoreError::Kind::server && store.message == StoreError::statusMessage(store.code))
            return u"服务器返回 %1"_s.arg(store.code);
        return store.errorDescription();
    }
};

template <typename T> class ApiResult
{
public:
    // Needed by QCoro::waitFor; a result that was never filled in reads as a transport failure.
    ApiResult()
        : m_data(std::in_place_index<1>, ApiError::transportFailure(QStringLiteral("no result")))
    { }
    ApiResult(T value)
        : m_data(std::in_place_index<0>, std::move(value))
    { }
    ApiResult(ApiError error)
        : m_data(std::in_place_index<1>, std::move(error))
    { }
    ApiResult(StoreError error)
        : m_data(std::in_place_index<1>, ApiError::fromStore(std::move(error)))
    { }

    [[nodiscard]] bool ok() const { return m_data.index() == 0; }
    [[nodiscard]] const T &value() const & { return std::get<0>(m_data); }
    [[nodiscard]] T take() && { return std::get<0>(std::move(m_data)); }
    [[nodiscard]] const ApiError &error() const { return std::get<1>(m_data); }

private:
    std::variant<T, ApiError> m_data;
};
