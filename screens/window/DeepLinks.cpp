#include "screens/window/DeepLinks.h"

#include "store/Navigator.h"

DeepLinks *DeepLinks::instance()
{
    static DeepLinks *links = new DeepLinks(nullptr);
    return links;
}

DeepLinks *DeepLinks::create(QQmlEngine *, QJSEngine *)
{
    QQmlEngine::setObjectOwnership(instance(), QQmlEngine::CppOwnership);
    return instance();
}

void DeepLinks::open(const QUrl &url)
{
    if (m_attached)
        Q_EMIT linkOpened(url);
    else
        m_waiting.append(url);
}

void DeepLinks::attach()
{
    if (!m_attached)
        connect(this, &DeepLinks::linkOpened, this, &DeepLinks::follow);
    m_attached = true;
    const QList<QUrl> waiting = std::exchange(m_waiting, {});
    for (const QUrl &url : waiting)
        Q_EMIT linkOpened(url);
}

void DeepLinks::follow(const QUrl &url)
{
    Store *store = Store::instance();
    if (!store)
        return;
    const DeepLinkTarget target = parseDeepLink(url);
    switch (target.kind) {
    case DeepLinkTarget::Kind::app:
        store->navigator().openApp(target.argument);
        break;
    case DeepLinkTarget::Kind::section:
        store->navigator().openSection(target.argument);
        break;
    case DeepLinkTarget::Kind::none:
        break;
    }
}
