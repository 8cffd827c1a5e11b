#include "screens/components/Renderer.h"

#include <QQuickWindow>

void Renderer::choose()
{
#ifndef Q_OS_MACOS
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
#endif
}
