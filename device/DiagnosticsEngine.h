#pragma once
// The synchronous core of a device check: runs the tools through a ToolRunner, keeps the per-check memory
// cache and the seven-day file cache, and builds the records with DeviceRules. One engine serves one check;
// Diagnostics owns it on a worker thread.

#include "device/DeviceRecords.h"
#include "device/ToolRunner.h"

#include <QHash>

class DiagnosticsEngine
{
public:
    // `cacheDir` overrides the file cache folder (the per-user data folder + "VexloDiagnostics" when empty).
    explicit DiagnosticsEngine(ToolOptions tools = {}, QString cacheDir = {});

    [[nodiscard]] QString shell(const QString &commandLine);
    [[nodiscard]] QString cached(const QString &commandLine);
    [[nodiscard]] QString cachedStatic(const QString &commandLine);

    [[nodiscard]] std::optional<QString> persistentCacheDir() const;
    [[nodiscard]] std::optional<QString> persistentCacheURL(const QString &commandLine) const;
    [[nodiscard]] std::optional<QString> readPersistent(const QString &commandLine) const;
    void writePersistent(const QString &commandLine, const QString &output) const;
    void clearPersistentCache() const;

    [[nodiscard]] DeviceIdentity identity();
    [[nodiscard]] DiskLayout diskLayout();
    [[nodiscard]] DeviceSection battery();
    [[nodiscard]] DeviceSection storage();
    [[nodiscard]] DeviceSection display();
    [[nodiscard]] DeviceSection io();
    [[nodiscard]] DeviceSection security(const DeviceIdentity &identity);
    [[nodiscard]] CrossCheckResult crossChecks(const DeviceIdentity &identity);
    // Remote management and the firmware password. On Apple silicon the firmware password does not apply;
    // elsewhere `firmwarepasswd` runs only when `checkFirmware`, as it needs root.
    [[nodiscard]] DeviceSection management(const DeviceIdentity &identity, bool checkFirmware);
    // The firmware password read with administrator rights: on macOS the system asks for the administrator
    // password in its own prompt; elsewhere the tool runs as it is. None when nothing came back (the prompt
    // was cancelled).
    [[nodiscard]] std::optional<DeviceMetric> firmwareWithPrompt();
    // "macOS " + the product version from sw_vers, or "—".
    [[nodiscard]] QString osVersion();

    [[nodiscard]] ToolStats stats() const { return m_runner.stats(); }
    // Kills the tool running now and runs no other: every later read is empty. Any thread may call it.
    void stopTools() { m_runner.stop(); }
    // The file name of the cache entry of a command: "hw_" + key + ".txt".
    [[nodiscard]] static QString cacheFileName(const QString &commandLine);
    [[nodiscard]] static bool isPersistable(const QString &commandLine);

private:
    ToolRunner m_runner;
    QString m_cacheDir;
    QHash<QString, QString> m_cache;
};
