#pragma once

#include "software/LocalApp.h"

#include <QFuture>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Outcome of removing an application: ok, or a Chinese message saying why not and what to do instead.
class UninstallResult
{
    Q_GADGET
    QML_VALUE_TYPE(uninstallResult)
    Q_PROPERTY(bool ok READ isOk CONSTANT)
    Q_PROPERTY(QString reason READ reasonText CONSTANT)

public:
    bool ok = false;
    std::optional<QString> reason; // absent exactly when ok

    [[nodiscard]] bool isOk() const { return ok; }
    [[nodiscard]] QString reasonText() const { return reason.value_or(QString()); }

    friend bool operator==(const UninstallResult &, const UninstallResult &) = default;
};

Q_DECLARE_METATYPE(UninstallResult)

// Finds the application bundles installed on this machine, reads their names and versions, measures them and
// moves them to the Trash. Stateless: every call may run on any thread, in parallel with others.
namespace SoftwareScanner {

struct BundleInfo
{
    std::optional<QString> name;
    std::optional<QString> version;
    std::optional<QString> bundleId;
};

// "/Applications", then "Applications" in the given home folder (the user's by default).
[[nodiscard]] QStringList defaultRoots(const QString &home = {});

// A leading "~" (alone or before "/") replaced by home; the result is a clean path.
[[nodiscard]] QString expandTilde(const QString &path, const QString &home);

// Every "*.app" entry directly inside the roots, in root order; sizes are measured on the worker pool.
// Blocks for the whole walk: never call it on the GUI thread. Unreadable or missing roots are skipped.
[[nodiscard]] QList<LocalApp> scan();
[[nodiscard]] QList<LocalApp> scan(const QStringList &roots);

// The same scan on a background thread; the GUI awaits it (co_await works on a QFuture).
[[nodiscard]] QFuture<QList<LocalApp>> scanInBackground(const QStringList &roots = defaultRoots());

// Display name, version and identifier from the bundle's Contents/Info.plist (XML or binary); a key whose
// value is not a string counts as absent.
[[nodiscard]] BundleInfo readBundleInfo(const QString &bundlePath);

// Sum of the byte sizes of every item below path (files, folders by their own entry, links by their own
// size, never followed). Items that cannot be read are left out; 0 when path cannot be opened as a folder.
[[nodiscard]] qint64 directorySize(const QString &path);

// Checks that the bundle may be removed and moves it to the Trash. uninstallNow blocks; uninstall runs it on
// the worker pool.
[[nodiscard]] UninstallResult uninstallNow(const QString &path);
[[nodiscard]] QFuture<UninstallResult> uninstall(const QString &path);

} // namespace SoftwareScanner
