// Info.plist reading (XML and binary property lists) through the scanner's own reader, which takes a bundle
// folder: each input becomes Contents/Info.plist of one scratch bundle.
#include "fuzz/FuzzSupport.h"
#include "software/SoftwareScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString bundle = Fuzz::scratchDir() + QStringLiteral("/Fuzz.app");
    Fuzz::writeFile(bundle + QStringLiteral("/Contents/Info.plist"), Fuzz::bytes(data, size));
    const SoftwareScanner::BundleInfo info = SoftwareScanner::readBundleInfo(bundle);
    // Touch every string so a bad pointer or length inside the reader shows up here.
    for (const auto &value : {info.name, info.version, info.bundleId})
        if (value)
            static_cast<void>(value->toUtf8());
    return 0;
}
