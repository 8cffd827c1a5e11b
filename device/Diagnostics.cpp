#include "device/Diagnostics.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

#ifndef VEXLO_STANDINS_SOURCE_DIR
#define VEXLO_STANDINS_SOURCE_DIR ""
#endif

QString DiagnosticsConfig::standinsDir()
{
    QStringList candidates;
    const QString fromEnv = qEnvironmentVariable("VEXLO_STANDINS_DIR");
    if (!fromEnv.isEmpty())
        candidates << fromEnv;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << appDir + u"/standins"_s << appDir + u"/../share/vexlo/standins"_s
                   << appDir + u"/../Resources/standins"_s;
    }
    candidates << QString::fromUtf8(VEXLO_STANDINS_SOURCE_DIR);
    for (const QString &dir : std::as_const(candidates)) {
        if (!dir.isEmpty() && QFileInfo(dir + u"/tools/system_profiler"_s).isExecutable())
            return QDir(dir).canonicalPath();
    }
    return {};
}

QStringList DiagnosticsConfig::profiles()
{
    const QString dir = standinsDir();
    if (dir.isEmpty())
        return {};
    return QDir(dir + u"/profiles"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

std::optional<DiagnosticsConfig> DiagnosticsConfig::forProfile(const QString &profile)
{
    const QString dir = standinsDir();
    if (dir.isEmpty() || profile.isEmpty() || profile.contains(u'/') ||
        !QFileInfo(dir + u"/profiles/"_s + profile).isDir())
        return std::nullopt;
    DiagnosticsConfig config;
    config.tools.toolRoot = dir + u"/tools"_s;
    config.tools.environment.insert(u"VEXLO_STANDIN_PROFILE"_s, profile);
    config.sampleData = true;
    config.profile = profile;
    // Each sample Mac keeps its own hardware cache, so switching profiles never shows another machine's facts.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty())
        config.cacheDir = data + u"/VexloDiagnostics/samples/"_s + profile;
    return config;
}

DiagnosticsConfig DiagnosticsConfig::forHost()
{
#ifdef Q_OS_MACOS
    return {};
#else
    QString profile = qEnvironmentVariable("VEXLO_STANDIN_PROFILE");
    if (profile.isEmpty())
        profile = u"healthy"_s;
    if (auto config = forProfile(profile))
        return *config;
    // No stand-ins installed: the tools are not there, every fact reads as missing.
    DiagnosticsConfig config;
    config.sampleData = true;
    config.profile = profile;
    return config;
#endif
}

Diagnostics::Diagnostics(DiagnosticsConfig config)
    : m_config(std::move(config))
    , m_engine(std::make_unique<DiagnosticsEngine>(m_config.tools, m_config.cacheDir))
    , m_context(new QObject)
{
    m_thread.setObjectName(u"Diagnostics"_s);
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

Diagnostics::~Diagnostics()
{
    // A tool still running is killed rather than waited for. The context is deleted on its own thread as that
    // thread finishes.
    skipQueued();
    m_thread.quit();
    m_thread.wait();
}

QCoro::Task<QString> Diagnostics::shell(const QString &commandLine)
{
    return onWorker([commandLine](DiagnosticsEngine &e) { return e.shell(commandLine); });
}

QCoro::Task<QString> Diagnostics::cached(const QString &commandLine)
{
    return onWorker([commandLine](DiagnosticsEngine &e) { return e.cached(commandLine); });
}

QCoro::Task<QString> Diagnostics::cachedStatic(const QString &commandLine)
{
    return onWorker([commandLine](DiagnosticsEngine &e) { return e.cachedStatic(commandLine); });
}

QCoro::Task<> Diagnostics::clearPersistentCache()
{
    return onWorker([](DiagnosticsEngine &e) { e.clearPersistentCache(); });
}

QCoro::Task<DeviceIdentity> Diagnostics::identity()
{
    return onWorker([](DiagnosticsEngine &e) { return e.identity(); });
}

QCoro::Task<DiskLayout> Diagnostics::diskLayout()
{
    return onWorker([](DiagnosticsEngine &e) { return e.diskLayout(); });
}

QCoro::Task<DeviceSection> Diagnostics::battery()
{
    return onWorker([](DiagnosticsEngine &e) { return e.battery(); });
}

QCoro::Task<DeviceSection> Diagnostics::storage()
{
    return onWorker([](DiagnosticsEngine &e) { return e.storage(); });
}

QCoro::Task<DeviceSection> Diagnostics::display()
{
    return onWorker([](DiagnosticsEngine &e) { return e.display(); });
}

QCoro::Task<DeviceSection> Diagnostics::io()
{
    return onWorker([](DiagnosticsEngine &e) { return e.io(); });
}

QCoro::Task<DeviceSection> Diagnostics::security(const DeviceIdentity &identity)
{
    return onWorker([identity](DiagnosticsEngine &e) { return e.security(identity); });
}

QCoro::Task<CrossCheckResult> Diagnostics::crossChecks(const DeviceIdentity &identity)
{
    return onWorker([identity](DiagnosticsEngine &e) { return e.crossChecks(identity); });
}

QCoro::Task<DeviceSection> Diagnostics::management(const DeviceIdentity &identity, bool checkFirmware)
{
    return onWorker([identity, checkFirmware](DiagnosticsEngine &e) { return e.management(identity, checkFirmware); });
}

QCoro::Task<std::optional<DeviceMetric>> Diagnostics::firmwareWithPrompt()
{
    return onWorker([](DiagnosticsEngine &e) { return e.firmwareWithPrompt(); });
}

QCoro::Task<QString> Diagnostics::osVersion()
{
    return onWorker([](DiagnosticsEngine &e) { return e.osVersion(); });
}

QCoro::Task<ToolStats> Diagnostics::stats()
{
    return onWorker([](DiagnosticsEngine &e) { return e.stats(); });
}

QCoro::Task<> Diagnostics::idle()
{
    return onWorker([](DiagnosticsEngine &) {});
}
