// bench_bare_window: a bare Qt Quick window with Controls and Chinese text, on the renderer the app chooses;
// prints the start-up benchmark's figure line once its first frame is on screen.
#include "screens/components/Renderer.h"

#include "DrawnReport.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(u"Basic"_s);
    Renderer::choose();
    QQmlApplicationEngine engine;
    engine.load(QUrl(u"qrc:/qt/qml/Bench/BareWindow/BareWindow.qml"_s));
    auto *window =
        engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        return 1;
    reportWhenDrawn(window);
    return QGuiApplication::exec();
}
