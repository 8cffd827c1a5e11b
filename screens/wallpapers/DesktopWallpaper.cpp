#include "screens/wallpapers/DesktopWallpaper.h"

#include <QUrl>

#ifndef Q_OS_MACOS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingReply>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

#include <QCoro/QCoroDBusPendingCall>
#include <QCoro/QCoroSignal>
#endif

using namespace Qt::StringLiterals;

namespace DesktopWallpaper {

QString message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::applied:
        return u"已设为桌面"_s;
    case Outcome::cancelled:
        return u"已取消设为桌面"_s;
    case Outcome::failed:
        return u"设为桌面失败"_s;
    case Outcome::unavailable:
        return u"系统没有提供设置桌面的服务，图片已保存在「图片」"_s;
    }
    return {};
}

#ifdef Q_OS_MACOS
// DesktopWallpaper_mac.mm
QCoro::Task<Outcome> applyOnMac(QString path);

QCoro::Task<Outcome> apply(QString path)
{
    co_return co_await applyOnMac(std::move(path));
}
#else

namespace {

const QString portalService = u"org.freedesktop.portal.Desktop"_s;
const QString portalPath = u"/org/freedesktop/portal/desktop"_s;

// Receives the portal's Response signal for one request path.
class ResponseCatcher : public QObject
{
    Q_OBJECT
public:
    bool answered = false;
    uint response = 2;

public Q_SLOTS:
    void onResponse(uint code, const QVariantMap &)
    {
        answered = true;
        response = code;
        Q_EMIT done();
    }

Q_SIGNALS:
    void done();
};

// The request object the portal will create for this token, so the answer can be caught before it is sent.
QString requestPath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService();
    sender.remove(0, 1).replace(u'.', u'_');
    return portalPath + u"/request/"_s + sender + u'/' + token;
}

} // namespace

QCoro::Task<Outcome> apply(QString path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return Outcome::unavailable;

    const QString token = u"vexlo%1"_s.arg(QRandomGenerator::global()->generate());
    QString handle = requestPath(bus, token);
    ResponseCatcher catcher;
    bus.connect(portalService, handle, u"org.freedesktop.portal.Request"_s, u"Response"_s, &catcher,
                SLOT(onResponse(uint, QVariantMap)));

    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, u"org.freedesktop.portal.Wallpaper"_s,
                                                       u"SetWallpaperURI"_s);
    const QVariantMap options{{u"handle_token"_s, token}, {u"show-preview"_s, false}, {u"set-on"_s, u"background"_s}};
    call << QString() << QUrl::fromLocalFile(path).toString() << options;
    QDBusPendingReply<QDBusObjectPath> reply = co_await bus.asyncCall(call, portalTimeoutMs);
    if (reply.isError()) {
        bus.disconnect(portalService, handle, u"org.freedesktop.portal.Request"_s, u"Response"_s, &catcher,
                       SLOT(onResponse(uint, QVariantMap)));
        const QDBusError::ErrorType type = reply.error().type();
        const bool nobody = type == QDBusError::ServiceUnknown || type == QDBusError::NoReply ||
            type == QDBusError::UnknownObject || type == QDBusError::UnknownInterface ||
            type == QDBusError::UnknownMethod || type == QDBusError::Disconnected;
        co_return nobody ? Outcome::unavailable : Outcome::failed;
    }
    // Older portals choose the request path themselves; follow the one they name.
    if (reply.value().path() != handle) {
        bus.disconnect(portalService, handle, u"org.freedesktop.portal.Request"_s, u"Response"_s, &catcher,
                       SLOT(onResponse(uint, QVariantMap)));
        handle = reply.value().path();
        bus.connect(portalService, handle, u"org.freedesktop.portal.Request"_s, u"Response"_s, &catcher,
                    SLOT(onResponse(uint, QVariantMap)));
    }
    if (!catcher.answered) {
        QTimer timeout;
        timeout.setSingleShot(true);
        timeout.start(portalTimeoutMs);
        QObject::connect(&timeout, &QTimer::timeout, &catcher, &ResponseCatcher::done);
        co_await qCoro(&catcher, &ResponseCatcher::done);
    }
    bus.disconnect(portalService, handle, u"org.freedesktop.portal.Request"_s, u"Response"_s, &catcher,
                   SLOT(onResponse(uint, QVariantMap)));
    if (!catcher.answered)
        co_return Outcome::unavailable;
    switch (catcher.response) {
    case 0:
        co_return Outcome::applied;
    case 1:
        co_return Outcome::cancelled;
    default:
        co_return Outcome::failed;
    }
}

#endif

} // namespace DesktopWallpaper

#ifndef Q_OS_MACOS
#include "DesktopWallpaper.moc"
#endif
