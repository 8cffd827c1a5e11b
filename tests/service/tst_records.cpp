// Strict decoding of the service's records, their derived members and what QML sees of them.
#include "Fixtures.h"
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "service/Transport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>
#include <QTimeZone>
#include <QtQml/qqmlextensionplugin.h>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A home reply as the service sends it: member, categories, apps, a wallpaper and a plan.
QJsonObject home()
{
    static const QJsonObject loaded = readJson(u"home.json"_s);
    return loaded;
}

QJsonObject app()
{
    return home().value(u"featured"_s).toArray().first().toObject();
}

QJsonObject detail()
{
    const QJsonObject review{{u"id"_s, 1},
                             {u"nickname"_s, u"n"_s},
                             {u"rating"_s, 5},
                             {u"content"_s, u"好"_s},
                             {u"createdAt"_s, u"2024-01-01"_s}};
    return QJsonObject{{u"app"_s, app()},
                       {u"unlocked"_s, false},
                       {u"needsSponsor"_s, true},
                       {u"reviews"_s, QJsonArray{review}},
                       {u"related"_s, QJsonArray{app()}}};
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
const QJsonValue null(QJsonValue::Null);

template <typename T> bool decodes(const QJsonValue &json, QString *error)
{
    const std::optional<T> value = T::fromJson(json, error);
    // The same JSON as a reply body, parsed in place, gives the same record or the same error.
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    const ApiResult<T> reply = Transport::decode<T>(document.toJson());
    if (reply.ok() != value.has_value() || (value ? !(reply.value() == *value) : reply.error().detail != *error))
        QTest::qFail("the reply body decodes differently", __FILE__, __LINE__);
    return value.has_value();
}

using Decode = bool (*)(const QJsonValue &, QString *);
} // namespace
Q_DECLARE_METATYPE(Decode)
namespace {

void addDecodeColumns()
{
    QTest::addColumn<Decode>("decode");
    QTest::addColumn<QJsonValue>("json");
    QTest::addColumn<QString>("failure"); // empty: decodes; otherwise a text the error must contain
}

template <typename T> void row(const char *name, const QJsonValue &json, const QString &failure = {})
{
    QTest::newRow(name) << Decode(&decodes<T>) << json << failure;
}

void checkDecode()
{
    QFETCH(Decode, decode);
    QFETCH(QJsonValue, json);
    QFETCH(QString, failure);
    QString error;
    const bool decoded = decode(json, &error);
    QVERIFY2(decoded == failure.isEmpty(), qPrintable(error));
    QVERIFY2(error.contains(failure), qPrintable(error));
}

} // namespace

class RecordsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catalogueDecoding_data()
    {
        addDecodeColumns();
        row<StoreHome>("home", home());
        row<StoreHome>("home without billingEnabled", edit(home(), u"billingEnabled"_s, removed));
        row<StoreHome>("home billingEnabled null", edit(home(), u"billingEnabled"_s, null));
        row<StoreHome>("home billingEnabled 1", edit(home(), u"billingEnabled"_s, 1), u"StoreHome.billingEnabled"_s);
        row<StoreHome>("member missing level", edit(home(), u"member.level"_s, removed),
                       u"StoreMember.level: missing"_s);
        row<StoreHome>("home without plans", edit(home(), u"plans"_s, removed), u"StoreHome.plans: missing"_s);
        row<StoreHome>("bad app in top", edit(home(), u"top.1.slug"_s, null), u"StoreApp.slug: null"_s);
        row<StoreHome>("category count null", edit(home(), u"categories.0.count"_s, null), u"StoreCategory.count"_s);
        row<StoreHome>("not an object", QJsonArray{home()}, u"StoreHome: expected a JSON object"_s);
        row<StoreApp>("app integral 12.0 downloads", edit(app(), u"downloads"_s, 12.0));
        row<StoreApp>("app 12.5 downloads", edit(app(), u"downloads"_s, 12.5), u"StoreApp.downloads"_s);
        row<StoreApp>("app isFree 1", edit(app(), u"isFree"_s, 1), u"StoreApp.isFree"_s);
        row<StoreApp>("app without categoryName", edit(app(), u"categoryName"_s, removed));
        row<StoreApp>("app categoryName number", edit(app(), u"categoryName"_s, 5), u"StoreApp.categoryName"_s);
        row<StoreApp>("app tag not a string", edit(app(), u"tags"_s, QJsonArray{u"a"_s, 1}), u"StoreApp.tags"_s);
        row<StoreDetail>("detail without versions", detail());
        row<StoreDetail>(
            "version without size",
            edit(detail(), u"versions"_s, QJsonArray{QJsonObject{{u"version"_s, u"1"_s}, {u"releasedAt"_s, u"x"_s}}}),
            u"AppVersion.size"_s);
        row<SearchResult>(
            "search",
            QJsonObject{{u"apps"_s, QJsonArray{app()}},
                        {u"other"_s,
                         QJsonArray{QJsonObject{{u"type"_s, u"guide"_s}, {u"slug"_s, u"s"_s}, {u"title"_s, u"t"_s}}}}});
        row<AppListPage>("list page pages string",
                         QJsonObject{{u"total"_s, 1}, {u"page"_s, 1}, {u"pages"_s, u"1"_s}, {u"apps"_s, QJsonArray()}},
                         u"AppListPage.pages"_s);
    }
    void catalogueDecoding() { checkDecode(); }

    void commerceDecoding_data()
    {
        addDecodeColumns();
        const QJsonObject link{{u"provider"_s, u"baidu"_s}, {u"label"_s, u"主链接"_s}, {u"url"_s, u"https://pan/s/1"_s},
                               {u"code"_s, u"ab12"_s},      {u"size"_s, u"12 MB"_s},   {u"note"_s, QString()}};
        const QJsonObject netdisk{{u"ok"_s, true}, {u"links"_s, QJsonArray{link}}};
        const QJsonObject checkout{{u"orderNo"_s, u"VX1"_s},
                                   {u"amount"_s, 9.9},
                                   {u"planName"_s, u"月度"_s},
                                   {u"days"_s, 30},
                                   {u"payType"_s, u"wxpay"_s},
                                   {u"gateway"_s, u"xunhu"_s},
                                   {u"live"_s, false},
                                   {u"qr"_s, u"weixin://x"_s},
                                   {u"redirect"_s, u"https://pay"_s},
                                   {u"sponsorActive"_s, false},
                                   {u"daysLeft"_s, 0}};
        const QJsonObject order{
            {u"orderNo"_s, u"VX1"_s},         {u"planName"_s, u"月度"_s}, {u"amount"_s, 9.9},
            {u"status"_s, u"paid"_s},         {u"gateway"_s, u"xunhu"_s}, {u"payType"_s, u"wxpay"_s},
            {u"createdAt"_s, u"2024-01-01"_s}};
        row<NetdiskPayload>("netdisk", netdisk);
        row<NetdiskPayload>("netdisk without links", QJsonObject{{u"ok"_s, false}}, u"NetdiskPayload.links: missing"_s);
        row<NetdiskPayload>("link without code", edit(netdisk, u"links.0.code"_s, removed), u"NetdiskLink.code"_s);
        row<CheckoutPayload>("checkout", checkout);
        row<CheckoutPayload>("checkout days as string", edit(checkout, u"days"_s, u"30"_s), u"CheckoutPayload.days"_s);
        row<OrderStatusPayload>(
            "order history", QJsonObject{{u"member"_s, home().value(u"member"_s)}, {u"orders"_s, QJsonArray{order}}});
        row<OrderStatusPayload>(
            "order without status",
            QJsonObject{{u"order"_s, QJsonObject{{u"orderNo"_s, u"1"_s}, {u"amount"_s, 1}, {u"planName"_s, u"p"_s}}},
                        {u"orders"_s, QJsonArray()}},
            u"OrderState.status"_s);
        row<OrderStatusPayload>("history paidAt number",
                                QJsonObject{{u"orders"_s, QJsonArray{edit(order, u"paidAt"_s, 1)}}},
                                u"OrderSummary.paidAt"_s);
        row<LoginResult>("login empty", QJsonObject());
        row<LoginResult>("login ok as text", QJsonObject{{u"ok"_s, u"true"_s}}, u"LoginResult.ok"_s);
        row<WallpaperDownload>("wallpaper download null path", QJsonObject{{u"path"_s, null}});
        row<WallpaperPayload>("wallpapers without sponsorActive", QJsonObject{{u"wallpapers"_s, QJsonArray()}},
                              u"WallpaperPayload.sponsorActive"_s);
    }
    void commerceDecoding() { checkDecode(); }

    // Reply bodies at the edges of the two parsers: the fast one refuses a few inputs Qt's parser takes.
    void replyBodies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected"); // the decoded role, or the error

        QTest::newRow("repeated key, the last wins") << QByteArray(R"({"role":"a","role":"b"})") << u"b"_s;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF{\"role\":\"a\"}") << u"a"_s;
        QTest::newRow("lone surrogate escape") << QByteArray(R"({"role":"\ud800"})") << QString(QChar(0xD800));
        QTest::newRow("integer beyond 64 bits") << QByteArray(R"({"role":"a","n":123456789012345678901234})") << u"a"_s;
        QTest::newRow("bare string") << QByteArray(R"("a")") << u"reply is not JSON: illegal value"_s;
        QTest::newRow("trailing text") << QByteArray(R"({"role":"a"} x)")
                                       << u"reply is not JSON: garbage at the end of the document"_s;
        QTest::newRow("mistyped") << QByteArray(R"({"role":1})") << u"LoginResult.role: expected a string"_s;
    }

    void replyBodies()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const ApiResult<LoginResult> result = Transport::decode<LoginResult>(body);
        QCOMPARE(result.ok() ? result.value().role.value_or(QString()) : result.error().detail, expected);
    }

    void decodedValues()
    {
        const StoreHome h = *StoreHome::fromJson(edit(home(), u"billingEnabled"_s, null), nullptr);
        QVERIFY(!h.billingEnabled);
        QVERIFY(!h.member->expiresAt); // null
        QCOMPARE(h.top[1].slug, u"clipboard-pro"_s);
        QCOMPARE(h.plans[0].originalPrice, 15.0); // sent as the integer 15

        // Absent and empty version lists stay apart.
        const StoreDetail without = *StoreDetail::fromJson(detail(), nullptr);
        QVERIFY(!without.versions && !without.qmlVersions().isValid());
        const StoreDetail empty = *StoreDetail::fromJson(edit(detail(), u"versions"_s, QJsonArray()), nullptr);
        QVERIFY(empty.versions && empty.versions->isEmpty());

        const auto p =
            OrderStatusPayload::fromJson(QJsonObject{{u"order"_s, null}, {u"orders"_s, QJsonArray()}}, nullptr);
        QVERIFY(p && !p->order && !p->member && p->orders.isEmpty());
    }

    void appEqualityCoversEveryField()
    {
        const StoreApp a = *StoreApp::fromJson(app(), nullptr);
        QCOMPARE(*StoreApp::fromJson(app(), nullptr), a);
        QCOMPARE(qHash(*StoreApp::fromJson(app(), nullptr)), qHash(a));
        for (const QString &key : app().keys()) {
            QJsonValue changed = app().value(key);
            switch (changed.type()) {
            case QJsonValue::String:
                changed = changed.toString() + u"x"_s;
                break;
            case QJsonValue::Double:
                changed = changed.toDouble() + 1;
                break;
            case QJsonValue::Bool:
                changed = !changed.toBool();
                break;
            default:
                changed = QJsonArray{u"other"_s};
                break;
            }
            const auto other = StoreApp::fromJson(edit(app(), key, changed), nullptr);
            QVERIFY2(other && !(*other == a), qPrintable(key));
        }
    }

    void wallpaperAddresses()
    {
        StoreWallpaper w;
        w.file = u"/a.jpg/b.jpg"_s;
        Endpoint::setBase(u"http://h:1"_s);
        QCOMPARE(w.absoluteURL()->toString(), u"http://h:1/a.jpg/b.jpg"_s);
        QCOMPARE(w.thumbURL()->toString(), u"http://h:1/a-thumb.jpg/b-thumb.jpg"_s); // every ".jpg"
        w.file = u"/w/dune.png"_s;
        QCOMPARE(w.thumbURL()->toString(), u"http://h:1/w/dune.png"_s);
        Endpoint::setBase(u"1ab:"_s);
        QVERIFY(!w.absoluteURL() && !w.thumbURL());
    }

    void installedAppsStoredForm_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("count"); // -1: unreadable
        const QByteArray good = R"({"slug":"a","name":"A","version":"1","size":"1 MB","installedAt":757382400.5})";
        QTest::newRow("one record") << "{\"a\":" + good + "}" << 1;
        QTest::newRow("one bad record spoils all")
            << "{\"a\":" + good + R"(,"b":{"slug":"b","name":"B","version":"1","size":"1 MB"}})" << -1;
        QTest::newRow("date as text") << QByteArray(R"({"a":{"slug":"a","name":"A","version":"1","size":"1",)"
                                                    R"("installedAt":"2024-01-01"}})")
                                      << -1;
        QTest::newRow("not JSON") << QByteArray("bplist00") << -1;
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

    void qmlSeesRecords()
    {
        const auto home = StoreHome::fromJson(::home(), nullptr);
        QVERIFY(home);

        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QQmlComponent component(&engine);
        component.loadUrl(QUrl::fromLocalFile(QStringLiteral(DATA_DIR "/RecordsProbe.qml")));
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
        std::unique_ptr<QObject> object(
            component.createWithInitialProperties({{u"home"_s, QVariant::fromValue(*home)}}));
        QVERIFY2(object, qPrintable(component.errorString()));
        QCOMPARE(object->property("secondTop").toString(), home->top[1].slug);
        QCOMPARE(object->property("billingKnown").toBool(), false);
        QCOMPARE(object->property("hasMember").toBool(), true);
        QCOMPARE(object->property("nickname").toString(), home->member->nickname);
    }
};

Q_IMPORT_QML_PLUGIN(Vexlo_ServicePlugin)
QTEST_MAIN(RecordsTest)
#include "tst_records.moc"
