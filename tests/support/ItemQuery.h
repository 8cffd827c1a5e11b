#pragma once
// Finding QML items by objectName (through QObject children and visual children, so popups and delegates are
// found too) and reading or pressing them, for the screen tests.
#include <QList>
#include <QObject>
#include <QQuickItem>
#include <QSet>
#include <QString>
#include <QTest>

namespace ItemQuery {

inline void collect(QObject *object, const QString &name, QList<QObject *> &out, QSet<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return;
    seen.insert(object);
    if (object->objectName() == name)
        out.append(object);
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems())
            collect(child, name, out, seen);
    }
    for (QObject *child : object->children())
        collect(child, name, out, seen);
}

// Every object named `name` under `root`; with `visibleOnly`, only items that are visible.
inline QList<QObject *> all(QObject *root, const QString &name, bool visibleOnly = false)
{
    QList<QObject *> found, out;
    QSet<QObject *> seen;
    collect(root, name, found, seen);
    for (QObject *o : found) {
        auto *item = qobject_cast<QQuickItem *>(o);
        if (!visibleOnly || (item && item->isVisible()))
            out.append(o);
    }
    return out;
}

inline QObject *one(QObject *root, const QString &name)
{
    const auto found = all(root, name);
    return found.isEmpty() ? nullptr : found.first();
}

inline bool shown(QObject *root, const QString &name)
{
    auto *item = qobject_cast<QQuickItem *>(one(root, name));
    return item && item->isVisible();
}

inline QString text(QObject *root, const QString &name)
{
    QObject *o = one(root, name);
    return o ? o->property("text").toString() : QStringLiteral("<missing %1>").arg(name);
}

inline QStringList texts(QObject *root, const QString &name)
{
    QStringList out;
    for (QObject *o : all(root, name, true))
        out.append(o->property("text").toString());
    return out;
}

// Presses a button the way a pointer would reach it: only when it is visible and enabled.
inline bool press(QObject *root, const QString &name)
{
    auto *item = qobject_cast<QQuickItem *>(one(root, name));
    if (!item || !item->isVisible() || !item->isEnabled())
        return false;
    return QMetaObject::invokeMethod(item, "clicked");
}

} // namespace ItemQuery
