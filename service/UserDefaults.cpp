#include "service/UserDefaults.h"

std::unique_ptr<QSettings> userDefaults()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Vexlo"),
                                       QStringLiteral("VexloToolbox"));
}
