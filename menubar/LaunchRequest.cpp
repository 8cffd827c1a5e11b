#include "menubar/LaunchRequest.h"

using namespace Qt::StringLiterals;

LaunchRequest LaunchRequest::fromArguments(const QStringList &arguments)
{
    return fromHandedLines(arguments.mid(1));
}

LaunchRequest LaunchRequest::fromHandedLines(const QStringList &lines)
{
    LaunchRequest request;
    for (const QString &line : lines) {
        if (line == quickSearchOption)
            request.quickSearch = true;
        else if (line.startsWith(u"vexlink:"_s))
            request.links.append(line);
    }
    return request;
}

QStringList LaunchRequest::handedLines() const
{
    QStringList lines = links;
    if (quickSearch)
        lines.append(quickSearchOption.toString());
    return lines;
}
