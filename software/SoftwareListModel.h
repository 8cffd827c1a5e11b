#pragma once

#include "software/LocalApp.h"
#include "software/UpdateCheck.h"
#include "software/UpdateMatch.h"

#include <QAbstractListModel>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// The software manager page's list: the installed applications sorted by name for the user's locale, each with
// the newer version found for it: from the home payload's lists, else (when checkOnline) from the store's
// search or the developer's feed, with whether this Mac can run a store update. A scan runs on a worker
// thread; the previous list stays until its result arrives. The page creates one model and drops it when it
// is hidden.
class SoftwareListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool scanning READ scanning NOTIFY scanningChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The store's home payload (a storeHome, or undefined when none is loaded); it only sets the update markers.
    Q_PROPERTY(QVariant home READ home WRITE setHome NOTIFY homeChanged)
    // The folders to scan; empty means the page's own (the seeded samples off macOS).
    Q_PROPERTY(QStringList roots READ roots WRITE setRoots NOTIFY rootsChanged)
    Q_PROPERTY(bool sampleApps READ sampleApps CONSTANT)
    // Whether applications the home lists do not name are looked up on the network after each scan.
    Q_PROPERTY(bool checkOnline READ checkOnline WRITE setCheckOnline NOTIFY checkOnlineChanged)
    Q_PROPERTY(bool checking READ checking NOTIFY checkChanged)
    // The progress line while checking, then a note when the check could not ask about every application.
    Q_PROPERTY(QString checkText READ checkText NOTIFY checkChanged)

public:
    enum Role {
        AppRole = Qt::UserRole + 1,
        NameRole,
        VersionRole,
        BundlePathRole,
        BundleIdRole,
        SizeTextRole,
        StoreAppRole,
        HasUpdateRole,
        StoreVersionRole, // the newer version found, whatever its source
        UpdateSourceRole, // "store-home", "store-search", "developer"; empty without an update
        UpdateVerdictRole, // "compatible", "needsRosetta", "osTooOld", "intelUnsupported"
        UpdateRequiresRole, // what stops or qualifies a store update ("需要 macOS 14.0 以上"); empty when nothing
        UpdatePageRole, // the developer's page for a developer update
    };
    Q_ENUM(Role)

    explicit SoftwareListModel(QObject *parent = nullptr);
    ~SoftwareListModel() override;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] bool scanning() const { return m_scanning; }
    [[nodiscard]] int count() const { return static_cast<int>(m_apps.size()); }
    [[nodiscard]] QVariant home() const { return m_home; }
    void setHome(const QVariant &home);
    [[nodiscard]] QStringList roots() const { return m_roots; }
    void setRoots(const QStringList &roots);
    [[nodiscard]] static bool sampleApps();
    [[nodiscard]] const QList<LocalApp> &apps() const { return m_apps; }
    [[nodiscard]] bool checkOnline() const { return m_checkOnline; }
    void setCheckOnline(bool on);
    [[nodiscard]] bool checking() const { return m_check.running(); }
    [[nodiscard]] QString checkText() const;
    // The update found for a record, if any.
    [[nodiscard]] std::optional<UpdateOffer> offerFor(const LocalApp &app) const;

    // Starts a scan unless one is running.
    Q_INVOKABLE void scan();
    // Drops the records with this id at once (after a successful uninstall); no rescan.
    Q_INVOKABLE void remove(const QString &id);
    // The row's record, or an empty one.
    Q_INVOKABLE [[nodiscard]] LocalApp get(int row) const;
    // Bundle paths by application name, for recording where fetched apps ended up.
    Q_INVOKABLE [[nodiscard]] QVariantMap locations() const;
    // Opens a developer update's page in the browser.
    Q_INVOKABLE static void openPage(const QString &url);

    // Ascending by name in NameOrder (the locale's case-insensitive collation).
    static void sortByName(QList<LocalApp> &apps, const QLocale &locale = QLocale());

Q_SIGNALS:
    void scanningChanged();
    void countChanged();
    void homeChanged();
    void rootsChanged();
    void checkOnlineChanged();
    void checkChanged();
    // A scan's sorted result has replaced the list.
    void scanFinished();

private:
    void setScanning(bool scanning);
    void publish(QList<LocalApp> apps);
    void rebuildMatches();
    [[nodiscard]] std::optional<StoreApp> storeAppFor(const LocalApp &app) const;
    void startCheck();
    void offerArrived(const QString &appId);

    QList<LocalApp> m_apps;
    QVariant m_home;
    QHash<QString, StoreApp> m_storeTable;
    QStringList m_roots;
    bool m_scanning = false;
    bool m_checkOnline = false;
    UpdateCheck m_check;
    QFutureWatcher<QList<LocalApp>> m_watcher;
};
