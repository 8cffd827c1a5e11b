#include "app/AppStart.h"

#include "screens/components/Renderer.h"
#include "service/Network.h"

#include <QApplication>
#include <QFontDatabase>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

using namespace Qt::Literals::StringLiterals;

namespace {

void loadFonts()
{
    const QStringList iconFonts{
        u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"_s,
        u"/usr/share/fonts/woff/material-design-icons-iconfont/MaterialIcons-Regular.woff"_s,
    };
    for (const QString &file : iconFonts) {
        if (QFontDatabase::addApplicationFont(file) >= 0)
            break;
    }
    QFont ui(u"Noto Sans CJK SC"_s);
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
