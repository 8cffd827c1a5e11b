// Every record family of the store service, decoded from the same bytes: catalogue pages, detail, search,
// commerce, wallpapers, and free-form objects. Decoding may refuse the input; it must never crash.
#include "fuzz/FuzzSupport.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"
#include "service/Transport.h"

namespace {

template <typename... T> void decodeAll(const QByteArray &body)
{
    (static_cast<void>(Transport::decode<T>(body)), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = Fuzz::bytes(data, size);
    decodeAll<StoreSite, StoreStats, StoreMember, StoreCategory, StoreApp, StoreWallpaper, StorePlan, StoreReview,
              AppVersion, StoreDetail, StoreHome, AppListPage, SearchOther, SearchResult>(body);
    decodeAll<NetdiskLink, NetdiskPayload, LoginResult, WallpaperPayload, WallpaperDownload, CheckoutPayload,
              OrderSummary, OrderState, OrderStatusPayload, InstalledApp, JSONObject>(body);
    static_cast<void>(Transport::errorMessage(body, 500));
    return 0;
}
