#pragma once
// The checkout QR code: loads the image the store service renders for an order, without blocking, and draws it
// pixel-exact on white. Only addresses on the configured service (same scheme, host and port) are fetched;
// anything else stays the placeholder.
#include <QImage>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QString>
#include <QUrl>
#include <optional>

class QNetworkReply;

class QrCodeImage : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
    Q_PROPERTY(bool loaded READ loaded NOTIFY loadedChanged)

public:
    explicit QrCodeImage(QQuickItem *parent = nullptr);
    ~QrCodeImage() override;

    // The address for a payload's `qr` when it lies on the configured service, absent otherwise.
    [[nodiscard]] static std::optional<QUrl> serviceAddress(const QString &qr);

    [[nodiscard]] QString path() const { return m_path; }
    void setPath(const QString &path);
    [[nodiscard]] bool loaded() const { return !m_image.isNull(); }

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void pathChanged();
    void loadedChanged();

private:
    void load();
    void setImage(const QImage &image);

    QString m_path;
    QImage m_image;
    QPointer<QNetworkReply> m_reply;
};
