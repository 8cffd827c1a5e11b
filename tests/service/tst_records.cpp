// Strict decoding of the service's records and their derived members.
#include "Fixtures.h"
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "service/Transport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// object with key set to value (undefined removes the key); path "a.b" reaches into nested objects,
// "a.0.b" into arrays.
QJsonObject edit(QJsonObject object, const QString &path, const QJsonValue &value)
{
    const QString key = path.section(u'.', 0, 0);
    const QString rest = path.section(u'.', 1);
    if (rest.isEmpty() && value.isUndefined()) {
        object.remove(key);
    } else if (rest.isEmpty()) {
        object.insert(key, value);
    } else if (QJsonArray array = object.value(key).toArray(); object.value(key).isArray()) {
        const int index = rest.section(u'.', 0, 0).toInt();
        array[index] = edit(array.at(index).toObject(), rest.section(u'.', 1), value);
        object.insert(key, array);
    } else {
        object.insert(key, edit(object.value(key).toObject(), rest, value));
    }
    return object;
}

QJsonObject app()
{
    return readJson(u"home.json"_s).value(u"featured"_s).toArray().first().toObject();
}

// A home reply as the service sends it: member, categories, apps (two in the top list), a wallpaper and a plan.
QJsonObject home()
{
    static const QJsonObject loaded =
        edit(readJson(u"home.json"_s), u"top"_s, QJsonArray{app(), edit(app(), u"slug"_s, u"clipboard-pro"_s)});
    return loaded;
}

QJsonObject detail()
{
    QJsonObject detail = parsedObject(R"({"unlocked":false,"needsSponsor":true,"reviews":[{"id":1,"nickname":"n",)"
                                      R"("rating":5,"content":"好","createdAt":"2024-01-01"}]})");
    detail.insert(u"app"_s, app());
    detail.insert(u"related"_s, QJsonArray{app()});
    return detail;
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

template <typename T> void row(const char *name, const QJsonValue &json, const QString &failure = {})
{
    QTest::newRow(name) << Decode(&decodes<T>) << json << failure;
}

} // namespace

class RecordsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One row per rule of the reader (required, optional, null, type, integral, nested path), not per field.
    void decoding_data()
    {
        QTest::addColumn<Decode>("decode");
        QTest::addColumn<QJsonValue>("json");
        QTest::addColumn<QString>("failure"); // empty: decodes; otherwise a text the error must contain
        row<StoreHome>("home", home());
        row<StoreHome>("home without billingEnabled", edit(home(), u"billingEnabled"_s, removed));
        row<StoreHome>("home billingEnabled 1", edit(home(), u"billingEnabled"_s, 1), u"StoreHome.billingEnabled"_s);
        row<StoreHome>("member missing level", edit(home(), u"member.level"_s, removed),
                       u"StoreMember.level: missing"_s);
        row<StoreHome>("home without plans", edit(home(), u"plans"_s, removed), u"StoreHome.plans: missing"_s);
        row<StoreHome>("bad app in top", edit(home(), u"top.1.slug"_s, null), u"StoreApp.slug: null"_s);
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
            edit(parsedObject(R"({"other":[{"type":"guide","slug":"s","title":"t"}]})"), u"apps"_s, QJsonArray{app()}));
        const QJsonObject order = parsedObject(R"({"orderNo":"VX1","planName":"月度","amount":9.9,"status":"paid",)"
                                               R"("gateway":"xunhu","payType":"wxpay","createdAt":"2024-01-01"})");
        row<OrderStatusPayload>(
            "order history", QJsonObject{{u"member"_s, home().value(u"member"_s)}, {u"orders"_s, QJsonArray{order}}});
        row<OrderStatusPayload>(
            "order without status",
            QJsonObject{{u"order"_s, edit(order, u"status"_s, removed)}, {u"orders"_s, QJsonArray()}},
            u"OrderState.status"_s);
        row<LoginResult>("login empty", QJsonObject());
        row<WallpaperDownload>("wallpaper download null path", QJsonObject{{u"path"_s, null}});
    }

    void decoding()
    {
        QFETCH(Decode, decode);
        QFETCH(QJsonValue, json);
        QFETCH(QString, failure);
        QString error;
        QVERIFY2(decode(json, &error) == failure.isEmpty(), qPrintable(error));
        QVERIFY2(error.contains(failure), qPrintable(error));
    }

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
        QCOMPARE(h.plans[0].originalPrice, 15.0); // sent as the integer 15

        // Absent and empty version lists stay apart.
        const StoreDetail without = *StoreDetail::fromJson(detail(), nullptr);
        QVERIFY(!without.versions && !without.qmlVersions().isValid());
        const StoreDetail empty = *StoreDetail::fromJson(edit(detail(), u"versions"_s, QJsonArray()), nullptr);
        QVERIFY(empty.versions && empty.versions->isEmpty());

        const auto p = OrderStatusPayload::fromJson(parsedObject(R"({"order":null,"orders":[]})"), nullptr);
        QVERIFY(p && !p->order && !p->member && p->orders.isEmpty());
    }

    void wallpaperAddresses()
    {
        StoreWallpaper w{.file = u"/a.jpg/b.jpg"_s};
        Endpoint::setBase(u"http://h:1"_s);
        QCOMPARE(w.absoluteURL()->toString(), u"http://h:1/a.jpg/b.jpg"_s);
        QCOMPARE(w.thumbURL()->toString(), u"http://h:1/a-thumb.jpg/b-thumb.jpg"_s); // every ".jpg"
        w.file = u"/w/dune.png"_s;
        QCOMPARE(w.thumbURL()->toString(), u"http://h:1/w/dune.png"_s);
        Endpoint::setBase(u"1ab:"_s);
        QVERIFY(!w.absoluteURL() && !w.thumbURL());
    }
};

QTEST_GUILESS_MAIN(RecordsTest)
#include "tst_records.moc"
