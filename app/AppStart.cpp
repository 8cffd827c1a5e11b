#include "app/AppStart.h"

#include "screens/components/Renderer.h"
#include "screens/components/Symbols.h"
#include "screens/components/Theme.h"
#include "service/Network.h"

#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

using namespace Qt::Literals::StringLiterals;

namespace {

void loadFonts()
{
    Symbols::loadFont();
    QFont ui(Theme::fontFamily());
    ui.setPixelSize(13);
    QApplication::setFont(ui);
}

} // namespace

void AppStart::nameApplication()
{
    QApplication::setApplicationName(u"VexloToolbox"_s);
    QApplication::setOrganizationName(u"Vexlo"_s);
    QApplication::setApplicationDisplayName(u"Vexlo工具箱"_s);
    QApplication::setDesktopFileName(u"vexlo"_s);
}

void AppStart::prepare()
{
    loadFonts();
    QQuickStyle::setStyle(u"Basic"_s);
    Renderer::choose();
    sharedNetwork();
}

QQuickWindow *AppStart::loadStoreWindow(QQmlApplicationEngine &engine)
{
    engine.addImportPath(u"qrc:/qt/qml"_s);
    engine.load(QUrl(u"qrc:/qt/qml/Vexlo/App/Main.qml"_s));
    return engine.rootObjects().isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(engine.rootObjects().first());
}
