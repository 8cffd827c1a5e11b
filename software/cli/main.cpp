// vexlo-apps: the software manager's scan and update matching in a terminal.

#include "service/CatalogRecords.h"
#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/StoreAPI.h"
#include "software/ByteCount.h"
#include "software/Leftovers.h"
#include "software/SampleApps.h"
#include "software/SoftwareListModel.h"
#include "software/SoftwareScanner.h"
#include "software/UpdateCheck.h"
#include "software/UpdateMatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum Exit { ok = 0, usage = 2, unreachable = 3 };

struct Row
{
    LocalApp app;
    std::optional<UpdateOffer> offer;
};

QJsonObject rowJson(const Row &row)
{
    QJsonObject object{
        {u"name"_s, row.app.name()},       {u"version"_s, row.app.version()},     {u"bundleId"_s, row.app.bundleId()},
        {u"path"_s, row.app.bundlePath()}, {u"sizeBytes"_s, row.app.sizeBytes()}, {u"sizeText"_s, row.app.sizeLabel()},
    };
    if (!row.offer)
        return object;
    const UpdateOffer &offer = *row.offer;
    object.insert(u"source"_s, UpdateOffer::sourceKey(offer.source));
    if (offer.source == UpdateOffer::Source::developer) {
        object.insert(u"developerVersion"_s, offer.version);
        object.insert(u"page"_s, offer.page.toString());
    } else {
        object.insert(u"storeVersion"_s, offer.version);
        object.insert(u"storeSlug"_s, offer.storeApp.slug);
        object.insert(u"compatible"_s, offer.compatibility.offered());
        object.insert(u"requires"_s, offer.compatibility.requirement);
    }
    return object;
}

QString sourceText(UpdateOffer::Source source)
{
    switch (source) {
    case UpdateOffer::Source::storeHome:
        return u"商店首页"_s;
    case UpdateOffer::Source::storeSearch:
        return u"商店搜索"_s;
    case UpdateOffer::Source::developer:
        return u"开发者"_s;
    }
    return {};
}

// Columns as a terminal shows them: CJK characters take two cells.
int cells(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const char32_t u = c.unicode();
        width += (u >= 0x1100 &&
                  (u <= 0x115f || (u >= 0x2e80 && u <= 0xa4cf) || (u >= 0xac00 && u <= 0xd7a3) ||
                   (u >= 0xf900 && u <= 0xfaff) || (u >= 0xfe30 && u <= 0xfe4f) || (u >= 0xff00 && u <= 0xff60) ||
                   (u >= 0xffe0 && u <= 0xffe6)))
            ? 2
            : 1;
    }
    return width;
}

void printTable(QTextStream &out, const QStringList &header, const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QString &title : header)
        widths.append(cells(title));
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], cells(row[i]));
    }
    const auto line = [&](const QStringList &fields) {
        QString text;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            text += fields[i];
            if (i + 1 < fields.size())
                text += QString(widths[i] - cells(fields[i]) + 2, u' ');
        }
        out << text << u'\n';
    };
    line(header);
    for (const QStringList &row : rows)
        line(row);
}

QList<LocalApp> scanSorted(const QStringList &roots)
{
    QList<LocalApp> apps = SoftwareScanner::scan(roots);
    SoftwareListModel::sortByName(apps);
    return apps;
}

// The home lists first; every other application through the store's search, then its developer's feed.
QCoro::Task<QList<Row>> outdated(const QList<LocalApp> &apps, const StoreHome &home, QTextStream &err)
{
    const QHash<QString, StoreApp> table = UpdateMatch::storeTable(home);
    const ThisMac &mac = ThisMac::current();
    QList<Row> rows;
    QList<LocalApp> unmatched;
    for (const LocalApp &app : apps) {
        const auto store = UpdateMatch::match(table, app.name());
        if (!store)
            unmatched.append(app);
        else if (auto offer = UpdateOffer::fromStore(UpdateOffer::Source::storeHome, *store, app.version(), mac))
            rows.append({app, std::move(*offer)});
    }
    UpdateCheck check;
    check.start(unmatched, UpdateCheck::developerFeedsAllowed(), mac);
    if (check.running())
        co_await qCoro(&check, &UpdateCheck::finished);
    if (check.incomplete())
        err << u"注意：有的应用没能查询到（商店或开发者的服务器无法连接），结果可能不全。"_s << Qt::endl;
    for (const LocalApp &app : apps) {
        if (const auto offer = check.offers().constFind(app.id()); offer != check.offers().cend())
            rows.append({app, *offer});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [&apps](const Row &a, const Row &b) { return apps.indexOf(a.app) < apps.indexOf(b.app); });
    co_return rows;
}

