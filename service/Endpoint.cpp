#include "service/Endpoint.h"
#include "service/UserDefaults.h"

using namespace Qt::StringLiterals;

namespace Endpoint {

QString defaultBase()
{
    return u"http://127.0.0.1:4812"_s;
}

QString base()
{
    const auto settings = userDefaults();
    const QVariant stored = settings->value("baseURL"_L1);
    if (!stored.isValid())
        return defaultBase();
    return stored.toString();
}

void setBase(const QString &value)
{
    const bool changed = base() != value;
    auto settings = userDefaults();
    settings->setValue("baseURL"_L1, value);
    settings->sync();
    if (changed)
        Q_EMIT notifier().baseChanged();
}

EndpointNotifier &notifier()
{
    static EndpointNotifier instance;
    return instance;
}

std::optional<QUrl> parse(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QUrl> url(const QString &path)
{
    return parse(base() + path);
}

std::optional<QUrl> onService(const QString &path)
{
    const std::optional<QUrl> service = url(u"/"_s);
    const std::optional<QUrl> address = url(path);
    if (!service || !address || !address->userInfo().isEmpty() || service->host().isEmpty())
        return std::nullopt;
    if (address->scheme() != service->scheme() || address->host() != service->host() ||
        address->port(-1) != service->port(-1))
        return std::nullopt;
    return address;
}

} // namespace Endpoint
