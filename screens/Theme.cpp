#include "screens/Theme.h"

Theme *Theme::create(QQmlEngine *, QJSEngine *)
{
    static Theme *instance = [] {
        auto *t = new Theme;
        QJSEngine::setObjectOwnership(t, QJSEngine::CppOwnership);
        return t;
    }();
    return instance;
}
