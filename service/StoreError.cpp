#include "service/StoreError.h"

using namespace Qt::StringLiterals;

QString StoreError::errorDescription() const
{
    switch (kind) {
    case Kind::server:
        return message;
    case Kind::badURL:
        return u"站点地址无效"_s;
    case Kind::network:
        return u"网络连接失败"_s;
    case Kind::unauthorized:
        return u"请先登录账户"_s;
    case Kind::needsSponsor:
        return u"需要赞助会员"_s;
    }
    return message;
}

QString StoreError::statusMessage(int status)
{
    return u"请求失败（%1）"_s.arg(status);
}
