// A QML page can run a check and read its records as values.

#include "device/DeviceCheck.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(Vexlo_DevicePlugin)

using namespace Qt::StringLiterals;

class TestDeviceQml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runFromQml()
    {
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QQmlComponent component(&engine);
        component.setData(R"(
            import QtQml
            import Vexlo.Device
            QtObject {
                property DeviceCheck check: DeviceCheck {}
                property bool done: !check.running && check.started
                readonly property string summary: done
                    ? [check.identity.modelName, check.sections.length, check.sections[0].metrics[0].label,
                       check.sections[0].metrics[0].status, check.checks[0].label, String(check.checks[2].detail),
                       check.score, check.verdict, check.steps[6].title].join("|")
                    : ""
                readonly property bool detailAbsent: done && check.sections[4].metrics[2].detail === undefined
                function start() { check.runAll(false) }
            }
        )",
                          QUrl(u"qrc:/test.qml"_s));
        QScopedPointer<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        auto *check = root->property("check").value<DeviceCheck *>();
        QVERIFY(check);
        QVERIFY(check->sampleData());
        QSignalSpy finished(check, &DeviceCheck::finished);
        QMetaObject::invokeMethod(root.data(), "start");
        QVERIFY(finished.wait(30000));
        QCOMPARE(
            root->property("summary").toString(),
            u"MacBook Air|5|健康度|ok|序列号格式|型号 MLY33CH/A，应与购买渠道一致|100|没有发现明显问题|交叉校验"_s);
        QVERIFY(root->property("detailAbsent").toBool()); // the firewall row has no detail
    }
};

QTEST_GUILESS_MAIN(TestDeviceQml)
#include "tst_device_qml.moc"
