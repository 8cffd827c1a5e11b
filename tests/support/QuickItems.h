#pragma once
// Finding items of a loaded page by objectName, through its visual children.
#include <QList>
#include <QQuickItem>
#include <QString>

namespace quickitems {

// Every item named `name` below `root`, in tree order.
inline QList<QQuickItem *> named(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> out;
    for (QQuickItem *child : root->childItems()) {
        if (child->objectName() == name)
            out.append(child);
        out += named(child, name);
    }
    return out;
}

// The one item named `name`; null when there is none or more than one.
inline QQuickItem *one(QQuickItem *root, const QString &name)
{
    const auto all = named(root, name);
    return all.size() == 1 ? all.first() : nullptr;
}

} // namespace quickitems
