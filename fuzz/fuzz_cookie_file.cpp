// The cookie file a previous run left behind, loaded by the jar at start-up and then used for a request.
#include "fuzz/FuzzSupport.h"
#include "service/CookieJar.h"

#include <QNetworkCookie>
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::ensureApplication();
    static const QString path = Fuzz::scratchDir() + QStringLiteral("/cookies.json");
    Fuzz::writeFile(path, Fuzz::bytes(data, size));
    PersistentCookieJar jar(path);
    for (const QNetworkCookie &cookie : jar.cookiesForUrl(QUrl(QStringLiteral("http://127.0.0.1:4812/api/store/home"))))
        static_cast<void>(cookie.toRawForm());
    return 0;
}
