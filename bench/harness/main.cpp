// vexlo-harness FILE.qml: the app's own start and store window, with FILE.qml laid over the window to drive it
// (the start-up probe, the screenshot tour). FILE.qml gets the window as its `window` property. The settings
// and data files are the app's own, so the scripts give it a home folder of its own.
#include "app/AppStart.h"
#include "store/Store.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>

#include "vexlo_qml_plugins.h"

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppStart::nameApplication();
    if (QApplication::arguments().size() != 2) {
        qWarning("usage: vexlo-harness FILE.qml");
        return 2;
    }
    std::optional<Store> store; // outlives the engine
    QQmlApplicationEngine engine;
    QQuickWindow *window = AppStart::openStoreWindow(engine, store);
    if (!window)
        return 1;
    QQmlComponent component(&engine, QUrl::fromLocalFile(QApplication::arguments().at(1)));
    auto *driver =
        qobject_cast<QQuickItem *>(component.createWithInitialProperties({{u"window"_s, QVariant::fromValue(window)}}));
    if (!driver) {
        qWarning().noquote() << component.errorString();
        return 1;
    }
    driver->setParent(window);
    driver->setParentItem(window->contentItem());
    return QApplication::exec();
}
