#pragma once
// Links of the "vexlink" scheme: parsing into a target, and the hand-over of opened links to the store window.

#include <QList>
#include <QObject>
#include <QUrl>
#include <QVariantMap>
#include <QQmlEngine>

// What a link asks for: open an app's detail page, or show a section of the window.
struct DeepLinkTarget
{
    enum class Kind { none, app, section };
    Kind kind = Kind::none;
    QString argument; // the app's slug, or the section's case name ("discover", "top", ...)

    bool operator==(const DeepLinkTarget &) const = default;
};

// The section a link's name stands for; unknown names (also "discover", "categories") mean "discover".
[[nodiscard]] QString sectionForLinkName(const QString &name);

// vexlink://app/<slug> and vexlink://section/<name>; everything else is Kind::none.
[[nodiscard]] DeepLinkTarget parseDeepLink(const QUrl &url);

// Collects links opened from outside (command line, a second launch, the platform's open-URL event)
// and hands them to the window once it is ready for them; links that arrive earlier wait in order.
class DeepLinks : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static DeepLinks *instance();
    static DeepLinks *create(QQmlEngine *, QJSEngine *);

    // Queue or deliver a link (any text; links that do not parse are dropped by the window).
    void open(const QUrl &url);

    // The window calls this once it listens to linkOpened; waiting links are delivered at once.
    Q_INVOKABLE void attach();

    // {kind: "app" | "section" | "", argument: string} for QML.
    Q_INVOKABLE QVariantMap parse(const QUrl &url) const;

Q_SIGNALS:
    void linkOpened(const QUrl &url);

private:
    // Not default-constructible, so QML takes the one instance from create().
    explicit DeepLinks(QObject *parent)
        : QObject(parent)
    { }
    bool m_attached = false;
    QList<QUrl> m_waiting;
};
