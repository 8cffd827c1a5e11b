#include "device/DeviceCheck.h"

#include "device/DeviceTraps.h"
#include "device/Logging.h"
#include "device/ShareCard.h"

#include <QClipboard>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QJsonArray>
#include <QPointer>

#include <QCoro/QCoroTimer>

#include <array>

using namespace Qt::StringLiterals;

DeviceCheck::DeviceCheck(QObject *parent)
    : DeviceCheck(DiagnosticsConfig::forHost(), parent)
{ }

DeviceCheck::DeviceCheck(DiagnosticsConfig config, QObject *parent)
    : QObject(parent)
    , m_config(std::move(config))
{ }

DeviceCheck::~DeviceCheck()
{
    // The run notices only at its next step; the tools queued for it need not wait for that.
    if (const auto run = m_run.lock())
        run->skipQueued();
}

const QList<DeviceCheck::Step> &DeviceCheck::steps()
{
    static const QList<Step> list{
        {u"identity"_s, u"整机信息"_s},   {u"battery"_s, u"电池"_s},   {u"storage"_s, u"存储"_s},
        {u"display"_s, u"显示屏"_s},      {u"io"_s, u"接口"_s},        {u"security"_s, u"安全状态"_s},
        {u"management"_s, u"远程管理"_s}, {u"cross"_s, u"交叉校验"_s},
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
    Q_EMIT cellsChanged();
    Q_EMIT stepFinished(key);
}

namespace {

// Lets go of the worker of a run whose check is gone: the jobs queued behind the running one are skipped, and
// the worker is released once it is idle, so this thread never waits for a running tool.
QCoro::Task<> release(std::shared_ptr<Diagnostics> diagnostics)
{
    diagnostics->skipQueued();
    co_await diagnostics->idle();
}

} // namespace

QCoro::Task<> DeviceCheck::runAllTask(bool forceRefresh)
{
    if (m_running)
        co_return;
    QPointer<DeviceCheck> self(this);
    m_running = true;
    m_started = true;
    m_sections.clear();
    m_sectionModel.clear();
    m_checks.clear();
    m_issues.clear();
    m_score = 100;
    m_historyPath.clear();
    m_pending.clear();
    for (const Step &step : steps())
        m_pending << step.key;
    Q_EMIT changed();

    // Every step is queued on the worker up front, so it runs the tools back to back (still one at a time)
    // while this thread shows each result as it arrives; the worker never waits for the page to draw.
    // The steps that need the identity are queued as soon as it is known, still behind the sections. The
    // worker is held by this frame, so it outlives every await even if the screen goes away.
    auto diagnostics = std::make_shared<Diagnostics>(m_config);
    m_run = diagnostics;
    std::optional<QCoro::Task<>> cleared;
    if (forceRefresh)
        cleared = diagnostics->clearPersistentCache();
    QCoro::Task<DeviceIdentity> identityStep = diagnostics->identity();
    std::array<QCoro::Task<DeviceSection>, 4> sectionSteps{diagnostics->battery(), diagnostics->storage(),
                                                           diagnostics->display(), diagnostics->io()};

    const DeviceIdentity identity = co_await identityStep;
    if (!self) {
        release(diagnostics);
        co_return;
    }
    QCoro::Task<DeviceSection> securityStep = diagnostics->security(identity);
    QCoro::Task<DeviceSection> managementStep = diagnostics->management(identity, m_checkFirmwareDuringRun);
    QCoro::Task<CrossCheckResult> crossStep = diagnostics->crossChecks(identity);
    QCoro::Task<ToolStats> statsStep = diagnostics->stats();
    m_identity = identity;
    finishStep(u"identity"_s);
    if (m_stepPause.count() > 0) {
        co_await QCoro::sleepFor(m_stepPause);
        if (!self) {
            release(diagnostics);
            co_return;
        }
    }

    for (QCoro::Task<DeviceSection> *step :
         {&sectionSteps[0], &sectionSteps[1], &sectionSteps[2], &sectionSteps[3], &securityStep, &managementStep}) {
        const DeviceSection section = co_await *step;
        if (!self) {
            release(diagnostics);
            co_return;
        }
        m_sections.append(section);
        m_sectionModel.append(section);
        finishStep(section.id);
    }

    const CrossCheckResult cross = co_await crossStep;
    if (!self) {
        release(diagnostics);
        co_return;
    }
    m_baseCross = cross;
    applyTraps();
    m_stats = co_await statsStep;
    if (!self)
        co_return;
    m_scannedAt = QDateTime::currentDateTime();
    m_running = false;
    keepInHistory();
    finishStep(u"cross"_s);
    Q_EMIT finished();
    if (std::exchange(m_rerun, false))
        runAll(false);
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
    Q_EMIT cellsChanged();
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
    return DeviceRules::reportText(*m_identity, m_score, m_checks, m_sections, m_issues,
                                   DeviceSummary::handsOnLines(m_handsOn));
}

bool DeviceCheck::copyReport() const
{
    if (!m_identity)
        return false;
    if (QClipboard *clipboard =
            qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr) {
        clipboard->clear();
        clipboard->setText(reportText());
    }
    return true;
}

void DeviceCheck::setAnswer(const QString &key, const QString &answer, int keysSeen, int keysTotal)
{
    if (key == u"screen") {
        m_handsOn.screen = answer;
    } else if (key == u"keyboard") {
        m_handsOn.keyboard = answer;
        m_handsOn.keysSeen = keysSeen;
        m_handsOn.keysTotal = keysTotal;
    } else if (key == u"speakerLeft") {
        m_handsOn.speakerLeft = answer;
    } else if (key == u"speakerRight") {
        m_handsOn.speakerRight = answer;
    } else {
        return;
    }
    Q_EMIT handsOnChanged();
}

QString DeviceCheck::profileTitle(const QString &profile)
{
    static const QHash<QString, QString> titles{
        {u"healthy"_s, u"MacBook Air（状态良好）"_s},
        {u"intel-desktop"_s, u"Mac mini（Intel 台式机）"_s},
        {u"tampered"_s, u"MacBook Pro（改装过）"_s},
        {u"company"_s, u"MacBook Pro（公司登记，Intel）"_s},
    };
    return titles.value(profile, profile);
}

QStringList DeviceCheck::profiles() const
{
    return m_config.sampleData ? DiagnosticsConfig::profiles() : QStringList();
}

void DeviceCheck::setProfile(const QString &profile)
{
    if (!m_config.sampleData || profile == m_config.profile)
        return;
    auto config = DiagnosticsConfig::forProfile(profile);
    if (!config)
        return;
    // A cache folder of the caller's choosing gets one subfolder per sample Mac, like the default one.
    if (!m_config.cacheDir.isEmpty()) {
        QString base = m_config.cacheDir;
        if (base.endsWith(u'/' + m_config.profile))
            base.chop(m_config.profile.size() + 1);
        config->cacheDir = base + u'/' + profile;
    }
    config->tools.environment.insert(m_config.tools.environment);
    config->tools.environment.insert(u"VEXLO_STANDIN_PROFILE"_s, profile);
    m_config = *config;
    Q_EMIT profileChanged();
    if (m_running)
        m_rerun = true;
    else if (m_started)
        runAll(false);
}

const DeviceSection *DeviceCheck::section(QStringView id) const
{
    for (const DeviceSection &s : m_sections) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

QString DeviceCheck::statusText() const
{
    if (m_running)
        return u"正在读取 "_s + pendingTitle();
    return m_started ? u"检测完成"_s : u"未开始"_s;
}

QString DeviceCheck::progressText() const
{
    if (!m_running || m_sections.size() >= 6)
        return {};
    for (const Step &step : steps()) {
        if (step.key != u"identity" && m_pending.contains(step.key))
            return u"正在读取 "_s + step.title + u"…"_s;
    }
    return {};
}

QString DeviceCheck::deviceKind() const
{
    const QString name = m_identity ? m_identity->modelName : QString();
    if (name.startsWith(u"iMac"_s))
        return u"allInOne"_s;
    if (DeviceRules::isDesktop(name))
        return u"desktop"_s;
    return u"laptop"_s;
}

QString DeviceCheck::footerText() const
{
    if (!m_scannedAt.isValid())
        return {};
    return u"检测于 "_s + m_scannedAt.toString(u"yyyy-MM-dd HH:mm"_s) + u" · 序列号 "_s +
        (m_identity ? m_identity->serial : kMissing);
}

void DeviceCheck::setShowAll(bool showAll)
{
    if (m_showAll == showAll)
        return;
    m_showAll = showAll;
    Q_EMIT showAllChanged();
    Q_EMIT cellsChanged();
}

QVariantList DeviceCheck::cells() const
{
    if (!m_identity)
        return {};
    QList<DeviceSummary::Cell> all = DeviceSummary::identityCells(*m_identity, m_osVersion, m_sections, m_checks);
    if (!m_showAll)
        all = DeviceSummary::collapsedCells(all);
    QVariantList list;
    for (const DeviceSummary::Cell &cell : all)
        list << QVariant::fromValue(cell);
    return list;
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
    if (!m_caseSerial.isEmpty())
        json.insert(u"caseSerial"_s, m_caseSerial);
    return json;
}

void DeviceCheck::applyTraps()
{
    if (!m_identity)
        return;
    const CrossCheckResult traps = DeviceTraps::trapChecks(*m_identity, m_sections, m_caseSerial);
    m_checks = m_baseCross.checks + traps.checks;
    m_issues = m_baseCross.issues + traps.issues;
    m_score = DeviceRules::scoreFor(m_baseCross.penalty + traps.penalty, section(u"battery"));
}

void DeviceCheck::setCaseSerial(const QString &serial)
{
    const QString typed = serial.trimmed();
    if (typed == m_caseSerial)
        return;
    m_caseSerial = typed;
    Q_EMIT caseSerialChanged();
    if (m_running || !m_scannedAt.isValid())
        return;
    applyTraps();
    keepInHistory();
    Q_EMIT changed();
    Q_EMIT cellsChanged();
}

QVariant DeviceCheck::caseSerialCheck() const
{
    for (const CrossCheck &c : m_checks) {
        if (c.label == u"机身序列号核对")
            return QVariant::fromValue(c);
    }
    return {};
}

bool DeviceCheck::firmwareCheckable() const
{
    const DeviceSection *management = section(u"management");
    const DeviceMetric *firmware = management ? management->metric(u"firmwarepw"_s) : nullptr;
    return !m_running && !m_firmwareChecking && firmware &&
        (firmware->value == u"未检查" || firmware->value == u"无法读取");
}

void DeviceCheck::checkFirmware()
{
    checkFirmwareTask();
}

QCoro::Task<> DeviceCheck::checkFirmwareTask()
{
    if (!firmwareCheckable())
        co_return;
    QPointer<DeviceCheck> self(this);
    m_firmwareChecking = true;
    Q_EMIT changed();
    auto diagnostics = std::make_shared<Diagnostics>(m_config);
    const std::optional<DeviceMetric> firmware = co_await diagnostics->firmwareWithPrompt();
    if (!self)
        co_return;
    m_firmwareChecking = false;
    // A run started meanwhile reads the management section anew; this answer belongs to the one before.
    if (!firmware || m_running) {
        Q_EMIT changed();
        if (!firmware) {
            qCWarning(lcDevice) << "the firmware password was not read: the prompt was cancelled or refused";
            Q_EMIT firmwareNotRead();
        }
        co_return;
    }
    for (DeviceSection &s : m_sections) {
        if (s.id != u"management")
            continue;
        for (DeviceMetric &m : s.metrics) {
            if (m.key == u"firmwarepw")
                m = *firmware;
        }
        m_sectionModel.replace(s);
    }
    applyTraps();
    keepInHistory();
    Q_EMIT changed();
    Q_EMIT cellsChanged();
}

void DeviceCheck::setHistoryFolder(const QString &folder)
{
    m_keepHistory = !folder.isEmpty();
    if (m_keepHistory)
        m_history = DeviceHistory(folder);
}

void DeviceCheck::keepInHistory()
{
    if (!m_keepHistory || !m_identity || !m_scannedAt.isValid())
        return;
    QJsonObject record = toJson();
    record.insert(u"checkedAt"_s, m_scannedAt.toUTC().toString(Qt::ISODateWithMs));
    const QString saved = m_history.save(record, m_historyPath);
    if (!saved.isEmpty())
        m_historyPath = saved;
    const QString comparedPath = m_comparedRow >= 0 && m_comparedRow < m_historyModel.entries().size()
        ? m_historyModel.entries().at(m_comparedRow).path
        : QString();
    m_historyModel.reset(m_history.earlier(record, m_historyPath), m_identity->serial);
    m_comparedRow = -1;
    for (qsizetype row = 0; row < m_historyModel.entries().size(); ++row) {
        if (m_historyModel.entries().at(row).path == comparedPath)
            m_comparedRow = int(row);
    }
    compareWith(m_comparedRow);
}

void DeviceCheck::compareWith(int row)
{
    m_changes.clear();
    m_comparedRow = -1;
    if (row >= 0 && row < m_historyModel.entries().size() && m_identity) {
        if (const auto before = DeviceHistory::load(m_historyModel.entries().at(row).path)) {
            m_comparedRow = row;
            m_changes = DeviceHistory::compare(*before, toJson());
        }
    }
    Q_EMIT historyChanged();
}

QVariantList DeviceCheck::historyChanges() const
{
    QVariantList list;
    for (const HistoryChange &change : m_changes)
        list << QVariant::fromValue(change);
    return list;
}

QImage DeviceCheck::cardImage() const
{
    if (!m_identity)
        return {};
    return ShareCard::render(
        ShareCard::layout(ShareCard::factsFrom(*m_identity, m_sections, m_checks, m_score, m_scannedAt)));
}

QString DeviceCheck::exportImage()
{
    if (!m_identity || m_running)
        return {};
    const QImage image = cardImage();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString stamp =
        (m_scannedAt.isValid() ? m_scannedAt : QDateTime::currentDateTime()).toString(u"yyyyMMdd-HHmmss"_s);
    const QString path = folder + u"/Vexlo-check-"_s + stamp + u".png"_s;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        qCWarning(lcDevice).noquote() << "the report picture was not saved in" << folder << ':' << file.errorString();
        return {};
    }
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setImage(image);
    m_exportedImage = path;
    Q_EMIT exportedImageChanged();
    return path;
}
