#include "device/DeviceCheck.h"

#include <QJsonArray>
#include <QPointer>

#include <QCoro/QCoroTimer>

using namespace Qt::StringLiterals;

DeviceCheck::DeviceCheck(QObject *parent)
    : DeviceCheck(DiagnosticsConfig::forHost(), parent)
{ }

DeviceCheck::DeviceCheck(DiagnosticsConfig config, QObject *parent)
    : QObject(parent)
    , m_config(std::move(config))
{ }

const QList<DeviceCheck::Step> &DeviceCheck::steps()
{
    static const QList<Step> list{
        {u"identity"_s, u"整机信息"_s}, {u"battery"_s, u"电池"_s}, {u"storage"_s, u"存储"_s},
        {u"display"_s, u"显示屏"_s},    {u"io"_s, u"接口"_s},      {u"security"_s, u"安全状态"_s},
        {u"cross"_s, u"交叉校验"_s},
    };
    return list;
}

void DeviceCheck::runAll(bool forceRefresh)
{
    runAllTask(forceRefresh);
}

void DeviceCheck::finishStep(const QString &key)
{
    m_pending.removeAll(key);
    Q_EMIT changed();
    Q_EMIT stepFinished(key);
}

QCoro::Task<> DeviceCheck::runAllTask(bool forceRefresh)
{
    if (m_running)
        co_return;
    QPointer<DeviceCheck> self(this);
    m_running = true;
    m_started = true;
    m_sections.clear();
    m_checks.clear();
    m_issues.clear();
    m_score = 100;
    m_pending.clear();
    for (const Step &step : steps())
        m_pending << step.key;
    Q_EMIT changed();

    // Held by this frame, so the worker outlives every await even if the screen goes away.
    auto diagnostics = std::make_shared<Diagnostics>(m_config);
    if (forceRefresh)
        co_await diagnostics->clearPersistentCache();

    const DeviceIdentity identity = co_await diagnostics->identity();
    if (!self)
        co_return;
    m_identity = identity;
    finishStep(u"identity"_s);
    if (m_stepPause.count() > 0) {
        co_await QCoro::sleepFor(m_stepPause);
        if (!self)
            co_return;
    }

    using SectionStep = QCoro::Task<DeviceSection> (Diagnostics::*)();
    for (SectionStep step : {&Diagnostics::battery, &Diagnostics::storage, &Diagnostics::display, &Diagnostics::io}) {
        const DeviceSection section = co_await ((*diagnostics).*step)();
        if (!self)
            co_return;
        m_sections.append(section);
        finishStep(section.id);
    }
    const DeviceSection security = co_await diagnostics->security(identity);
    if (!self)
        co_return;
    m_sections.append(security);
    finishStep(security.id);

    const CrossCheckResult cross = co_await diagnostics->crossChecks(identity);
    if (!self)
        co_return;
    m_checks = cross.checks;
    m_issues = cross.issues;
    const DeviceSection *battery = nullptr;
    for (const DeviceSection &section : std::as_const(m_sections)) {
        if (section.id == u"battery")
            battery = &section;
    }
    m_score = DeviceRules::scoreFor(cross.penalty, battery);
    m_stats = co_await diagnostics->stats();
    if (!self)
        co_return;
    m_scannedAt = QDateTime::currentDateTime();
    m_running = false;
    finishStep(u"cross"_s);
    Q_EMIT finished();
}

void DeviceCheck::loadOsVersion()
{
    loadOsVersionTask();
}

QCoro::Task<> DeviceCheck::loadOsVersionTask()
{
    QPointer<DeviceCheck> self(this);
    auto diagnostics = std::make_shared<Diagnostics>(m_config);
    const QString version = co_await diagnostics->osVersion();
    if (!self)
        co_return;
    m_osVersion = version;
    Q_EMIT osVersionChanged();
}

QString DeviceCheck::verdict() const
{
    return DeviceRules::verdictFor(m_score);
}

QString DeviceCheck::pendingTitle() const
{
    for (const Step &step : steps()) {
        if (m_pending.contains(step.key))
            return step.title;
    }
    return {};
}

QString DeviceCheck::reportText() const
{
    if (!m_identity)
        return {};
    return DeviceRules::reportText(*m_identity, m_score, m_checks, m_sections, m_issues);
}

QVariant DeviceCheck::identityValue() const
{
    return m_identity ? QVariant::fromValue(*m_identity) : QVariant();
}

QVariantList DeviceCheck::sectionList() const
{
    QVariantList list;
    for (const DeviceSection &s : m_sections)
        list << QVariant::fromValue(s);
    return list;
}

QVariantList DeviceCheck::checkList() const
{
    QVariantList list;
    for (const CrossCheck &c : m_checks)
        list << QVariant::fromValue(c);
    return list;
}

QVariantList DeviceCheck::stepList() const
{
    QVariantList list;
    for (const Step &step : steps())
        list << QVariantMap{{u"key"_s, step.key}, {u"title"_s, step.title}};
    return list;
}

QJsonObject DeviceCheck::toJson() const
{
    QJsonArray sections;
    for (const DeviceSection &s : m_sections)
        sections.append(s.toJson());
    QJsonArray checks;
    for (const CrossCheck &c : m_checks)
        checks.append(c.toJson());
    QJsonObject json{
        {u"identity"_s, m_identity ? QJsonValue(m_identity->toJson()) : QJsonValue(QJsonValue::Null)},
        {u"sections"_s, sections},
        {u"checks"_s, checks},
        {u"issues"_s, QJsonArray::fromStringList(m_issues)},
        {u"score"_s, m_score},
        {u"verdict"_s, verdict()},
        {u"sampleData"_s, m_config.sampleData},
    };
    if (m_config.sampleData)
        json.insert(u"profile"_s, m_config.profile);
    return json;
}
