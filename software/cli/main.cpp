// vexlo-apps: the software manager's scan and update matching in a terminal.

#include "service/CatalogRecords.h"
#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/StoreAPI.h"
#include "software/SampleApps.h"
#include "software/SoftwareListModel.h"
#include "software/SoftwareScanner.h"
#include "software/UpdateMatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <QCoro/QCoroTask>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum Exit { ok = 0, usage = 2, unreachable = 3 };

struct Row
{
    LocalApp app;
    std::optional<StoreApp> store;
};

QJsonObject rowJson(const Row &row)
{
    QJsonObject object{
        {u"name"_s, row.app.name()},       {u"version"_s, row.app.version()},     {u"bundleId"_s, row.app.bundleId()},
        {u"path"_s, row.app.bundlePath()}, {u"sizeBytes"_s, row.app.sizeBytes()}, {u"sizeText"_s, row.app.sizeLabel()},
    };
    if (row.store) {
        object.insert(u"storeVersion"_s, row.store->version);
        object.insert(u"storeSlug"_s, row.store->slug);
    }
    return object;
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
        const QHash<QString, StoreApp> table = UpdateMatch::storeTable(home.value());
        for (const LocalApp &app : scanSorted(roots)) {
            const auto store = UpdateMatch::match(table, app.name());
            if (store && UpdateMatch::isNewer(store->version, app.version()))
                rows.append({app, store});
        }
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
        if (row.store)
            fields << row.store->version;
        fields << row.app.sizeLabel() << row.app.bundleId() << row.app.bundlePath();
        table.append(fields);
    }
    if (command == u"list") {
        printTable(out, {u"名称"_s, u"版本"_s, u"大小"_s, u"标识"_s, u"路径"_s}, table);
        out << u"%1 个应用"_s.arg(rows.size()) << u'\n';
    } else if (rows.isEmpty()) {
        out << u"所有应用都是最新版本。"_s << u'\n';
    } else {
        printTable(out, {u"名称"_s, u"已装版本"_s, u"商店版本"_s, u"大小"_s, u"标识"_s, u"路径"_s}, table);
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
        u"列出本机已装的应用，或找出商店里有新版的应用。\n\n"
        "命令：\n"
        "  list       列出应用：名称、版本、大小、标识与路径，按名称排序（与软件管理页相同）。\n"
        "  outdated   从设置中的站点地址读取商店目录，列出商店有新版的应用及其商店版本。\n"
        "             商店服务无法连接时报错并以 3 退出。\n\n"
        "默认扫描 /Applications 与 ~/Applications；在 macOS 以外扫描自带的示例应用。\n\n"
        "--json 输出一个 JSON 数组，每项的键为 name、version、bundleId、path、sizeBytes（整数，字节）、\n"
        "sizeText（页面上的大小文字）；outdated 另有 storeVersion 与 storeSlug。\n\n"
        "退出码：0 成功，2 用法错误，3 商店服务无法连接。"_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"显示本帮助。"_s);
    const QCommandLineOption json(u"json"_s, u"以 JSON 输出。"_s);
    const QCommandLineOption root(u"root"_s, u"扫描此文件夹而不是默认文件夹；可重复。"_s, u"DIR"_s);
    parser.addOptions({help, json, root});
    parser.addPositionalArgument(u"命令"_s, u"list 或 outdated"_s, u"list|outdated"_s);

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
    if (args.size() != 1 || (args[0] != u"list" && args[0] != u"outdated")) {
        err << (args.isEmpty() ? u"缺少命令：list 或 outdated。"_s
                               : u"未知命令“%1”：应为 list 或 outdated。"_s.arg(args.join(u' ')))
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
