// Strict decoding of the service's records and their derived members.
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "service/JSONValue.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A home reply as the service sends it: member, categories, apps, a wallpaper and a plan.
QJsonObject home()
{
    static const QJsonObject loaded = [] {
        QFile file(QStringLiteral(DATA_DIR "/home.json"));
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return loaded;
}

QJsonObject app()
{
    return home().value(u"featured"_s).toArray().first().toObject();
}

QJsonObject member()
{
    return home().value(u"member"_s).toObject();
}

QJsonObject detail()
{
    const QJsonObject review{{u"id"_s, 1}, {u"nickname"_s, u"n"_s}, {u"rating"_s, 5}, {u"content"_s, u"好"_s},
                             {u"createdAt"_s, u"2024-01-01"_s}};
    return QJsonObject{{u"app"_s, app()}, {u"unlocked"_s, false}, {u"needsSponsor"_s, true},
                       {u"reviews"_s, QJsonArray{review}}, {u"related"_s, QJsonArray{app()}}};
}

QJsonObject link(const QString &provider = u"baidu"_s, const QString &code = u"ab12"_s)
{
    return QJsonObject{{u"provider"_s, provider}, {u"label"_s, u"主链接"_s}, {u"url"_s, u"https://pan.example/s/1"_s},
                       {u"code"_s, code}, {u"size"_s, u"12 MB"_s}, {u"note"_s, QString()}};
}

QJsonObject checkout()
{
    return QJsonObject{{u"orderNo"_s, u"VX1"_s}, {u"amount"_s, 9.9}, {u"planName"_s, u"月度"_s}, {u"days"_s, 30},
                       {u"payType"_s, u"wxpay"_s}, {u"gateway"_s, u"xunhu"_s}, {u"live"_s, false},
                       {u"qr"_s, u"weixin://x"_s}, {u"redirect"_s, u"https://pay"_s}, {u"sponsorActive"_s, false},
                       {u"daysLeft"_s, 0}};
}

QJsonObject order()
{
    return QJsonObject{{u"orderNo"_s, u"VX1"_s}, {u"planName"_s, u"月度"_s}, {u"amount"_s, 9.9},
                       {u"status"_s, u"paid"_s}, {u"gateway"_s, u"xunhu"_s}, {u"payType"_s, u"wxpay"_s},
                       {u"createdAt"_s, u"2024-01-01"_s}};
}

// object with key set to value (undefined removes the key); path "a.b" reaches into nested objects,
// "a.0.b" into arrays.
QJsonObject edit(QJsonObject object, const QString &path, const QJsonValue &value)
{
    const qsizetype dot = path.indexOf(u'.');
    if (dot < 0) {
        if (value.isUndefined())
            object.remove(path);
        else
            object.insert(path, value);
        return object;
    }
    const QString key = path.left(dot);
    const QString rest = path.mid(dot + 1);
    if (object.value(key).isArray()) {
        QJsonArray array = object.value(key).toArray();
        const qsizetype next = rest.indexOf(u'.');
        const int index = rest.left(next).toInt();
        array[index] = edit(array.at(index).toObject(), rest.mid(next + 1), value);
        object.insert(key, array);
    } else {
        object.insert(key, edit(object.value(key).toObject(), rest, value));
    }
    return object;
}

const QJsonValue removed(QJsonValue::Undefined);

using Decode = std::function<bool(const QJsonValue &, QString *)>;

template <typename T>
Decode decoder()
{
    return [](const QJsonValue &json, QString *error) { return T::fromJson(json, error).has_value(); };
}

QHash<QString, Decode> decoders()
{
    return {{u"StoreHome"_s, decoder<StoreHome>()},
            {u"StoreApp"_s, decoder<StoreApp>()},
            {u"StoreDetail"_s, decoder<StoreDetail>()},
            {u"SearchResult"_s, decoder<SearchResult>()},
            {u"AppListPage"_s, decoder<AppListPage>()},
            {u"NetdiskPayload"_s, decoder<NetdiskPayload>()},
            {u"CheckoutPayload"_s, decoder<CheckoutPayload>()},
            {u"OrderStatusPayload"_s, decoder<OrderStatusPayload>()},
            {u"LoginResult"_s, decoder<LoginResult>()},
            {u"WallpaperPayload"_s, decoder<WallpaperPayload>()},
            {u"WallpaperDownload"_s, decoder<WallpaperDownload>()}};
}

void addDecodeColumns()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QJsonValue>("json");
    QTest::addColumn<QString>("failure"); // empty: decodes; otherwise a text the error must contain
}

