#pragma once

#include "software/Leftovers.h"

#include <QAbstractListModel>
#include <QFutureWatcher>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The uninstall sheet's list of what the removed application left in the Library: found on a worker thread,
// bundle-identifier items checked and name-only items unchecked, and the checked ones moved to the Trash by
// the same rules and messages as the bundle.
class LeftoverList : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    // The Library searched; the user's own unless set.
    Q_PROPERTY(QString library READ library WRITE setLibrary NOTIFY libraryChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool searched READ searched NOTIFY busyChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int checkedCount READ checkedCount NOTIFY checkedChanged)
    // The checked items' total size as text.
    Q_PROPERTY(QString checkedSize READ checkedSize NOTIFY checkedChanged)
    // Why the last removal left items behind; empty when it did not.
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)

public:
    // FirstRelatedRole: the first of the possibly related items, under which their heading goes.
    enum Role { PathRole = Qt::UserRole + 1, PlaceRole, SizeTextRole, RelatedRole, CheckedRole, FirstRelatedRole };
    Q_ENUM(Role)

    explicit LeftoverList(QObject *parent = nullptr);
    ~LeftoverList() override;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QString library() const;
    void setLibrary(const QString &library);
    [[nodiscard]] bool busy() const { return m_busy; }
    [[nodiscard]] bool searched() const { return m_searched; }
    [[nodiscard]] int count() const { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] int checkedCount() const;
    [[nodiscard]] QString checkedSize() const;
    [[nodiscard]] QString error() const { return m_error; }

    // Looks for the application's items (replacing the list when done).
    Q_INVOKABLE void find(const QString &bundleId, const QString &displayName);
    Q_INVOKABLE void setChecked(int row, bool checked);
    // Moves the checked items to the Trash; emits removed() with how many went.
    Q_INVOKABLE void moveCheckedToTrash();

Q_SIGNALS:
    void libraryChanged();
    void busyChanged();
    void countChanged();
    void checkedChanged();
    void errorChanged();
    void removed(int moved);

private:
    struct Row
    {
        Leftovers::Item item;
        bool checked = false;
    };
    struct Failure
    {
        QString path;
        QString reason;
    };
    void setBusy(bool busy);
    void setError(const QString &error);
    void publish(const QList<Leftovers::Item> &items);
    void removalDone(const QList<Failure> &failures);

    QList<Row> m_rows;
    QString m_library;
    QString m_error;
    bool m_busy = false;
    bool m_searched = false;
    QFutureWatcher<QList<Leftovers::Item>> m_finding;
    QFutureWatcher<QList<Failure>> m_removing;
};
