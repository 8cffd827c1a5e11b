#include "screens/account/QrCodeImage.h"

#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/Transport.h"

#include <QNetworkReply>
#include <QPainter>

QrCodeImage::QrCodeImage(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
    setSmooth(false);
}

QrCodeImage::~QrCodeImage()
{
    if (m_reply)
        m_reply->abort();
}

std::optional<QUrl> QrCodeImage::serviceAddress(const QString &qr)
{
    if (qr.isEmpty())
        return std::nullopt;
    return Endpoint::onService(qr);
}

void QrCodeImage::setPath(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    Q_EMIT pathChanged();
    load();
}

void QrCodeImage::load()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    setImage({});
    const std::optional<QUrl> url = serviceAddress(m_path);
    if (!url)
        return;
    QNetworkRequest request(Transport::onTheWire(*url));
    request.setTransferTimeout(Transport::getTimeoutMs);
    // A redirect could lead off the service: it is not followed, and the placeholder stays.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = sharedNetwork().get(request);
    // An image far larger than any code is refused unread, like every other reply of the service.
    Transport::guard(reply, Transport::maxReplyBytes, Transport::getTimeoutMs);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply != m_reply)
            return;
        m_reply = nullptr;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() == QNetworkReply::NoError && status == 200)
            setImage(QImage::fromData(reply->readAll()));
    });
}

void QrCodeImage::setImage(const QImage &image)
{
    const bool wasLoaded = loaded();
    m_image = image;
    if (wasLoaded != loaded())
        Q_EMIT loadedChanged();
    update();
}

void QrCodeImage::paint(QPainter *painter)
{
    if (m_image.isNull())
        return;
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(QRectF(0, 0, width(), height()), m_image);
}
