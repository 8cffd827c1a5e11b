#include "service/UserDefaults.h"

using namespace Qt::StringLiterals;

std::unique_ptr<QSettings> userDefaults()
{
#ifdef Q_OS_MACOS
    // Qt names the preferences domain "com.vexlo.toolbox" from these, the bundle's CFBundleIdentifier; strings stay
    // strings and byte arrays become data in it.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, u"vexlo.com"_s, u"toolbox"_s);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, u"Vexlo"_s, u"VexloToolbox"_s);
#endif
}

QByteArray userDefaultsData(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QByteArray)
        return stored.toByteArray();
    if (stored.typeId() == QMetaType::QString)
        return stored.toString().toUtf8();
    return {};
}
