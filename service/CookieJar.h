#pragma once
// A cookie jar that behaves like a browser's shared store: cookies with an expiry date are kept in a file
// (readable by the user only, replaced atomically) and come back after a restart; session cookies live
// only as long as the jar; expired cookies are dropped.
#include <QNetworkCookieJar>
#include <QString>

class PersistentCookieJar : public QNetworkCookieJar
{
    Q_OBJECT
public:
    explicit PersistentCookieJar(QString filePath, QObject *parent = nullptr);

    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;
    bool insertCookie(const QNetworkCookie &cookie) override;
    bool updateCookie(const QNetworkCookie &cookie) override;
    bool deleteCookie(const QNetworkCookie &cookie) override;

    [[nodiscard]] QString filePath() const { return m_filePath; }

private:
    void load();
    void save() const;
    void changed(bool didChange);

    QString m_filePath;
    bool m_batch = false;
    bool m_dirty = false;
};
