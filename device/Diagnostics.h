#pragma once
// Diagnostics runs the tools of one device check on its own worker thread, one at a time, and hands each
// result back to the awaiting coroutine on the caller's thread. Create one per check: its memory cache lives
// exactly as long as the object; the file cache outlives it.

#include "device/DeviceRecords.h"
#include "device/DeviceRules.h"
#include "device/DiagnosticsEngine.h"

#include <QFuture>
#include <QPromise>
#include <QThread>

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTask>

#include <atomic>
#include <memory>

// Where a check gets its tools from.
struct DiagnosticsConfig
{
    ToolOptions tools;
    QString cacheDir; // empty: the per-user data folder + "VexloDiagnostics"
    bool sampleData = false; // the tools are stand-ins printing a sample Mac
    QString profile; // the stand-in profile when sampleData

    // The real tools on macOS; elsewhere the bundled stand-ins with the profile named by
    // VEXLO_STANDIN_PROFILE (default "healthy").
    [[nodiscard]] static DiagnosticsConfig forHost();
    // The bundled stand-ins with the given profile; none when the stand-ins or the profile are not found.
    [[nodiscard]] static std::optional<DiagnosticsConfig> forProfile(const QString &profile);
    // The folder holding "tools" and "profiles" of the stand-ins, or empty.
    [[nodiscard]] static QString standinsDir();
    [[nodiscard]] static QStringList profiles();
};

class Diagnostics
{
public:
    using Status = DeviceStatus;
    using Identity = DeviceIdentity;
    using Metric = DeviceMetric;
    using Section = DeviceSection;
    using CrossCheck = ::CrossCheck;
    using CapacityAudit = ::CapacityAudit;
    using DiskLayout = ::DiskLayout;

    explicit Diagnostics(DiagnosticsConfig config = DiagnosticsConfig::forHost());
    ~Diagnostics();
    Diagnostics(const Diagnostics &) = delete;
    Diagnostics &operator=(const Diagnostics &) = delete;

    [[nodiscard]] const DiagnosticsConfig &config() const { return m_config; }

    // Each returns a task that finishes with the worker's result. They are plain functions taking references
    // (not coroutines), so no argument is copied into a coroutine frame from the caller's co_await expression.
    QCoro::Task<QString> shell(const QString &commandLine);
    QCoro::Task<QString> cached(const QString &commandLine);
    QCoro::Task<QString> cachedStatic(const QString &commandLine);
    QCoro::Task<> clearPersistentCache();
    QCoro::Task<Identity> identity();
    QCoro::Task<DiskLayout> diskLayout();
    QCoro::Task<Section> battery();
    QCoro::Task<Section> storage();
    QCoro::Task<Section> display();
    QCoro::Task<Section> io();
    QCoro::Task<Section> security(const Identity &identity);
    QCoro::Task<CrossCheckResult> crossChecks(const Identity &identity);
    QCoro::Task<Section> management(const Identity &identity, bool checkFirmware);
    QCoro::Task<std::optional<Metric>> firmwareWithPrompt();
    QCoro::Task<QString> osVersion();
    QCoro::Task<ToolStats> stats();
    // Drops the work queued behind the job now running and kills the tool it runs: each of those tasks finishes
    // at once with an empty result. Any thread may call it.
    void skipQueued()
    {
        m_skipQueued = true;
        m_engine->stopTools();
    }
    // Finishes when the worker has done everything queued before it, so letting go of the object then does
    // not block on a running tool.
    QCoro::Task<> idle();

    [[nodiscard]] static std::optional<QString> field(const QString &text, const QString &key)
    {
        return DeviceRules::field(text, key);
    }
    [[nodiscard]] static std::optional<qint64> intField(const QString &text, const QString &key)
    {
        return DeviceRules::intField(text, key);
    }
    [[nodiscard]] static std::optional<double> parseToGB(const QString &text) { return DeviceRules::parseToGB(text); }
    [[nodiscard]] static const QHash<QString, OfficialSpec> &officialSpecs() { return DeviceRules::officialSpecs(); }
    [[nodiscard]] static CapacityAudit auditCapacity(const QString &modelNumber, std::optional<double> actualTotalGB,
                                                     const QString &actualMemory)
    {
        return DeviceRules::auditCapacity(modelNumber, actualTotalGB, actualMemory);
    }

private:
    template <typename T> static QCoro::Task<T> awaitFuture(QFuture<T> future)
    {
        if constexpr (std::is_void_v<T>) {
            co_await future;
        } else {
            co_return co_await future;
        }
    }

    template <typename Job> auto onWorker(Job job) { return awaitFuture(post(std::move(job))); }

    // Queues `job` on the worker thread; the future finishes with its result.
    template <typename Job> auto post(Job job) -> QFuture<std::invoke_result_t<Job, DiagnosticsEngine &>>
    {
        using Result = std::invoke_result_t<Job, DiagnosticsEngine &>;
        auto promise = std::make_shared<QPromise<Result>>();
        QFuture<Result> future = promise->future();
        promise->start();
        QMetaObject::invokeMethod(
            m_context,
            [promise, job = std::move(job), engine = m_engine.get(), skip = &m_skipQueued]() mutable {
                if constexpr (std::is_void_v<Result>) {
                    if (!skip->load())
                        job(*engine);
                } else {
                    promise->addResult(skip->load() ? Result{} : job(*engine));
                }
                promise->finish();
            },
            Qt::QueuedConnection);
        return future;
    }

    DiagnosticsConfig m_config;
    std::unique_ptr<DiagnosticsEngine> m_engine;
    QThread m_thread;
    std::atomic_bool m_skipQueued{false};
    QObject *m_context; // lives on m_thread, where jobs run in its event loop; deleted there when it finishes
};
