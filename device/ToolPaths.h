#pragma once
// Where macOS keeps the system tools of a device check. The command lines name tools by their bare names
// ("diskutil list"); on macOS they run from these absolute paths, whatever PATH holds. A new tool is one more
// row in ToolPaths.cpp.

#include <QString>
#include <QStringView>

namespace ToolPaths {

// "/usr/sbin/ioreg" for "ioreg"; empty for a tool not in the table.
[[nodiscard]] QString macPath(QStringView tool);

// The command line with the program of each pipeline step that the table knows replaced by its absolute path:
// "df -k / | tail -1" becomes "/bin/df -k / | tail -1". Everything else is kept as written.
[[nodiscard]] QString absoluteCommandLine(const QString &commandLine);

// True when the device check runs on macOS, where the table's paths are the ones to use.
[[nodiscard]] constexpr bool onMacOS()
{
#ifdef Q_OS_MACOS
    return true;
#else
    return false;
#endif
}

} // namespace ToolPaths
