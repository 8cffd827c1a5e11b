#include "device/ToolPaths.h"

#include <QStringList>

#include <array>

namespace ToolPaths {

namespace {

struct Tool
{
    QStringView name;
    QStringView path;
};

constexpr std::array kTools{
    Tool{u"system_profiler", u"/usr/sbin/system_profiler"},
    Tool{u"ioreg", u"/usr/sbin/ioreg"},
    Tool{u"diskutil", u"/usr/sbin/diskutil"},
    Tool{u"csrutil", u"/usr/bin/csrutil"},
    Tool{u"fdesetup", u"/usr/bin/fdesetup"},
    Tool{u"socketfilterfw", u"/usr/libexec/ApplicationFirewall/socketfilterfw"},
    Tool{u"sw_vers", u"/usr/bin/sw_vers"},
    Tool{u"df", u"/bin/df"},
};

// One pipeline step: its leading spaces, then the program up to the next space.
QString absoluteStep(QStringView step)
{
    qsizetype start = 0;
    while (start < step.size() && step.at(start) == u' ')
        ++start;
    qsizetype end = step.indexOf(u' ', start);
    if (end < 0)
        end = step.size();
    const QString path = macPath(step.sliced(start, end - start));
    if (path.isEmpty())
        return step.toString();
    QString result = step.first(start).toString();
    result += path;
    result += step.sliced(end);
    return result;
}

} // namespace

QString macPath(QStringView tool)
{
    for (const Tool &known : kTools) {
        if (known.name == tool)
            return known.path.toString();
    }
    return {};
}

QString absoluteCommandLine(const QString &commandLine)
{
    const QList<QStringView> steps = QStringView(commandLine).split(u'|');
    QStringList result;
    result.reserve(steps.size());
    for (const QStringView step : steps)
        result.append(absoluteStep(step));
    return result.join(u'|');
}

} // namespace ToolPaths
