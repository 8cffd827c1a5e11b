#include "device/DiagnosticsEngine.h"

#include "device/DeviceRules.h"
#include "device/DeviceTraps.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kValiditySeconds = 604800;

const QString kHardware = u"system_profiler SPHardwareDataType"_s;
const QString kBattery = u"ioreg -rn AppleSmartBattery"_s;
const QString kNvme = u"system_profiler SPNVMeDataType"_s;
const QString kDiskInfo = u"diskutil info disk0"_s;
const QString kDiskList = u"diskutil list"_s;
const QString kCsrutil = u"csrutil status"_s;
const QString kFdesetup = u"fdesetup status"_s;
// Facts that change without the hardware changing: always read afresh.
const QString kPower = u"system_profiler SPPowerDataType"_s;
const QString kEnrollment = u"profiles status -type enrollment"_s;
const QString kFirmware = u"firmwarepasswd -check"_s;

} // namespace

DiagnosticsEngine::DiagnosticsEngine(ToolOptions tools, QString cacheDir)
    : m_runner(std::move(tools))
    , m_cacheDir(std::move(cacheDir))
{ }

QString DiagnosticsEngine::shell(const QString &commandLine)
{
    return m_runner.shell(commandLine);
}

QString DiagnosticsEngine::cached(const QString &commandLine)
{
    if (auto it = m_cache.constFind(commandLine); it != m_cache.constEnd())
        return *it;
    const QString output = shell(commandLine);
    m_cache.insert(commandLine, output);
    return output;
}

QString DiagnosticsEngine::cachedStatic(const QString &commandLine)
{
    if (auto it = m_cache.constFind(commandLine); it != m_cache.constEnd())
        return *it;
    if (auto stored = readPersistent(commandLine)) {
        m_cache.insert(commandLine, *stored);
        return *stored;
    }
    // A tool that gave no readable answer is asked again next time rather than read as empty for a week.
    const std::optional<QString> output = m_runner.read(commandLine);
    m_cache.insert(commandLine, output.value_or(QString()));
    if (output)
        writePersistent(commandLine, *output);
    return output.value_or(QString());
}

std::optional<QString> DiagnosticsEngine::persistentCacheDir() const
{
    if (!m_cacheDir.isEmpty())
        return m_cacheDir;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return std::nullopt;
    return base + u"/VexloDiagnostics"_s;
}

bool DiagnosticsEngine::isPersistable(const QString &commandLine)
{
    return commandLine.startsWith(u"system_profiler SPHardwareDataType"_s) ||
        commandLine.startsWith(u"system_profiler SPDisplaysDataType"_s);
}

QString DiagnosticsEngine::cacheFileName(const QString &commandLine)
{
    QString key = QString::fromLatin1(commandLine.toUtf8().toBase64());
    key.replace(u'/', u'_');
    key.remove(u'=');
    return u"hw_"_s + key + u".txt"_s;
}

std::optional<QString> DiagnosticsEngine::persistentCacheURL(const QString &commandLine) const
{
    if (!isPersistable(commandLine))
        return std::nullopt;
    const auto dir = persistentCacheDir();
    if (!dir)
        return std::nullopt;
    return *dir + u'/' + cacheFileName(commandLine);
}

std::optional<QString> DiagnosticsEngine::readPersistent(const QString &commandLine) const
{
    const auto location = persistentCacheURL(commandLine);
    if (!location)
        return std::nullopt;
    QFile file(*location);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        return std::nullopt;
    QStringList pieces = text.split(u'\n');
    if (pieces.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double stamp = DeviceRules::trimSpaces(pieces.first()).toDouble(&ok);
    if (!ok || !std::isfinite(stamp))
        return std::nullopt;
    const double age = double(QDateTime::currentSecsSinceEpoch()) - stamp;
    if (!(age < kValiditySeconds))
        return std::nullopt;
    pieces.removeFirst();
    return pieces.join(u'\n');
}

void DiagnosticsEngine::writePersistent(const QString &commandLine, const QString &output) const
{
    const auto location = persistentCacheURL(commandLine);
    if (!location)
        return;
    if (!QDir().mkpath(QFileInfo(*location).absolutePath()))
        return;
    QSaveFile file(*location);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QByteArray::number(QDateTime::currentSecsSinceEpoch()) + '\n' + output.toUtf8());
    file.commit();
}

void DiagnosticsEngine::clearPersistentCache() const
{
    if (const auto dir = persistentCacheDir())
        QDir(*dir).removeRecursively();
}

