#include "software/Compatibility.h"

#include "software/UpdateMatch.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

enum class Build { universal, appleSiliconOnly, intelOnly };

Build buildOf(const QString &arch)
{
    const QString a = arch.trimmed().toLower();
    if (a == u"arm64"_s || a == u"arm"_s || a == u"apple"_s || a == u"apple silicon"_s)
        return Build::appleSiliconOnly;
    if (a == u"x64"_s || a == u"x86_64"_s || a == u"x86-64"_s || a == u"intel"_s)
        return Build::intelOnly;
    return Build::universal;
}

} // namespace

QString Compatibility::minimumVersion(const QString &minOs)
{
    // The first dotted number, a lone one too ("macOS 14"); "macOS12.0" and "12.0+" are read as well.
    static const QRegularExpression number(uR"((?<![\d.])(\d{1,3}(?:\.\d{1,3}){0,2})(?![\d]))"_s);
    const auto match = number.match(minOs);
    return match.hasMatch() ? match.captured(1) : QString();
}

Compatibility Compatibility::of(const QString &minOs, const QString &arch, const ThisMac &mac)
{
    const QString minimum = minimumVersion(minOs);
    if (!minimum.isEmpty() && !mac.osVersion.isEmpty() && UpdateMatch::isNewer(minimum, mac.osVersion))
        return {Verdict::osTooOld, u"需要 macOS %1 以上"_s.arg(minimum)};
    const Build build = buildOf(arch);
    if (build == Build::appleSiliconOnly && mac.chip == ThisMac::Chip::intel)
        return {Verdict::intelUnsupported, u"不支持 Intel 芯片"_s};
    if (build == Build::intelOnly && mac.chip == ThisMac::Chip::appleSilicon)
        return {Verdict::needsRosetta, u"需 Rosetta"_s};
    return {};
}
