// Decoding a home payload of 1,000 apps into records, against a plain QJsonDocument parse of the same bytes.
#include "service/CatalogRecords.h"
#include "service/Transport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QJsonObject app(int i)
{
    const QString slug = u"app-%1"_s.arg(i);
    return QJsonObject{{u"slug"_s, slug},
                       {u"name"_s, u"应用 %1"_s.arg(i)},
                       {u"tagline"_s, u"一句话介绍这个应用的用途"_s},
                       {u"glyph"_s, u"terminal"_s},
                       {u"accent"_s, u"#0A84FF"_s},
                       {u"accent2"_s, u"#5E5CE6"_s},
                       {u"version"_s, u"1.%1.0"_s.arg(i % 20)},
                       {u"size"_s, u"24 MB"_s},
                       {u"minOs"_s, u"13.0"_s},
                       {u"arch"_s, i % 2 ? u"arm64"_s : u"x64"_s},
                       {u"isFree"_s, i % 3 == 0},
                       {u"license"_s, u"免费"_s},
                       {u"price"_s, i % 3 ? 19.9 : 0},
                       {u"rating"_s, 4.5},
                       {u"ratingCount"_s, i * 3},
                       {u"downloads"_s, i * 101},
                       {u"categoryName"_s, u"开发工具"_s},
                       {u"categorySlug"_s, u"dev"_s},
                       {u"staffPick"_s, i % 7 == 0},
                       {u"editorsChoice"_s, false},
                       {u"featured"_s, i % 10 == 0},
                       {u"tags"_s, QJsonArray{u"开发"_s, u"终端"_s}},
                       {u"features"_s, QJsonArray{u"快速启动"_s, u"轻量"_s, u"原生"_s}},
                       {u"description"_s, u"这是一段较长的应用描述，介绍功能、特点与使用场景。"_s.repeated(4)},
                       {u"homepage"_s, u"https://example.com/"_s + slug},
                       {u"developer"_s, u"Example Studio"_s},
                       {u"updatedAt"_s, u"2024-05-01T10:00:00.000Z"_s}};
}

QByteArray homePayload(int apps)
{
    QJsonArray featured, top, latest;
    for (int i = 0; i < apps; ++i) {
        if (i < 50)
            featured.append(app(i));
        else if (i < 150)
            top.append(app(i));
        else
            latest.append(app(i));
    }
    const QJsonObject home{
        {u"site"_s, QJsonObject{{u"name"_s, u"Vexlo"_s}, {u"tagline"_s, u"精选"_s}, {u"announcement"_s, u""_s}}},
        {u"stats"_s,
         QJsonObject{
             {u"apps"_s, apps}, {u"downloads"_s, 1}, {u"wallpapers"_s, 0}, {u"members"_s, 0}, {u"sponsors"_s, 0}}},
        {u"categories"_s, QJsonArray()},
        {u"featured"_s, featured},
        {u"top"_s, top},
        {u"latest"_s, latest},
        {u"wallpapers"_s, QJsonArray()},
        {u"plans"_s, QJsonArray()}};
    return QJsonDocument(home).toJson(QJsonDocument::Compact);
}

template <typename F> double timeMs(F &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double median(QList<double> times)
{
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

double best(const QList<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray bytes = homePayload(1000);
    // Each timing covers producing the value (the document, or the records) and ends before it is freed:
    // the app keeps what it decodes.
    QList<double> parse;
    QList<double> decode;
    qsizetype apps = 0;
    for (int round = 0; round < 40; ++round) {
        QJsonDocument document;
        parse.append(timeMs([&] { document = QJsonDocument::fromJson(bytes); }));
        document = QJsonDocument();
        std::optional<ApiResult<StoreHome>> home;
        decode.append(timeMs([&] { home.emplace(Transport::decode<StoreHome>(bytes)); }));
        if (!home->ok()) {
            std::fprintf(stderr, "decoding failed: %s\n", qPrintable(home->error().detail));
            return 1;
        }
        apps = home->value().featured.size() + home->value().top.size() + home->value().latest.size();
    }
    std::printf("payload: %lld bytes, %lld apps\n", static_cast<long long>(bytes.size()), static_cast<long long>(apps));
    std::printf("parse (QJsonDocument): median %.2f ms, best %.2f ms\n", median(parse), best(parse));
    std::printf("decode (parse + records): median %.2f ms, best %.2f ms\n", median(decode), best(decode));
    // On a shared machine a round that loses the CPU takes a scheduler tick longer; the best round of
    // each kind is the one that ran undisturbed.
    std::printf("decode/parse ratio: %.2f\n", best(decode) / best(parse));
    return 0;
}
