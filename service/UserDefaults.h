#pragma once
// The app's user defaults: one INI file per user ("baseURL", "installedApps").
#include <QSettings>
#include <memory>

std::unique_ptr<QSettings> userDefaults();