void checkDecode()
{
    QFETCH(QString, type);
    QFETCH(QJsonValue, json);
    QFETCH(QString, failure);
    QString error;
    const bool decoded = decoders().value(type)(json, &error);
    if (failure.isEmpty()) {
        QVERIFY2(decoded, qPrintable(error));
    } else {
        QVERIFY(!decoded);
        QVERIFY2(error.contains(failure), qPrintable(error));
    }
}

} // namespace

class RecordsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueDecoding_data()
    {
        addDecodeColumns();
        const auto row = [](const char *name, const char *type, const QJsonValue &json, const QString &failure = {}) {
            QTest::newRow(name) << QString::fromLatin1(type) << json << failure;
        };
        row("home", "StoreHome", home());
        row("home without billingEnabled", "StoreHome", edit(home(), u"billingEnabled"_s, removed));
        row("home with billingEnabled null", "StoreHome", edit(home(), u"billingEnabled"_s, QJsonValue::Null));
        row("home billingEnabled 1", "StoreHome", edit(home(), u"billingEnabled"_s, 1), u"StoreHome.billingEnabled"_s);
        row("home without member", "StoreHome", edit(home(), u"member"_s, removed));
        row("home member missing level", "StoreHome", edit(home(), u"member.level"_s, removed), u"StoreMember.level: missing"_s);
        row("home without plans", "StoreHome", edit(home(), u"plans"_s, removed), u"StoreHome.plans: missing"_s);
        row("home stats string", "StoreHome", edit(home(), u"stats.apps"_s, u"1"_s), u"StoreStats.apps"_s);
        row("home bad app in top", "StoreHome", edit(home(), u"top.1.slug"_s, QJsonValue::Null), u"StoreApp.slug: null"_s);
        row("home plan id 3.5", "StoreHome", edit(home(), u"plans.0.id"_s, 3.5), u"StorePlan.id"_s);
        row("home wallpaper without c3", "StoreHome", edit(home(), u"wallpapers.0.c3"_s, removed), u"StoreWallpaper.c3"_s);
        row("home category count null", "StoreHome", edit(home(), u"categories.0.count"_s, QJsonValue::Null),
            u"StoreCategory.count"_s);
        row("not an object", "StoreHome", QJsonArray{home()}, u"StoreHome: expected a JSON object"_s);
        row("app", "StoreApp", app());
        row("app integral 12.0 downloads", "StoreApp", edit(app(), u"downloads"_s, 12.0));
        row("app 12.5 downloads", "StoreApp", edit(app(), u"downloads"_s, 12.5), u"StoreApp.downloads"_s);
        row("app downloads beyond int", "StoreApp", edit(app(), u"downloads"_s, 3e9), u"StoreApp.downloads"_s);
        row("app isFree 1", "StoreApp", edit(app(), u"isFree"_s, 1), u"StoreApp.isFree"_s);
        row("app price string", "StoreApp", edit(app(), u"price"_s, u"0"_s), u"StoreApp.price"_s);
        row("app without categoryName", "StoreApp", edit(app(), u"categoryName"_s, removed));
        row("app categorySlug null", "StoreApp", edit(app(), u"categorySlug"_s, QJsonValue::Null));
        row("app categoryName number", "StoreApp", edit(app(), u"categoryName"_s, 5), u"StoreApp.categoryName"_s);
        row("app tag not a string", "StoreApp", edit(app(), u"tags"_s, QJsonArray{u"a"_s, 1}), u"StoreApp.tags"_s);
        row("app unknown key ignored", "StoreApp", edit(app(), u"extra"_s, QJsonObject()));
        row("detail without versions", "StoreDetail", detail());
        row("detail with empty versions", "StoreDetail", edit(detail(), u"versions"_s, QJsonArray()));
        row("detail version without size", "StoreDetail",
            edit(detail(), u"versions"_s, QJsonArray{QJsonObject{{u"version"_s, u"1"_s}, {u"releasedAt"_s, u"x"_s}}}),
            u"AppVersion.size"_s);
        row("detail review rating 4.5", "StoreDetail", edit(detail(), u"reviews.0.rating"_s, 4.5), u"StoreReview.rating"_s);
        row("search", "SearchResult",
            QJsonObject{{u"apps"_s, QJsonArray{app()}},
                        {u"other"_s, QJsonArray{QJsonObject{{u"type"_s, u"guide"_s}, {u"slug"_s, u"s"_s}, {u"title"_s, u"t"_s}}}}});
        row("search without other", "SearchResult", QJsonObject{{u"apps"_s, QJsonArray()}}, u"SearchResult.other"_s);
        row("list page", "AppListPage",
            QJsonObject{{u"total"_s, 1}, {u"page"_s, 1}, {u"pages"_s, 1}, {u"apps"_s, QJsonArray{app()}}});
        row("list page pages string", "AppListPage",
            QJsonObject{{u"total"_s, 1}, {u"page"_s, 1}, {u"pages"_s, u"1"_s}, {u"apps"_s, QJsonArray()}},
            u"AppListPage.pages"_s);
    }
    void catalogueDecoding() { checkDecode(); }

    void commerceDecoding_data()
    {
        addDecodeColumns();
        const auto row = [](const char *name, const char *type, const QJsonValue &json, const QString &failure = {}) {
            QTest::newRow(name) << QString::fromLatin1(type) << json << failure;
        };
        const QJsonObject netdisk{{u"ok"_s, true}, {u"links"_s, QJsonArray{link()}}};
        row("netdisk", "NetdiskPayload", netdisk);
        row("netdisk without links", "NetdiskPayload", QJsonObject{{u"ok"_s, false}}, u"NetdiskPayload.links: missing"_s);
        row("link without code", "NetdiskPayload", edit(netdisk, u"links.0.code"_s, removed), u"NetdiskLink.code"_s);
        row("checkout", "CheckoutPayload", checkout());
        row("checkout days as string", "CheckoutPayload", edit(checkout(), u"days"_s, u"30"_s), u"CheckoutPayload.days"_s);
        row("checkout live 0", "CheckoutPayload", edit(checkout(), u"live"_s, 0), u"CheckoutPayload.live"_s);
        row("order history", "OrderStatusPayload", QJsonObject{{u"member"_s, member()}, {u"orders"_s, QJsonArray{order()}}});
        row("no order, empty history", "OrderStatusPayload",
            QJsonObject{{u"order"_s, QJsonValue::Null}, {u"orders"_s, QJsonArray()}});
        row("order without status", "OrderStatusPayload",
            QJsonObject{{u"order"_s, QJsonObject{{u"orderNo"_s, u"1"_s}, {u"amount"_s, 1}, {u"planName"_s, u"p"_s}}},
                        {u"orders"_s, QJsonArray()}},
            u"OrderState.status"_s);
        row("history entry paidAt number", "OrderStatusPayload",
            QJsonObject{{u"orders"_s, QJsonArray{edit(order(), u"paidAt"_s, 1)}}}, u"OrderSummary.paidAt"_s);
        row("login empty", "LoginResult", QJsonObject());
        row("login ok as text", "LoginResult", QJsonObject{{u"ok"_s, u"true"_s}}, u"LoginResult.ok"_s);
        row("wallpaper download empty", "WallpaperDownload", QJsonObject{{u"path"_s, QJsonValue::Null}});
        row("wallpaper list without sponsorActive", "WallpaperPayload", QJsonObject{{u"wallpapers"_s, QJsonArray()}},
            u"WallpaperPayload.sponsorActive"_s);
    }
    void commerceDecoding() { checkDecode(); }

    void decodedValues()
    {
        StoreHome h = *StoreHome::fromJson(edit(home(), u"billingEnabled"_s, QJsonValue::Null), nullptr);
        QVERIFY(!h.billingEnabled);
        QCOMPARE(h.member->level, 1);
        QVERIFY(!h.member->expiresAt); // null
        QCOMPARE(h.top.size(), 2);
        QCOMPARE(h.top[1].slug, u"clipboard-pro"_s);
        QCOMPARE(h.plans[0].originalPrice, 15.0); // sent as the integer 15
        QCOMPARE(h.featured[0].price, 0.0);
        QCOMPARE(h.featured[0].tags, (QStringList{u"终端"_s, u"开发"_s}));

        const StoreDetail without = *StoreDetail::fromJson(detail(), nullptr);
        QVERIFY(!without.versions);
        QVERIFY(!without.qmlVersions().isValid());
        const StoreDetail empty = *StoreDetail::fromJson(edit(detail(), u"versions"_s, QJsonArray()), nullptr);
        QVERIFY(empty.versions && empty.versions->isEmpty());

        const OrderStatusPayload p =
            *OrderStatusPayload::fromJson(QJsonObject{{u"order"_s, QJsonValue::Null}, {u"orders"_s, QJsonArray()}}, nullptr);
        QVERIFY(!p.order && !p.member && p.orders.isEmpty());
    }

    void appEqualityCoversEveryField()
    {
        const StoreApp a = *StoreApp::fromJson(app(), nullptr);
        QCOMPARE(*StoreApp::fromJson(app(), nullptr), a);
        QCOMPARE(qHash(*StoreApp::fromJson(app(), nullptr)), qHash(a));
        for (const QString &key : app().keys()) {
            QJsonValue changed = app().value(key);
            switch (changed.type()) {
            case QJsonValue::String: changed = changed.toString() + u"x"_s; break;
            case QJsonValue::Double: changed = changed.toDouble() + 1; break;
            case QJsonValue::Bool: changed = !changed.toBool(); break;
            default: changed = QJsonArray{u"other"_s}; break;
            }
            const auto other = StoreApp::fromJson(edit(app(), key, changed), nullptr);
            QVERIFY2(other && !(*other == a), qPrintable(key));
        }
    }

    void archLabel_data()
    {
        QTest::addColumn<QString>("arch");
        QTest::addColumn<QString>("label");
        QTest::newRow("arm64") << u"arm64"_s << u"Apple Silicon"_s;
        QTest::newRow("x64") << u"x64"_s << u"Intel"_s;
        QTest::newRow("upper case") << u"ARM64"_s << u"通用"_s;
        QTest::newRow("universal") << u"universal"_s << u"通用"_s;
        QTest::newRow("empty") << QString() << u"通用"_s;
    }
    void archLabel()
    {
        QFETCH(QString, arch);
        QFETCH(QString, label);
        QCOMPARE(StoreApp::fromJson(edit(app(), u"arch"_s, arch), nullptr)->archLabel(), label);
    }

    void wallpaperAddresses_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("absolute"); // empty: absent
        QTest::addColumn<QString>("thumb");
        QTest::newRow("jpg") << u"http://h:1"_s << u"/w/dune.jpg"_s << u"http://h:1/w/dune.jpg"_s
                             << u"http://h:1/w/dune-thumb.jpg"_s;
        QTest::newRow("every .jpg replaced") << u"http://h"_s << u"/a.jpg/b.jpg"_s << u"http://h/a.jpg/b.jpg"_s
                                             << u"http://h/a-thumb.jpg/b-thumb.jpg"_s;
        QTest::newRow("png unchanged") << u"http://h"_s << u"/w/dune.png"_s << u"http://h/w/dune.png"_s
                                       << u"http://h/w/dune.png"_s;
        QTest::newRow("unparsable base") << u"1ab:"_s << u"/w/a.jpg"_s << QString() << QString();
    }
    void wallpaperAddresses()
    {
        QFETCH(QString, base);
        QFETCH(QString, file);
        QFETCH(QString, absolute);
        QFETCH(QString, thumb);
        Endpoint::setBase(base);
        StoreWallpaper w;
        w.file = file;
        QCOMPARE(w.absoluteURL() ? w.absoluteURL()->toString() : QString(), absolute);
        QCOMPARE(w.thumbURL() ? w.thumbURL()->toString() : QString(), thumb);
    }

    void identities()
    {
        SearchOther a{u"guide"_s, u"backup"_s, u"t"_s, {}};
        SearchOther b{u"app"_s, u"backup"_s, u"t"_s, {}};
        QCOMPARE(a.id(), u"guidebackup"_s);
        QVERIFY(a.id() != b.id());
        const NetdiskLink x = *NetdiskLink::fromJson(link(), nullptr);
        const NetdiskLink y = *NetdiskLink::fromJson(edit(link(), u"label"_s, u"备用"_s), nullptr);
        QCOMPARE(x.id(), y.id());
        QCOMPARE(x.id(), u"baiduhttps://pan.example/s/1"_s);
    }

    void netdiskLinkDerived_data()
    {
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("providerName");
        QTest::addColumn<bool>("hasCode");
        QTest::newRow("baidu") << u"baidu"_s << u"ab12"_s << u"百度网盘"_s << true;
        QTest::newRow("quark") << u"quark"_s << QString() << u"夸克网盘"_s << false;
        QTest::newRow("aliyun") << u"aliyun"_s << u" "_s << u"阿里云盘"_s << true;
        QTest::newRow("lanzou") << u"lanzou"_s << QString() << u"蓝奏云"_s << false;
        QTest::newRow("123pan") << u"123pan"_s << QString() << u"123 云盘"_s << false;
        QTest::newRow("xunlei") << u"xunlei"_s << QString() << u"迅雷云盘"_s << false;
        QTest::newRow("qiniu") << u"qiniu"_s << QString() << u"七牛云 CDN"_s << false;
        QTest::newRow("direct") << u"direct"_s << QString() << u"直链下载"_s << false;
        QTest::newRow("case differs") << u"Baidu"_s << QString() << u"Baidu"_s << false;
        QTest::newRow("unknown") << u"mega"_s << QString() << u"mega"_s << false;
    }
    void netdiskLinkDerived()
    {
        QFETCH(QString, provider);
        QFETCH(QString, code);
        QFETCH(QString, providerName);
        QFETCH(bool, hasCode);
        const NetdiskLink l = *NetdiskLink::fromJson(link(provider, code), nullptr);
        QCOMPARE(l.providerName(), providerName);
        QCOMPARE(l.hasCode(), hasCode);
    }

    void jsonValue_data()
    {
        QTest::addColumn<QJsonValue>("json");
        QTest::addColumn<JSONValue::Kind>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("string \"1\"") << QJsonValue(u"1"_s) << JSONValue::Kind::string << QVariant(u"1"_s);
        QTest::newRow("number 1") << QJsonValue(1) << JSONValue::Kind::number << QVariant(1.0);
        QTest::newRow("true") << QJsonValue(true) << JSONValue::Kind::boolean << QVariant(true);
        QTest::newRow("null") << QJsonValue(QJsonValue::Null) << JSONValue::Kind::null << QVariant();
        QTest::newRow("array") << QJsonValue(QJsonArray{1}) << JSONValue::Kind::null << QVariant();
        QTest::newRow("object") << QJsonValue(QJsonObject{{u"a"_s, 1}}) << JSONValue::Kind::null << QVariant();
    }
    void jsonValue()
    {
        QFETCH(QJsonValue, json);
        QFETCH(JSONValue::Kind, kind);
        QFETCH(QVariant, value);
        const JSONValue v = JSONValue::fromJson(json);
        QCOMPARE(v.kind, kind);
        if (value.isValid())
            QCOMPARE(v.toVariant(), value);
    }

    void installedAppsStoredForm_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("count"); // -1: unreadable
        const QByteArray good = R"({"slug":"a","name":"A","version":"1","size":"1 MB","installedAt":757382400.5})";
        QTest::newRow("one record") << "{\"a\":" + good + "}" << 1;
        QTest::newRow("with location") << QByteArray(R"({"a":{"slug":"a","name":"A","version":"1","size":"1 MB",)"
                                                     R"("installedAt":1,"location":"/tmp/a.dmg"}})") << 1;
        QTest::newRow("empty object") << QByteArray("{}") << 0;
        QTest::newRow("one bad record spoils all")
            << "{\"a\":" + good + R"(,"b":{"slug":"b","name":"B","version":"1","size":"1 MB"}})" << -1;
        QTest::newRow("date as text") << QByteArray(R"({"a":{"slug":"a","name":"A","version":"1","size":"1",)"
                                                    R"("installedAt":"2024-01-01"}})") << -1;
        QTest::newRow("not JSON") << QByteArray("bplist00") << -1;
        QTest::newRow("array") << QByteArray("[]") << -1;
    }
    void installedAppsStoredForm()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, count);
        const auto records = InstalledApp::decodeStored(stored);
        QCOMPARE(records ? int(records->size()) : -1, count);
    }

    void installedAppsRoundTrip()
    {
        InstalledApp a;
        a.slug = u"pixel-art"_s;
        a.name = u"Pixel Art"_s;
        a.version = u"2.1"_s;
        a.size = u"12 MB"_s;
        a.installedAt = QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0, 250), QTimeZone::utc());
        a.location = u"/Users/me/Downloads/p.dmg"_s;
        InstalledApp b = a;
        b.slug = u"b"_s;
        b.location.reset();
        const QMap<QString, InstalledApp> records{{a.slug, a}, {b.slug, b}};
        const QByteArray stored = InstalledApp::encodeStored(records);
        QCOMPARE(InstalledApp::decodeStored(stored), records);
        // Seconds since 2001-01-01 UTC, as the stored form requires.
        const QJsonObject json = QJsonDocument::fromJson(stored).object().value(u"b"_s).toObject();
        QCOMPARE(json.value(u"installedAt"_s).toDouble(), 736250400.25);
        QVERIFY(!json.contains(u"location"_s));
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
