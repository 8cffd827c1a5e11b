#pragma once
// Links of the "vexlink" scheme, parsed into what they ask for.

#include <QString>
#include <QUrl>

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
