#include "screens/window/DeepLink.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

// Path components as the platform's URL splits them: "/" separators dropped, each component decoded.
QStringList pathComponents(const QUrl &url)
{
    QStringList parts;
    const QStringList raw = url.path(QUrl::FullyEncoded).split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : raw)
        parts.append(QUrl::fromPercentEncoding(part.toUtf8()));
    return parts;
}

// The slug goes into a request path unescaped, so a link from a web page must not be able to steer it
// elsewhere on the service ("..", "?", "#", "%", a decoded "/" or white space).
bool isSafeSlug(const QString &slug)
{
    static const QRegularExpression allowed(u"^[A-Za-z0-9_.\\-]+$"_s);
    return allowed.match(slug).hasMatch() && slug != u"."_s && slug != u".."_s;
}

} // namespace

QString sectionForLinkName(const QString &name)
{
    static const QStringList direct{u"device"_s, u"top"_s, u"latest"_s, u"wallpapers"_s, u"member"_s, u"installed"_s};
    return direct.contains(name) ? name : u"discover"_s;
}

DeepLinkTarget parseDeepLink(const QUrl &url)
{
    if (!url.isValid() || url.scheme() != u"vexlink"_s)
        return {};
    const QStringList parts = pathComponents(url);
    if (parts.isEmpty())
        return {};
    const QString &argument = parts.first();
    const QString host = url.host(QUrl::FullyDecoded);
    if (host == u"app"_s && isSafeSlug(argument))
        return {DeepLinkTarget::Kind::app, argument};
    if (host == u"section"_s)
        return {DeepLinkTarget::Kind::section, sectionForLinkName(argument)};
    return {};
}
