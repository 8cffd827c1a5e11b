#pragma once

#include <QString>

// The Mac the program runs on, as far as updates care: the system version and the processor family.
struct ThisMac
{
    enum class Chip { unknown, appleSilicon, intel };

    QString osVersion; // "14.4.1"; empty when unknown
    Chip chip = Chip::unknown;

    // Read once: the version from `sw_vers -productVersion`, the chip from the kernel (Apple silicon also when
    // this program itself runs translated). Off macOS the sample applications stand for a Mac with macOS 13.6
    // on Apple silicon.
    [[nodiscard]] static const ThisMac &current();
    [[nodiscard]] static QString parseSwVers(const QByteArray &output);
};
