// One device tool's output, as the check would read it from the tool or from the seven-day cache. Built once
// per tool (VEXLO_FUZZ_TOOL picks which); the bytes go to every rule that reads that tool's output.
#include "device/DeviceRules.h"
#include "device/DeviceTraps.h"
#include "fuzz/FuzzSupport.h"

using namespace DeviceRules;

namespace {

enum Tool {
    profiler,
    ioreg,
    diskutilList,
    diskutilInfo,
    df,
    csrutil,
    fdesetup,
    socketfilterfw,
    profiles,
    firmwarepasswd
};

void touch(const DeviceSection &section)
{
    for (const DeviceMetric &metric : section.metrics)
        static_cast<void>(metric.toJson());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(Fuzz::bytes(data, size));
    const QString none;
    switch (Tool(VEXLO_FUZZ_TOOL)) {
    case profiler: {
        // system_profiler sections: hardware (stored and live), displays, the I/O sections and NVMe.
        const DeviceIdentity identity = identityFrom(text, text);
        static_cast<void>(identity.toJson());
        static_cast<void>(auditCapacity(identity.modelNumber, parseToGB(text), identity.memory));
        static_cast<void>(regionName(identity.modelNumber));
        touch(displayFrom(text));
        touch(ioFrom(text, text, text, text, text));
        touch(storageFrom(
            none, [] { return QString(); }, text, DiskLayout(), none));
        CrossCheckInputs inputs;
        inputs.nvme = text;
        static_cast<void>(crossChecksFrom(identity, inputs));
        // The power report's battery condition.
        if (const auto condition = DeviceTraps::conditionMetric(text, DeviceTraps::hasBattery(text, none)))
            static_cast<void>(condition->toJson());
        break;
    }
    case ioreg: {
        touch(batteryFrom(text));
        static_cast<void>(batterySerial(text));
        static_cast<void>(intField(text, QStringLiteral("CycleCount")));
        CrossCheckInputs inputs;
        inputs.ioreg = text;
        static_cast<void>(crossChecksFrom(DeviceIdentity(), inputs));
        break;
    }
    case diskutilList:
        static_cast<void>(diskLayoutFrom(none, text, none));
        break;
    case diskutilInfo: {
        static_cast<void>(physicalDiskSize(text));
        const DiskLayout layout = diskLayoutFrom(text, none, none);
        touch(storageFrom(
            text, [&text] { return text; }, none, layout, none));
        CrossCheckInputs inputs;
        inputs.diskInfo = text;
        inputs.layout = layout;
        static_cast<void>(crossChecksFrom(DeviceIdentity(), inputs));
        break;
    }
    case df: {
        // The root line alone ("df -k / | tail -1") and the whole report ("df -k /").
        const DiskLayout layout = diskLayoutFrom(none, none, text);
        touch(storageFrom(
            none, [] { return QString(); }, none, layout, text));
        break;
    }
    case csrutil: {
        static_cast<void>(sipEnabled(text));
        touch(securityFrom(text, none, none, DeviceIdentity()));
        CrossCheckInputs inputs;
        inputs.csrutilStatus = text;
        static_cast<void>(crossChecksFrom(DeviceIdentity(), inputs));
        break;
    }
    case fdesetup:
        touch(securityFrom(none, text, none, DeviceIdentity()));
        break;
    case socketfilterfw:
        static_cast<void>(firewallEnabled(text));
        touch(securityFrom(none, none, text, DeviceIdentity()));
        break;
    case profiles:
    case firmwarepasswd: {
        const DeviceSection management = DeviceTraps::managementSection(text, DeviceTraps::firmwareMetric(text));
        touch(management);
        static_cast<void>(DeviceTraps::trapChecks(DeviceIdentity(), {management}, text));
        break;
    }
    }
    return 0;
}
