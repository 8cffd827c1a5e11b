#pragma once

#include "store/NewestReply.h"

#include <QObject>
#include <QQmlEngine>
#include <QQmlParserStatus>
#include <QVariantList>
#include <QtGlobal>
#include <QCoroTask>

// The category page's own list: the apps of one category, loaded from the store service whenever
// the category changes. A newer load supersedes an older one, whose reply is then dropped. A
// failed load leaves an empty list and sets `failed` until the next load (reload() retries).
class CategoryLoader : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    QML_ELEMENT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)
    Q_PROPERTY(QVariantList apps READ apps NOTIFY appsChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(bool failed READ failed NOTIFY failedChanged)

public:
    explicit CategoryLoader(QObject *parent = nullptr);

    [[nodiscard]] QString category() const { return m_category; }
    void setCategory(const QString &slug);
    [[nodiscard]] QVariantList apps() const { return m_apps; }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] bool failed() const { return m_failed; }

    Q_INVOKABLE void reload();
    QCoro::Task<void> loadTask();

    void classBegin() override { m_complete = false; }
    void componentComplete() override;

Q_SIGNALS:
    void categoryChanged();
    void appsChanged();
    void loadingChanged();
    void failedChanged();

private:
    void setApps(const QVariantList &apps);
    void setLoading(bool loading);
    void setFailed(bool failed);

    QString m_category;
    QVariantList m_apps;
    bool m_loading = false;
    bool m_failed = false;
    bool m_complete = true;
    NewestReply m_loads;
};
