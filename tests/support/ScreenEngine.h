#pragma once
// What a screen test sets up: a fresh Store as the instance every page reads, and a QML engine that finds the
// program's modules and creates pages from them. The engine, with every page it made, goes before the Store.
#include "Fixtures.h"
#include "store/HomeCache.h"
#include "store/Store.h"

#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QVariantMap>

#include <functional>
#include <memory>

// The home page of the test's data/home.json, after `edit`.
inline StoreHome homeFixture(const std::function<void(QJsonObject &)> &edit = {})
{
    QJsonObject json = readJson(QStringLiteral("home.json"));
    if (edit)
        edit(json);
    return decode<StoreHome>(json);
}

struct ScreenEngine
{
    ScreenEngine()
    {
        QFile::remove(HomeCache::path()); // no home page kept by an earlier test
        Store::setInstance(&store);
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    }
    ~ScreenEngine()
    {
        engine.reset();
        Store::setInstance(nullptr);
    }
    ScreenEngine(const ScreenEngine &) = delete;
    ScreenEngine &operator=(const ScreenEngine &) = delete;

    // A page below qrc:/qt/qml/Vexlo/ ("Catalog/DiscoverView.qml"), created with `properties`. A page that does not
    // load, or is not a T, stops the test with the errors: no test can go on without its page.
    template <typename T = QObject> std::unique_ptr<T> load(const QString &path, const QVariantMap &properties = {})
    {
        QQmlComponent component(engine.get(), QUrl(QStringLiteral("qrc:/qt/qml/Vexlo/") + path));
        // Qt 6.4 crashes when asked to create from a component that did not compile.
        std::unique_ptr<QObject> object(component.isReady() ? component.createWithInitialProperties(properties)
                                                            : nullptr);
        if (!qobject_cast<T *>(object.get()))
            qFatal("%s does not load: %s", qPrintable(path), qPrintable(component.errorString()));
        return std::unique_ptr<T>(qobject_cast<T *>(object.release()));
    }

    // The app's store window, 1180 × 780 with the menu in its toolbar (as where there is no system menu bar), not
    // yet shown. A window that does not load stops the test.
    std::unique_ptr<QQuickWindow> storeWindow()
    {
        QQmlComponent component(engine.get());
        component.setData("import QtQuick\nimport QtQuick.Controls\nimport Vexlo.Window\n"
                          "ApplicationWindow { width: 1180; height: 780\n"
                          "  StoreWindow { anchors.fill: parent; menuInToolbar: true } }",
                          QUrl(QStringLiteral("file:///store-window.qml")));
        std::unique_ptr<QQuickWindow> window(qobject_cast<QQuickWindow *>(component.create()));
        if (!window)
            qFatal("the store window does not load: %s", qPrintable(component.errorString()));
        return window;
    }

    Store store{nullptr};
    std::unique_ptr<QQmlEngine> engine = std::make_unique<QQmlEngine>();
};
