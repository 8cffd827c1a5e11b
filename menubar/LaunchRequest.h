#pragma once
// What a launch asks of the program: links of the "vexlink" scheme to open, and whether to show the quick
// search panel (`vexlo --quick-search`, the desktop entry's action). A later launch hands the same request
// to the running instance as the lines of its message.
#include <QStringList>

struct LaunchRequest
{
    static constexpr QStringView quickSearchOption = u"--quick-search";

    QStringList links;
    bool quickSearch = false;

    // From the command line (the first entry is the program).
    [[nodiscard]] static LaunchRequest fromArguments(const QStringList &arguments);
    // From the lines a later launch handed over.
    [[nodiscard]] static LaunchRequest fromHandedLines(const QStringList &lines);
    // The lines to hand over: the links, then the option when set.
    [[nodiscard]] QStringList handedLines() const;
};
