#pragma once
// The app's user defaults: "baseURL", the site address as a string, and "installedApps", the download records as
// one data value (UTF-8 JSON). On macOS they live in the app's own defaults domain, its bundle identifier
// (`defaults read com.vexlo.toolbox`); elsewhere in one INI file per user.
#include <QSettings>
#include <memory>

std::unique_ptr<QSettings> userDefaults();

// The bytes of a data value as the defaults hand it back: data on macOS and in the INI file, or a string when
// someone wrote the key as text (`defaults write ... -string`). Empty for any other type.
QByteArray userDefaultsData(const QVariant &stored);
