#pragma once
// The site address (user default "baseURL") and request addresses built from it.
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

// Tells what shows the site address that the stored address changed.
class EndpointNotifier : public QObject
{
    Q_OBJECT

Q_SIGNALS:
    void baseChanged();
};

namespace Endpoint {
QString defaultBase();
// The stored address exactly as stored (also when empty); the default when nothing is stored.
QString base();
// Stores the address; baseChanged follows when the stored text changed.
void setBase(const QString &base);
EndpointNotifier &notifier();
// base() + path, parsed tolerantly; absent when the text cannot be made a URL. Read afresh on every call.
std::optional<QUrl> url(const QString &path);
// url(path) when it stays on the service: the same scheme, host and port as the base and no user name. A path
// handed over by the service ("@other:port/x") could otherwise send the request, and the session, elsewhere.
std::optional<QUrl> onService(const QString &path);
// The same parse for an already joined text (used by records that build addresses).
std::optional<QUrl> parse(const QString &text);
} // namespace Endpoint
