#include "app/AppStart.h"

#include "screens/components/Renderer.h"
#include "screens/components/Symbols.h"
#include "screens/components/Theme.h"
#include "service/Network.h"
#include "store/Store.h"

#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickStyle>
#include <QQuickWindow>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QUrl mainUrl(u"qrc:/qt/qml/Vexlo/App/Main.qml"_s);

void loadFonts()
{
    Symbols::loadFont();
    QFont ui(Theme::fontFamily());
    ui.setPixelSize(13);
    QApplication::setFont(ui);
}

// Starts reading the window's QML on the engine's loader thread; load() later finds it in the engine's cache.
std::unique_ptr<QQmlComponent> beginLoading(QQmlApplicationEngine &engine)
{
    engine.addImportPath(u"qrc:/qt/qml"_s);
    return std::make_unique<QQmlComponent>(&engine, mainUrl, QQmlComponent::Asynchronous);
}

} // namespace

void AppStart::nameApplication()
{
    QApplication::setApplicationName(u"VexloToolbox"_s);
    QApplication::setOrganizationName(u"Vexlo"_s);
    QApplication::setApplicationDisplayName(u"Vexlo工具箱"_s);
    QApplication::setDesktopFileName(u"vexlo"_s);
}

QQuickWindow *AppStart::openStoreWindow(QQmlApplicationEngine &engine, std::optional<Store> &store)
{
    QQuickStyle::setStyle(u"Basic"_s);
    Renderer::choose();
    const std::unique_ptr<QQmlComponent> windowQml = beginLoading(engine);
    loadFonts();
    sharedNetwork();
    store.emplace(nullptr);
    Store::setInstance(&*store);

    // Input and sockets (a later launch handing its links over) wait for the program's own event loop.
    if (windowQml->isLoading()) {
        QEventLoop reading;
        QObject::connect(windowQml.get(), &QQmlComponent::statusChanged, &reading, &QEventLoop::quit);
        reading.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    }
    engine.load(mainUrl);
    return engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
}
