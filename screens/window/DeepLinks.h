#pragma once
// The hand-over of opened "vexlink" links to the store window.

#include "screens/window/DeepLink.h"

#include <QList>
#include <QObject>
#include <QQmlEngine>
#include <QUrl>

// Collects links opened from outside (command line, a second launch, the platform's open-URL event) and, once the
// window is ready for them, hands each to the store's Navigator; links that arrive earlier wait in order.
class DeepLinks : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static DeepLinks *instance();
    static DeepLinks *create(QQmlEngine *, QJSEngine *);

    // Queue or deliver a link (any text; links that do not parse are dropped).
    void open(const QUrl &url);

    // The window calls this once it is ready for links; waiting links are delivered at once.
    Q_INVOKABLE void attach();

Q_SIGNALS:
    void linkOpened(const QUrl &url);

private:
    // An app link opens its detail; a section link closes any detail and shows the section.
    static void follow(const QUrl &url);
    // Not default-constructible, so QML takes the one instance from create().
    explicit DeepLinks(QObject *parent)
        : QObject(parent)
    { }
    bool m_attached = false;
    QList<QUrl> m_waiting;
};
