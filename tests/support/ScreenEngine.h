#pragma once
// What a screen test sets up: a fresh Store as the instance every page reads, and a QML engine that finds the
// program's modules and creates pages from them. The engine, with every page it made, goes before the Store.
#include "store/HomeCache.h"
#include "store/Store.h"

#include <QDebug>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QVariantMap>

#include <memory>

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

    // A page below qrc:/qt/qml/Vexlo/ ("Catalog/DiscoverView.qml"), created with `properties`; null, with the
    // errors logged, when it does not load or is not a T.
    template <typename T = QObject> std::unique_ptr<T> load(const QString &path, const QVariantMap &properties = {})
    {
        QQmlComponent component(engine.get(), QUrl(QStringLiteral("qrc:/qt/qml/Vexlo/") + path));
        std::unique_ptr<QObject> object(component.createWithInitialProperties(properties));
        if (!object)
            qWarning().noquote() << component.errorString();
        if (!qobject_cast<T *>(object.get()))
            return nullptr;
        return std::unique_ptr<T>(qobject_cast<T *>(object.release()));
    }

    Store store{nullptr};
    std::unique_ptr<QQmlEngine> engine = std::make_unique<QQmlEngine>();
};
