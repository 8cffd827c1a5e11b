// vexlink:// links as another program or a web page could send them: parsed from text and from encoded bytes.
#include "fuzz/FuzzSupport.h"
#include "screens/window/DeepLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw = Fuzz::bytes(data, size);
    for (const QUrl &url : {QUrl(QString::fromUtf8(raw)), QUrl::fromEncoded(raw)}) {
        const DeepLinkTarget target = parseDeepLink(url);
        if (target.kind == DeepLinkTarget::Kind::section)
            static_cast<void>(sectionForLinkName(target.argument));
    }
    static_cast<void>(sectionForLinkName(QString::fromUtf8(raw)));
    return 0;
}
