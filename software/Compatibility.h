#pragma once

#include "software/ThisMac.h"

#include <QString>

// Whether this Mac can run a store update, from the store record's minOs ("macOS 12.0") and arch ("arm64",
// "x64", "universal"). A text in a format not understood, or an unknown side of this Mac, counts as compatible.
struct Compatibility
{
    enum class Verdict { compatible, needsRosetta, osTooOld, intelUnsupported };

    Verdict verdict = Verdict::compatible;
    // What stops or qualifies the update, for people: "需要 macOS 14.0 以上", "需 Rosetta",
    // "不支持 Intel 芯片"; empty when compatible.
    QString requirement;

    // Whether the update may be fetched at all (a Rosetta update may).
    [[nodiscard]] bool offered() const { return verdict == Verdict::compatible || verdict == Verdict::needsRosetta; }

    [[nodiscard]] static Compatibility of(const QString &minOs, const QString &arch, const ThisMac &mac);
    // The version inside a minOs text ("macOS 12.0" gives "12.0", "10.15+" gives "10.15"); empty when none.
    [[nodiscard]] static QString minimumVersion(const QString &minOs);
};
