#pragma once
// Finding QML items by objectName (through QObject children and visual children, so popups and delegates are
// found too) and reading or pressing them, for the tests of pages.
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
    QList<QObject *> found;
    QSet<QObject *> seen;
    collect(root, name, found, seen);
    if (visibleOnly) {
        found.removeIf([](QObject *o) {
            auto *item = qobject_cast<QQuickItem *>(o);
            return !item || !item->isVisible();
        });
    }
    return found;
}

// The items among them, in tree order.
inline QList<QQuickItem *> named(QObject *root, const QString &name, bool visibleOnly = false)
{
    QList<QQuickItem *> out;
    for (QObject *o : all(root, name, visibleOnly)) {
        if (auto *item = qobject_cast<QQuickItem *>(o))
            out.append(item);
    }
    return out;
}

// The only item named `name`; null when there is none or more than one.
inline QQuickItem *only(QObject *root, const QString &name, bool visibleOnly = false)
{
    const auto found = named(root, name, visibleOnly);
    return found.size() == 1 ? found.first() : nullptr;
}

// The first object named `name`.
inline QObject *one(QObject *root, const QString &name)
{
    return all(root, name).value(0);
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

// Presses a button that must be there and enabled.
inline void press(QQuickItem *button)
{
    QVERIFY(button && button->isEnabled());
    QMetaObject::invokeMethod(button, "clicked");
}

} // namespace ItemQuery
