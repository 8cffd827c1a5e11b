#pragma once

#include <QString>

// Whether a program from inside an application bundle is running (its executable lies below the bundle).
namespace RunningApps {

[[nodiscard]] bool isRunning(const QString &bundlePath);

} // namespace RunningApps
