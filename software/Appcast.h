#pragma once

#include "software/ThisMac.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <QCoro/QCoroTask>

#include <optional>

// A developer's update feed (an RSS "appcast"): its items carry sparkle:shortVersionString, sparkle:version and
// sparkle:minimumSystemVersion, on the item or its enclosure, and a release-notes or web page. Only read:
// nothing is ever downloaded or run from it.
namespace Appcast {

struct Release
{
    QString shortVersion; // shown to people; may be empty
    QString version; // the build number compared with CFBundleVersion; may be empty
    QString minimumSystemVersion;
    QUrl page; // release notes, else the item's or the channel's web page (http or https); may be empty

    // The version people see: the short version, else the build.
    [[nodiscard]] QString shownVersion() const { return shortVersion.isEmpty() ? version : shortVersion; }
    friend bool operator==(const Release &, const Release &) = default;
};

// What the installed bundle says about itself and where its feed is (Info.plist SUFeedURL).
struct Installed
{
    QString shortVersion; // CFBundleShortVersionString
    QString version; // CFBundleVersion
    QString feedUrl; // SUFeedURL
};

// The keys of the bundle's Info.plist the feed check needs; empty strings when absent.
[[nodiscard]] Installed readInstalled(const QString &bundlePath);

// The newest release of the default channel that this Mac can run, or nothing for a feed that is not an
// appcast or has no such release.
[[nodiscard]] std::optional<Release> newest(const QByteArray &xml, const ThisMac &mac);

// Whether release is later than what is installed: build numbers when both sides have one, else the short
// versions.
[[nodiscard]] bool isNewer(const Release &release, const Installed &installed);

// The largest feed read; a longer one counts as a failure.
inline constexpr qint64 maxFeedBytes = 2 * 1024 * 1024;

// Reads a feed over http or https with the store's GET time-out, no cookies, at most maxFeedBytes. An error
// text when the address is not http(s), the transfer fails, the status is not 200 or the feed is too large.
struct Fetched
{
    QByteArray body;
    QString error; // empty on success
};
[[nodiscard]] QCoro::Task<Fetched> fetch(QUrl url);

} // namespace Appcast