DeviceIdentity DiagnosticsEngine::identity()
{
    const QString stored = cachedStatic(kHardware);
    const QString live = shell(kHardware);
    return DeviceRules::identityFrom(stored, live);
}

DiskLayout DiagnosticsEngine::diskLayout()
{
    const QString info = cached(kDiskInfo);
    const QString list = cached(kDiskList);
    const QString root = shell(u"df -k / | tail -1"_s);
    return DeviceRules::diskLayoutFrom(info, list, root);
}

DeviceSection DiagnosticsEngine::battery()
{
    const QString ioreg = cached(kBattery);
    DeviceSection section = DeviceRules::batteryFrom(ioreg);
    const QString power = shell(kPower);
    if (auto condition = DeviceTraps::conditionMetric(power, DeviceTraps::hasBattery(power, ioreg)))
        section.metrics << *condition;
    return section;
}

DeviceSection DiagnosticsEngine::storage()
{
    const QString info = cached(kDiskInfo);
    const QString nvme = cached(kNvme);
    const DiskLayout layout = diskLayout();
    const QString df = shell(u"df -k /"_s);
    return DeviceRules::storageFrom(
        info, [this] { return shell(u"diskutil info /dev/disk0"_s); }, nvme, layout, df);
}

DeviceSection DiagnosticsEngine::display()
{
    return DeviceRules::displayFrom(shell(u"system_profiler SPDisplaysDataType"_s));
}

DeviceSection DiagnosticsEngine::io()
{
    const QString airport = shell(u"system_profiler SPAirPortDataType"_s);
    const QString bluetooth = shell(u"system_profiler SPBluetoothDataType"_s);
    const QString thunderbolt = shell(u"system_profiler SPThunderboltDataType"_s);
    const QString camera = shell(u"system_profiler SPCameraDataType"_s);
    const QString audio = shell(u"system_profiler SPAudioDataType"_s);
    return DeviceRules::ioFrom(airport, bluetooth, thunderbolt, camera, audio);
}

DeviceSection DiagnosticsEngine::security(const DeviceIdentity &identity)
{
    const QString sip = cached(kCsrutil);
    const QString fileVault = cached(kFdesetup);
    const QString firewall = shell(u"/usr/libexec/ApplicationFirewall/socketfilterfw --getglobalstate"_s);
    return DeviceRules::securityFrom(sip, fileVault, firewall, identity);
}

CrossCheckResult DiagnosticsEngine::crossChecks(const DeviceIdentity &identity)
{
    DeviceRules::CrossCheckInputs inputs;
    inputs.ioreg = cached(kBattery);
    inputs.nvme = cached(kNvme);
    inputs.diskInfo = cached(kDiskInfo);
    inputs.csrutilStatus = cached(kCsrutil);
    inputs.layout = diskLayout();
    return DeviceRules::crossChecksFrom(identity, inputs);
}

DeviceSection DiagnosticsEngine::management(const DeviceIdentity &identity, bool checkFirmware)
{
    const QString enrollment = shell(kEnrollment);
    if (!DeviceTraps::hasFirmwarePassword(identity))
        return DeviceTraps::managementSection(enrollment, DeviceTraps::firmwareNotApplicable());
    if (!checkFirmware)
        return DeviceTraps::managementSection(enrollment, DeviceTraps::firmwareUnchecked());
    return DeviceTraps::managementSection(enrollment, DeviceTraps::firmwareMetric(shell(kFirmware)));
}

std::optional<DeviceMetric> DiagnosticsEngine::firmwareWithPrompt()
{
#ifdef Q_OS_MACOS
    // The user may take a while to type the password: the prompt gets minutes, not a tool's time limit.
    ToolOptions options = m_runner.options();
    options.timeout = std::chrono::minutes(5);
    options.budget = options.timeout;
    const QString script = u"do shell script \"/usr/sbin/firmwarepasswd -check\" "_s
                           u"with administrator privileges without altering line endings"_s;
    const auto output = ToolRunner(options).run(u"/usr/bin/osascript"_s, {u"-e"_s, script});
    const QString text = output.value_or(QString());
#else
    // No system prompt here: the tool (a stand-in off macOS) runs with the rights this process has.
    const QString text = shell(kFirmware);
#endif
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return DeviceTraps::firmwareMetric(text);
}

QString DiagnosticsEngine::osVersion()
{
    const auto output = m_runner.run(u"/usr/bin/sw_vers"_s, {u"-productVersion"_s});
    if (!output)
        return kMissing;
    const QString version = output->trimmed();
    return version.isEmpty() ? kMissing : u"macOS "_s + version;
}
