#include "software/ThisMac.h"

#include "software/SampleApps.h"

#include <QProcess>
#include <QRegularExpression>

#ifdef Q_OS_MACOS
#include <sys/sysctl.h>
#include <sys/types.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_MACOS
ThisMac::Chip readChip()
{
    // hw.optional.arm64 is 1 on Apple silicon even inside a translated process, where the CPU type lies.
    int arm64 = 0;
    size_t size = sizeof(arm64);
    if (::sysctlbyname("hw.optional.arm64", &arm64, &size, nullptr, 0) == 0 && arm64 == 1)
        return ThisMac::Chip::appleSilicon;
    return ThisMac::Chip::intel;
}

QString readOsVersion()
{
    QProcess process;
    process.start(u"/usr/bin/sw_vers"_s, {u"-productVersion"_s});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return ThisMac::parseSwVers(process.readAllStandardOutput());
}
#endif

ThisMac read()
{
#ifdef Q_OS_MACOS
    return {readOsVersion(), readChip()};
#else
    if (SampleApps::inUse())
        return {u"13.6"_s, ThisMac::Chip::appleSilicon};
    return {};
#endif
}

} // namespace

QString ThisMac::parseSwVers(const QByteArray &output)
{
    // Either the bare version (-productVersion) or the full report's "ProductVersion:" line.
    static const QRegularExpression version(uR"((?:^|ProductVersion:\s*)(\d+(?:\.\d+)*)\s*$)"_s,
                                            QRegularExpression::MultilineOption);
    const auto match = version.match(QString::fromUtf8(output).trimmed());
    return match.hasMatch() ? match.captured(1) : QString();
}

const ThisMac &ThisMac::current()
{
    static const ThisMac mac = read();
    return mac;
}
