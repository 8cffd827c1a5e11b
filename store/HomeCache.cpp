#include "store/HomeCache.h"

#include "service/Transport.h"
#include "store/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// The file: this line, the site address on a line of its own, then the reply body as it came.
constexpr QByteArrayView formatLine = "vexlo-home 1\n";

} // namespace

QString HomeCache::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/home.cache"_s;
}

void HomeCache::save(const QString &site, const QByteArray &body)
{
    if (body.size() > maxBytes)
        return;
    const QString file = path();
    QSaveFile out(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !out.open(QIODevice::WriteOnly)) {
        qCWarning(lcStore).noquote() << "home page not kept:" << out.errorString();
        return;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(formatLine.data(), formatLine.size());
    out.write(site.toUtf8() + '\n');
    out.write(body);
    if (!out.commit())
        qCWarning(lcStore).noquote() << "home page not kept:" << out.errorString();
}

std::optional<StoreHome> HomeCache::load(const QString &site)
{
    QFile in(path());
    if (!in.open(QIODevice::ReadOnly) || in.size() > maxBytes + 4096)
        return std::nullopt;
    const QByteArray bytes = in.readAll();
    const QByteArray siteLine = formatLine.toByteArray() + site.toUtf8() + '\n';
    if (!bytes.startsWith(siteLine))
        return std::nullopt;
    QString error;
    auto home = Transport::Decoder<StoreHome>::decode(bytes.sliced(siteLine.size()), &error);
    if (!home)
        qCInfo(lcStore).noquote() << "kept home page ignored:" << error;
    return home;
}