int leftovers(const QString &bundle, const QString &library, bool json)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const SoftwareScanner::BundleInfo info = SoftwareScanner::readBundleInfo(bundle);
    const QString bundleId = info.bundleId.value_or(QString());
    const QString name = info.name.value_or(QFileInfo(bundle).completeBaseName());
    if (bundleId.isEmpty())
        err << u"注意：该应用没有标识（CFBundleIdentifier），只能按名称查找，结果都不默认勾选。"_s << Qt::endl;
    const QList<Leftovers::Item> items = Leftovers::find(library, bundleId, name);
    if (json) {
        QJsonArray array;
        for (const Leftovers::Item &item : items)
            array.append(QJsonObject{{u"path"_s, item.path},
                                     {u"sizeBytes"_s, item.sizeBytes},
                                     {u"match"_s, Leftovers::matchKey(item.match)}});
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return ok;
    }
    if (items.isEmpty()) {
        out << u"在 %1 中没有找到「%2」的残留文件。"_s.arg(library, name) << u'\n';
        return ok;
    }
    QList<QStringList> table;
    qsizetype checked = 0;
    for (const Leftovers::Item &item : items) {
        const bool byId = item.match == Leftovers::Match::bundleId;
        checked += byId ? 1 : 0;
        table.append(
            {byId ? u"✓"_s : u" "_s, byId ? u"标识"_s : u"可能相关"_s, fileByteCount(item.sizeBytes), item.path});
    }
    printTable(out, {u"勾选"_s, u"匹配"_s, u"大小"_s, u"路径"_s}, table);
    out << u"%1 项按标识匹配（默认勾选），%2 项只是名称相同（可能相关，不勾选）"_s.arg(checked).arg(items.size() -
                                                                                                    checked)
        << u'\n';
    return ok;
}

