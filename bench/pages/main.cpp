// bench_pages BASE_URL: the catalogue pages in a bare window over the store service at BASE_URL, driven by
// PagesProbe.qml, which prints the figures and quits.
#include "screens/components/Renderer.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    Renderer::choose();
    if (app.arguments().size() < 2) {
        qWarning("usage: bench_pages BASE_URL");
        return 2;
    }
    Endpoint::setBase(app.arguments().at(1));
    Store store(nullptr);
    Store::setInstance(&store);

    QQmlEngine engine;
    engine.addImportPath(u"qrc:/qt/qml"_s);
    QObject::connect(&engine, &QQmlEngine::quit, &app, &QCoreApplication::quit);
    QQmlComponent component(&engine, QUrl::fromLocalFile(QStringLiteral(BENCH_DIR "/PagesWindow.qml")));
    std::unique_ptr<QObject> window(component.create());
    if (!window) {
        qWarning().noquote() << component.errorString();
        return 1;
    }
    store.bootstrap();
    return app.exec();
}
