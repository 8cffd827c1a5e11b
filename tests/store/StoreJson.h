#pragma once
// JSON bodies of the store service, built small and complete enough to decode, and the scripts that serve them.
#include "Fixtures.h"
#include "ScriptedServer.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <optional>

namespace fixtures {

inline QJsonObject app(const QString &slug)
{
    QJsonObject o = parsedObject(R"({"tagline":"tag","glyph":"app","accent":"#0A84FF","accent2":"#5E5CE6",)"
                                 R"("version":"1.0","size":"12 MB","minOs":"12.0","arch":"arm64","isFree":true,)"
                                 R"("license":"free","price":0,"rating":4.5,"ratingCount":3,"downloads":10,)"
                                 R"("staffPick":false,"editorsChoice":false,"featured":false,"tags":[],"features":[],)"
                                 R"("description":"d","homepage":"https://x.test","developer":"dev",)"
                                 R"("updatedAt":"2024-01-01T00:00:00Z"})");
    o.insert("slug", slug);
    o.insert("name", "App " + slug);
    return o;
}

// A search reply listing the apps of these slugs.
inline QJsonObject searchHits(const QStringList &slugs = {})
{
    QJsonArray apps;
    for (const QString &slug : slugs)
        apps.append(app(slug));
    return QJsonObject{{"apps", apps}, {"other", QJsonArray{}}};
}

// Two searches, "old" then "new", answered after olderMs and newerMs: whichever comes last, "new" must win.
inline void newestSearchRows()
{
    QTest::addColumn<int>("olderMs");
    QTest::addColumn<int>("newerMs");
    QTest::newRow("older answers last") << 400 << 0;
    QTest::newRow("older answers while the newer waits") << 0 << 400;
}

inline void scriptOldAndNewSearch(ScriptedServer &server, int olderMs, int newerMs)
{
    server.script("GET", "/api/store/search?q=old", json(searchHits({QStringLiteral("old")}), olderMs));
    server.script("GET", "/api/store/search?q=new", json(searchHits({QStringLiteral("new")}), newerMs));
}

inline QJsonObject member(bool sponsor = false)
{
    QJsonObject o = parsedObject(R"({"nickname":"Ada","email":"ada@vexlo.test","forever":false,"level":1,"points":0})");
    o.insert("role", sponsor ? "sponsor" : "member");
    o.insert("sponsorActive", sponsor);
    o.insert("daysLeft", sponsor ? 365 : 0);
    return o;
}

// member: a signed-in home; billing: absent when not given.
inline QJsonObject home(const QString &siteName, const std::optional<QJsonObject> &member = std::nullopt,
                        std::optional<bool> billing = std::nullopt)
{
    QJsonObject o = parsedObject(R"({"stats":{"apps":1,"downloads":2,"wallpapers":3,"members":4,"sponsors":5},)"
                                 R"("categories":[],"top":[],"latest":[],"wallpapers":[],"plans":[]})");
    o.insert("site", QJsonObject{{"name", siteName}, {"tagline", "t"}, {"announcement", "a"}});
    o.insert("featured", QJsonArray{app("alpha")});
    if (member)
        o.insert("member", *member);
    if (billing)
        o.insert("billingEnabled", *billing);
    return o;
}

inline QJsonObject detail(const QString &slug)
{
    QJsonObject o = parsedObject(R"({"unlocked":true,"needsSponsor":false,"reviews":[],"related":[]})");
    o.insert("app", app(slug));
    return o;
}

inline QJsonObject link(const QString &provider, const QString &url, const QString &code)
{
    return QJsonObject{{"provider", provider}, {"label", "L"},   {"url", url},
                       {"code", code},         {"size", "1 MB"}, {"note", ""}};
}

inline QJsonObject netdisk(const QString &url)
{
    return QJsonObject{{"ok", true}, {"links", QJsonArray{link("baidu", url, "abcd")}}};
}

inline QJsonObject checkout(const QString &orderNo)
{
    QJsonObject o = parsedObject(R"({"amount":99,"planName":"年度","days":365,"payType":"wxpay","gateway":"hubijiao",)"
                                 R"("live":false,"qr":"qr","redirect":"https://pay.test","sponsorActive":false,)"
                                 R"("daysLeft":0})");
    o.insert("orderNo", orderNo);
    return o;
}

inline QJsonObject order(const QString &orderNo, const QString &status)
{
    return QJsonObject{{"orderNo", orderNo},       {"planName", "年度"},    {"amount", 99},
                       {"status", status},         {"gateway", "hubijiao"}, {"payType", "wxpay"},
                       {"createdAt", "2024-01-01"}};
}

inline QJsonObject orderStatus(const QString &orderNo, const QString &status)
{
    const QJsonObject brief{{"orderNo", orderNo}, {"status", status}, {"amount", 99}, {"planName", "年度"}};
    return QJsonObject{{"member", member()}, {"order", brief}, {"orders", QJsonArray{order(orderNo, status)}}};
}

inline QJsonObject account(const QStringList &orderNos)
{
    QJsonArray orders;
    for (const QString &no : orderNos)
        orders.append(order(no, "paid"));
    return QJsonObject{{"member", member()}, {"orders", orders}};
}

inline QJsonObject wallpaper(const QString &slug)
{
    QJsonObject o = parsedObject(R"({"title":"W","collection":"nature","resolution":"3840×2160","c1":"#000000",)"
                                 R"("c2":"#111111","c3":"#222222","featured":false})");
    o.insert("slug", slug);
    o.insert("file", "/wallpapers/" + slug + ".jpg");
    return o;
}

} // namespace fixtures