QCoro::Task<int> run(QCommandLineParser &parser, const QCommandLineOption &json, const QCommandLineOption &root)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = parser.positionalArguments().value(0);
    QStringList roots = parser.values(root);
    for (const QString &dir : std::as_const(roots)) {
        if (!QFileInfo(dir).isDir()) {
            err << u"文件夹不存在：%1"_s.arg(dir) << Qt::endl;
            co_return usage;
        }
    }
    if (roots.isEmpty()) {
        roots = SampleApps::pageRoots();
        if (SampleApps::inUse())
            err << u"注意：这不是 macOS，列出的是示例应用（%1）。"_s.arg(roots.join(u"、"_s)) << Qt::endl;
    }

    QList<Row> rows;
    if (command == u"list") {
        for (const LocalApp &app : scanSorted(roots))
            rows.append({app, std::nullopt});
    } else {
        const QString base = Endpoint::base();
        const ApiResult<StoreHome> home = co_await StoreAPI::get<StoreHome>(StoreAPI::homePath());
        if (!home.ok()) {
            const QString reason = home.error().kind == ApiError::Kind::decoding
                ? u"商店服务的回复无法解读（%1）"_s.arg(home.error().detail)
                : home.error().userMessage(u"无法连接"_s);
            err << u"无法读取商店目录：%1。\n站点地址：%2（可在设置中修改）"_s.arg(reason, base) << Qt::endl;
            co_return unreachable;
        }
        rows = co_await outdated(scanSorted(roots), home.value(), err);
    }

    if (parser.isSet(json)) {
        QJsonArray array;
        for (const Row &row : std::as_const(rows))
            array.append(rowJson(row));
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        co_return ok;
    }
    QList<QStringList> table;
    for (const Row &row : std::as_const(rows)) {
        QStringList fields{row.app.name(), row.app.version()};
        if (row.offer) {
            const QString requirement = row.offer->compatibility.requirement;
            fields << row.offer->version << sourceText(row.offer->source)
                   << (requirement.isEmpty() ? u"—"_s : requirement);
        }
        fields << row.app.sizeLabel() << row.app.bundleId() << row.app.bundlePath();
        table.append(fields);
    }
    if (command == u"list") {
        printTable(out, {u"名称"_s, u"版本"_s, u"大小"_s, u"标识"_s, u"路径"_s}, table);
        out << u"%1 个应用"_s.arg(rows.size()) << u'\n';
    } else if (rows.isEmpty()) {
        out << u"所有应用都是最新版本。"_s << u'\n';
    } else {
        printTable(out, {u"名称"_s, u"已装版本"_s, u"新版本"_s, u"来源"_s, u"要求"_s, u"大小"_s, u"标识"_s, u"路径"_s},
                   table);
        out << u"%1 个应用有新版"_s.arg(rows.size()) << u'\n';
    }
    co_return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"vexlo-apps"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"列出本机已装的应用，找出有新版的应用，或列出一个应用留在资源库里的文件。\n\n"
        "命令：\n"
        "  list             列出应用：名称、版本、大小、标识与路径，按名称排序（与软件管理页相同）。\n"
        "  outdated         列出有新版的应用：先对照商店首页的列表，其余按名称在商店搜索，\n"
        "                   商店没有的再读开发者的更新订阅（Info.plist 的 SUFeedURL，可在设置中关闭）。\n"
        "                   商店服务无法连接时报错并以 3 退出。\n"
        "  leftovers PATH   列出 PATH 这个应用留在资源库（~/Library）里的文件及其大小：\n"
        "                   以应用标识命名的默认勾选，只与显示名称相同的标为可能相关。只列出，不删除。\n\n"
        "默认扫描 /Applications 与 ~/Applications；在 macOS 以外扫描自带的示例应用与示例资源库。\n\n"
        "--json 输出一个 JSON 数组。list 与 outdated 每项的键为 name、version、bundleId、path、\n"
        "sizeBytes（整数，字节）、sizeText（页面上的大小文字）；outdated 另有 source（store-home、\n"
        "store-search 或 developer），商店的新版有 storeVersion、storeSlug、compatible（本机能否运行）\n"
        "与 requires（要求，如“需要 macOS 14.0 以上”，无要求时为空），开发者的新版有 developerVersion\n"
        "与 page（发行说明或下载页）。leftovers 每项的键为 path、sizeBytes 与 match（bundle-id 或 name）。\n\n"
        "退出码：0 成功，2 用法错误，3 商店服务无法连接。"_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"显示本帮助。"_s);
    const QCommandLineOption json(u"json"_s, u"以 JSON 输出。"_s);
    const QCommandLineOption root(u"root"_s, u"扫描此文件夹而不是默认文件夹；可重复。"_s, u"DIR"_s);
    const QCommandLineOption library(u"library"_s, u"leftovers 在此资源库文件夹中查找，而不是 ~/Library。"_s, u"DIR"_s);
    parser.addOptions({help, json, root, library});
    parser.addPositionalArgument(u"命令"_s, u"list、outdated 或 leftovers PATH"_s, u"list|outdated|leftovers PATH"_s);

    QTextStream err(stderr);
    QTextStream out(stdout);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << u"\n用法见 vexlo-apps --help"_s << Qt::endl;
        return usage;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return ok;
    }
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (command == u"leftovers") {
        if (args.size() != 2) {
            err << u"leftovers 需要一个应用路径，例如 vexlo-apps leftovers /Applications/Foo.app"_s << Qt::endl;
            return usage;
        }
        if (!QFileInfo(args[1]).isDir()) {
            err << u"找不到应用：%1"_s.arg(args[1]) << Qt::endl;
            return usage;
        }
        const QString dir = parser.isSet(library) ? parser.value(library) : Leftovers::userLibrary();
        if (!QFileInfo(dir).isDir()) {
            err << u"资源库文件夹不存在：%1"_s.arg(dir) << Qt::endl;
            return usage;
        }
        return leftovers(args[1], dir, parser.isSet(json));
    }
    if (args.size() != 1 || (command != u"list" && command != u"outdated")) {
        err << (args.isEmpty() ? u"缺少命令：list、outdated 或 leftovers。"_s
                               : u"未知命令“%1”：应为 list、outdated 或 leftovers。"_s.arg(args.join(u' ')))
            << u"\n用法见 vexlo-apps --help"_s << Qt::endl;
        return usage;
    }
    const int code = QCoro::waitFor(run(parser, json, root));
    if (args[0] == u"outdated") {
        // The finished request was handed to deleteLater inside the wait's own event loop. Let it go, then the
        // network manager, which stops its connection thread and waits for it, before the application ends.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete &sharedNetwork();
    }
    return code;
}
