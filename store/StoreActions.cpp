// The asynchronous actions of Store. Each one turns every failure into a property or a toast, resets its busy
// flag on every path, and checks after each suspension that the Store still exists.
#include "store/Store.h"

#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "store/Platform.h"
#include "store/WallpaperFile.h"

#include <QDir>
#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

const QString paidToast = u"支付成功，赞助已生效"_s;

} // namespace

QCoro::Task<> Store::bootstrapTask()
{
    QPointer<Store> self(this);
    setLoading(true);
    setError(std::nullopt);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setLoading(false);
    });

    auto result = co_await StoreAPI::get<StoreHome>(StoreAPI::homePath());
    if (!self)
        co_return;
    if (result.ok())
        setHome(std::move(result).take());
    else
        setError(result.error().userMessage(u"加载失败"_s));
}

QCoro::Task<> Store::openDetailTask(QString slug)
{
    QPointer<Store> self(this);
    setDetailLoading(true);
    setDetail(std::nullopt);
    setNetdiskLinks({});
    setNetdiskFor(std::nullopt);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setDetailLoading(false);
    });

    auto result = co_await StoreAPI::get<StoreDetail>(StoreAPI::detailPath(slug));
    if (!self)
        co_return;
    if (!result.ok()) {
        showToast(result.error().userMessage(u"无法加载应用详情"_s));
        co_return;
    }
    StoreDetail detail = std::move(result).take();
    const StoreApp app = detail.app;
    setDetail(std::move(detail));
    co_await loadNetdiskTask(app);
}

QCoro::Task<> Store::runSearchTask(QString text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        setSearchResults(std::nullopt);
        co_return;
    }
    QPointer<Store> self(this);
    setSearchBusy(true);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setSearchBusy(false);
    });

    auto result = co_await StoreAPI::get<SearchResult>(StoreAPI::searchPath(trimmed));
    if (!self)
        co_return;
    setSearchResults(result.ok() ? std::optional<SearchResult>(std::move(result).take()) : std::nullopt);
}

QCoro::Task<> Store::loadNetdiskTask(StoreApp app)
{
    const QString slug = app.slug;
    if (m_netdiskFor == slug)
        co_return;
    QPointer<Store> self(this);
    const quint64 generation = ++m_netdiskGeneration;
    setNetdiskBusy(true);
    setNetdiskFor(slug);
    // A later load owns the flag; an earlier one finishing must not hide its spinner.
    auto idle = qScopeGuard([self, generation] {
        if (self && self->m_netdiskGeneration == generation)
            self->setNetdiskBusy(false);
    });

    auto result = co_await StoreAPI::netdisk(slug);
    if (!self)
        co_return;
    // The page has moved on to another app (or a newer load of this one): these links are not for it.
    if (m_netdiskGeneration != generation || m_netdiskFor != slug)
        co_return;
    if (result.ok()) {
        setNetdiskLinks(std::move(result).take().links);
    } else {
        setNetdiskLinks({});
        showToast(result.error().userMessage(u"获取网盘链接失败"_s));
    }
}

QCoro::Task<> Store::startCheckoutTask(StorePlan plan, QString payType, QString gateway)
{
    co_await startCheckoutTask(plan.id, std::move(payType), std::move(gateway));
}

QCoro::Task<> Store::startCheckoutTask(int planId, QString payType, QString gateway)
{
    QPointer<Store> self(this);
    setCheckoutBusy(true);
    setCheckoutError(std::nullopt);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setCheckoutBusy(false);
    });

    auto result = co_await StoreAPI2::checkout(planId, payType, gateway);
    if (!self)
        co_return;
    if (result.ok())
        setCheckout(std::move(result).take());
    else if (result.error().is(StoreError::Kind::unauthorized))
        setShowLogin(true);
    else
        setCheckoutError(result.error().userMessage(u"下单失败"_s));
}

QCoro::Task<> Store::pollCheckoutTask()
{
    if (!m_checkout)
        co_return;
    QPointer<Store> self(this);
    auto result = co_await StoreAPI2::orderStatus(m_checkout->orderNo);
    if (!self || !result.ok())
        co_return;
    const auto &order = result.value().order;
    if (!order || order->status != u"paid"_s)
        co_return;
    showToast(paidToast);
    setCheckout(std::nullopt);
    co_await bootstrapTask();
    if (!self)
        co_return;
    co_await loadAccountTask();
}

QCoro::Task<> Store::mockPayTask()
{
    if (!m_checkout)
        co_return;
    QPointer<Store> self(this);
    setCheckoutBusy(true);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setCheckoutBusy(false);
    });

    auto result = co_await StoreAPI2::mockPay(m_checkout->orderNo);
    if (!self)
        co_return;
    if (!result.ok()) {
        setCheckoutError(result.error().userMessage(u"模拟支付失败"_s));
        co_return;
    }
    showToast(paidToast);
    setCheckout(std::nullopt);
    co_await bootstrapTask();
    if (!self)
        co_return;
    co_await loadAccountTask();
}

QCoro::Task<> Store::loadAccountTask()
{
    if (!member()) {
        setOrders({});
        co_return;
    }
    QPointer<Store> self(this);
    auto result = co_await StoreAPI2::account();
    if (self && result.ok())
        setOrders(std::move(result).take().orders);
}

QCoro::Task<> Store::downloadWallpaperTask(StoreWallpaper wallpaper, bool full)
{
    if (m_wallpaperBusy)
        co_return;
    const QString slug = wallpaper.slug;
    QPointer<Store> self(this);
    setWallpaperBusy(slug);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setWallpaperBusy(std::nullopt);
    });

    // The slug becomes part of a file name: anything that could leave the folder is refused before any request.
    if (!isPlainFileName(slug)) {
        showToast(u"下载失败"_s);
        co_return;
    }

    auto reply = co_await StoreAPI2::wallpaperDownload(slug, full);
    if (!self)
        co_return;
    if (!reply.ok()) {
        reportWallpaperFailure(reply.error());
        co_return;
    }
    const WallpaperDownload download = std::move(reply).take();
    const auto url = download.path ? Endpoint::url(*download.path) : std::nullopt;
    if (!url) {
        showToast(u"下载地址无效"_s);
        co_return;
    }

    const QString target = QDir(Platform::instance().picturesFolder()).filePath(u"Vexlo-"_s + slug + u".jpg"_s);
    const FileFetch fetched = co_await fetchToFile(*url, target);
    if (!self)
        co_return;
    switch (fetched) {
    case FileFetch::saved:
        showToast(u"已保存 "_s + download.resolution.value_or(QString()) + u" 到「图片」"_s);
        Platform::instance().revealFile(target);
        break;
    case FileFetch::badStatus:
        showToast(u"原图下载失败"_s);
        break;
    case FileFetch::failed:
        showToast(u"下载失败"_s);
        break;
    }
}

void Store::reportWallpaperFailure(const ApiError &error)
{
    if (error.is(StoreError::Kind::needsSponsor)) {
        showToast(u"5K 原图需要赞助会员"_s);
        setSection(Section::member);
        return;
    }
    showToast(error.userMessage(u"下载失败"_s));
}
