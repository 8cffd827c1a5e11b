#include "software/Appcast.h"

#include "service/Network.h"
#include "service/Transport.h"
#include "software/UpdateMatch.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScopeGuard>
#include <QXmlStreamReader>

#include <QCoro/QCoroNetworkReply>

#include <plist/plist.h>

#include <QFile>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

QUrl webPage(const QString &text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty() ? url : QUrl();
}

struct Item
{
    Appcast::Release release;
    QUrl itemLink;
    bool otherChannel = false;
    bool otherOs = false;
};

void readEnclosure(const QXmlStreamAttributes &attributes, Item &item)
{
    for (const QXmlStreamAttribute &a : attributes) {
        const QStringView name = a.qualifiedName();
        if (name == u"sparkle:version" && item.release.version.isEmpty())
            item.release.version = a.value().trimmed().toString();
        else if (name == u"sparkle:shortVersionString" && item.release.shortVersion.isEmpty())
            item.release.shortVersion = a.value().trimmed().toString();
        else if (name == u"sparkle:os" && a.value().trimmed().compare(u"macos", Qt::CaseInsensitive) != 0)
            item.otherOs = true;
    }
}

// Reads one <item> up to its end tag.
Item readItem(QXmlStreamReader &xml)
{
    Item item;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.qualifiedName();
        if (name == u"enclosure") {
            readEnclosure(xml.attributes(), item);
            xml.skipCurrentElement();
        } else if (name == u"sparkle:version") {
            item.release.version = xml.readElementText().trimmed();
        } else if (name == u"sparkle:shortVersionString") {
            item.release.shortVersion = xml.readElementText().trimmed();
        } else if (name == u"sparkle:minimumSystemVersion") {
            item.release.minimumSystemVersion = xml.readElementText().trimmed();
        } else if (name == u"sparkle:releaseNotesLink" || name == u"sparkle:fullReleaseNotesLink") {
            const QUrl page = webPage(xml.readElementText());
            if (item.release.page.isEmpty())
                item.release.page = page;
        } else if (name == u"link") {
            item.itemLink = webPage(xml.readElementText());
        } else if (name == u"sparkle:channel") {
            item.otherChannel = !xml.readElementText().trimmed().isEmpty();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (item.release.page.isEmpty())
        item.release.page = item.itemLink;
    return item;
}

bool later(const Appcast::Release &a, const Appcast::Release &b)
{
    if (!a.version.isEmpty() && !b.version.isEmpty() && a.version != b.version)
        return UpdateMatch::isNewer(a.version, b.version);
    return UpdateMatch::isNewer(a.shownVersion(), b.shownVersion());
}

QString plistString(plist_t dict, const char *key)
{
    const plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return {};
    char *value = nullptr;
    plist_get_string_val(node, &value);
    const QString text = QString::fromUtf8(value);
    std::free(value);
    return text;
}

} // namespace

namespace Appcast {

Installed readInstalled(const QString &bundlePath)
{
    QFile file(bundlePath + u"/Contents/Info.plist"_s);
    // An Info.plist is a few kilobytes; a huge one is not read.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024)
        return {};
    const QByteArray data = file.readAll();
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    if (!root)
        return {};
    const auto free = qScopeGuard([root] { plist_free(root); });
    if (plist_get_node_type(root) != PLIST_DICT)
        return {};
    return {plistString(root, "CFBundleShortVersionString"), plistString(root, "CFBundleVersion"),
            plistString(root, "SUFeedURL").trimmed()};
}

std::optional<Release> newest(const QByteArray &data, const ThisMac &mac)
{
    QXmlStreamReader xml(data);
    std::optional<Release> best;
    QUrl channelLink;
    bool rss = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.qualifiedName();
        if (name == u"rss") {
            rss = true;
        } else if (name == u"link" && rss && !channelLink.isValid()) {
            channelLink = webPage(xml.readElementText());
        } else if (name == u"item" && rss) {
            const Item item = readItem(xml);
            const Release &r = item.release;
            if (item.otherChannel || item.otherOs || r.shownVersion().isEmpty())
                continue;
            const QString minimum = r.minimumSystemVersion;
            if (!minimum.isEmpty() && !mac.osVersion.isEmpty() && UpdateMatch::isNewer(minimum, mac.osVersion))
                continue;
            if (!best || later(r, *best))
                best = r;
        }
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return std::nullopt;
    if (best && best->page.isEmpty())
        best->page = channelLink;
    return best;
}

bool isNewer(const Release &release, const Installed &installed)
{
    if (!release.version.isEmpty() && !installed.version.isEmpty())
        return UpdateMatch::isNewer(release.version, installed.version);
    const QString mine = installed.shortVersion.isEmpty() ? installed.version : installed.shortVersion;
    return UpdateMatch::isNewer(release.shownVersion(), mine);
}

QCoro::Task<Fetched> fetch(QUrl url)
{
    if (!webPage(url.toString()).isValid())
        co_return Fetched{{}, u"订阅地址不是 http 或 https"_s};
    QNetworkRequest request(url);
    request.setTransferTimeout(Transport::getTimeoutMs);
    // The store's sign-in cookie is nobody else's business.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    QPointer<QNetworkReply> reply = sharedNetwork().get(request);
    QNetworkReply *raw = reply.get();
    bool tooLarge = false;
    const auto refuseOver = [raw, &tooLarge](qint64 bytes) {
        if (bytes > maxFeedBytes) {
            tooLarge = true;
            raw->abort();
        }
    };
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw,
                     [raw, refuseOver] { refuseOver(raw->header(QNetworkRequest::ContentLengthHeader).toLongLong()); });
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, refuseOver] { refuseOver(raw->bytesAvailable()); });
    const auto cleanup = qScopeGuard([&reply] {
        if (reply) {
            reply->disconnect();
            reply->deleteLater();
        }
    });
    co_await reply.get();
    if (!reply)
        co_return Fetched{{}, u"请求被放弃"_s};
    if (tooLarge)
        co_return Fetched{{}, u"订阅内容过大"_s};
    if (reply->error() != QNetworkReply::NoError)
        co_return Fetched{{}, reply->errorString()};
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200)
        co_return Fetched{{}, u"请求失败（%1）"_s.arg(status)};
    co_return Fetched{reply->readAll(), {}};
}

} // namespace Appcast
