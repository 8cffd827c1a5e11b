#pragma once

#include <QString>
#include <QStringList>

// Off macOS there is no /Applications to manage, so the software manager works on a per-user copy of a few
// bundled sample bundles. The copy is made once; removing a sample moves that copy to the Trash and the bundled
// originals are only ever read.
namespace SampleApps {

// Where the bundled originals are: $VEXLO_SAMPLE_APPS_DIR, beside the program (../share/vexlo/sample-apps) or
// in the build tree. Empty when none is found.
[[nodiscard]] QString originalsDir();

// The per-user folder the samples are copied into (under the user's data folder).
[[nodiscard]] QString userDir();

// Copies every bundle of originals into target unless this was done before (a marker beside target records
// it), so samples the user removed stay removed. Returns whether target holds the seeded copy afterwards.
bool seed(const QString &originals, const QString &target);

// Whether the page works on the samples: true everywhere but macOS.
[[nodiscard]] constexpr bool inUse()
{
#ifdef Q_OS_MACOS
    return false;
#else
    return true;
#endif
}

// The folders the software manager scans: the seeded sample folder off macOS, the default roots on macOS.
[[nodiscard]] QStringList pageRoots();

} // namespace SampleApps
