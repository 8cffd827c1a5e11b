#include "screens/window/Shell.h"

#include "service/Endpoint.h"

Shell::Shell(QObject *parent)
    : QObject(parent)
{
    connect(&Endpoint::notifier(), &EndpointNotifier::baseChanged, this, &Shell::siteAddressChanged);
}

Shell *Shell::instance()
{
    static Shell *shell = new Shell(nullptr);
    return shell;
}

Shell *Shell::create(QQmlEngine *, QJSEngine *)
{
    QQmlEngine::setObjectOwnership(instance(), QQmlEngine::CppOwnership);
    return instance();
}

QString Shell::siteAddress() const
{
    return Endpoint::base();
}
