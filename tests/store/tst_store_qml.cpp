// Store as QML sees it: the singleton, optional records as undefined, records readable and handed back to an action.
// (The Navigator's calls from QML are the window tests'.)
#include "Fixtures.h"
#include "RecordingPlatform.h"
#include "StoreJson.h"

#include "service/UserDefaults.h"
#include "store/Store.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Vexlo_ServicePlugin)
Q_IMPORT_QML_PLUGIN(Vexlo_StorePlugin)

using namespace Qt::StringLiterals;

namespace {

const char *const probe = R"(
import QtQml
import Vexlo.Store

QtObject {
    property bool hasHome: Store.home !== undefined
    property string siteName: Store.home ? Store.home.site.name : ""
    property string featured: Store.home ? Store.home.featured[0].slug : ""
    property bool hasMember: Store.member !== undefined
    property bool billingOn: Store.billingOn
    property string toast: Store.toast

    function openFirstLink() { Store.openNetdisk(Store.netdiskLinks[0]) }
}
)";

} // namespace

class TestStoreQml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bindingsFollowTheStore()
    {
        RecordingPlatform platform;
        Platform::setInstance(&platform);
        Store store(nullptr);
        Store::setInstance(&store);
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QQmlComponent component(&engine);
        component.setData(probe, QUrl(u"qrc:/probe.qml"_s));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));

        QCOMPARE(object->property("hasHome").toBool(), false);
        QCOMPARE(object->property("hasMember").toBool(), false);

        store.setHome(decode<StoreHome>(fixtures::home(u"Vexlo"_s, fixtures::member(), false)));
        QCOMPARE(object->property("siteName").toString(), u"Vexlo"_s);
        QCOMPARE(object->property("featured").toString(), u"alpha"_s);
        QCOMPARE(object->property("hasMember").toBool(), true);
        QCOMPARE(object->property("billingOn").toBool(), false);
        store.setNetdiskLinks({decode<NetdiskLink>(fixtures::link(u"baidu"_s, u"https://pan.test/1"_s, u"wxyz"_s))});
        QMetaObject::invokeMethod(object.get(), "openFirstLink");
        QCOMPARE(platform.clipboard, QStringList{u"wxyz"_s});
        QCOMPARE(platform.opened, QList<QUrl>{QUrl(u"https://pan.test/1"_s)});
        QCOMPARE(object->property("toast").toString(), u"提取码 wxyz 已复制，即将打开百度网盘"_s);

        Platform::setInstance(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestStoreQml)
#include "tst_store_qml.moc"
