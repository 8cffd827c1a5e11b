// The page lists' item models: each checked by QAbstractItemModelTester while its input changes.
#include "Fixtures.h"
#include "ModelColumn.h"
#include "StoreJson.h"

#include "store/ListModels.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QVariantList apps(const QStringList &slugs)
{
    QVariantList list;
    for (const QString &slug : slugs)
        list.append(QVariant::fromValue(decode<StoreApp>(fixtures::app(slug))));
    return list;
}

InstalledApp record(const QString &slug, qint64 secs)
{
    return {.slug = slug, .name = slug.toUpper(), .installedAt = QDateTime::fromSecsSinceEpoch(secs)};
}

} // namespace

class TestListModels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appListSlicesAndRanks_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("slugs");
        QTest::addColumn<QStringList>("ranks");
        QTest::newRow("all") << 0 << -1 << QStringList{u"a"_s, u"b"_s, u"c"_s} << QStringList{u"1"_s, u"2"_s, u"3"_s};
        QTest::newRow("first two") << 0 << 2 << QStringList{u"a"_s, u"b"_s} << QStringList{u"1"_s, u"2"_s};
        QTest::newRow("after the first") << 1 << -1 << QStringList{u"b"_s, u"c"_s} << QStringList{u"2"_s, u"3"_s};
        QTest::newRow("past the end") << 5 << 2 << QStringList{} << QStringList{};
    }

    void appListSlicesAndRanks()
    {
        QFETCH(int, from);
        QFETCH(int, limit);
        QFETCH(QStringList, slugs);
        QFETCH(QStringList, ranks);
        AppListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy count(&model, &RecordListModel::countChanged);
        model.setFrom(from);
        model.setLimit(limit);
        // Items of another type (here a number) are skipped.
        QVariantList input = apps({u"a"_s, u"b"_s, u"c"_s});
        input.insert(1, 7);
        model.setRecords(input);
        QCOMPARE(column(model, "slug"), slugs);
        QCOMPARE(column(model, "rank"), ranks);
        QCOMPARE(count.count(), slugs.isEmpty() ? 0 : 1);
        if (!slugs.isEmpty()) {
            QCOMPARE(model.index(0, 0).data(RecordListModel::RecordRole).value<StoreApp>().slug, slugs.first());
            QCOMPARE(column(model, "name").first(), u"App "_s + slugs.first());
        }
        QVERIFY(!model.roleNames().values().contains("id"));
        // A raised limit adds rows after the ones shown, which keep their delegates.
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.setLimit(-1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(model.rowCount(), qMax(0, 3 - from));
        model.setRecords(QVariant());
        QCOMPARE(model.rowCount(), 0);
    }

    void categorySelection()
    {
        CategoryListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto category = [](const QString &slug) {
            return QVariant::fromValue(decode<StoreCategory>(QJsonObject{
                {"slug", slug}, {"name", slug.toUpper()}, {"glyph", "app"}, {"accent", "#0A84FF"}, {"count", 3}}));
        };
        QSignalSpy selected(&model, &CategoryListModel::selectedChanged);
        model.setSelectedSlug(u"dev"_s);
        QVERIFY(!model.selected().isValid()); // no categories yet
        model.setRecords(QVariantList{category(u"tools"_s), category(u"dev"_s)});
        QCOMPARE(model.selected().value<StoreCategory>().name, u"DEV"_s);
        model.setSelectedSlug(u"gone"_s);
        QVERIFY(!model.selected().isValid());
        model.setSelectedSlug(QString());
        QVERIFY(!model.selected().isValid());
        QCOMPARE(selected.count(), 4);
        QCOMPARE(column(model, "slug"), (QStringList{u"tools"_s, u"dev"_s}));
    }

    void downloadedNewestFirst()
    {
        DownloadedAppsModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVariantMap records;
        for (const InstalledApp &app :
             {record(u"old"_s, 100), record(u"new"_s, 300), record(u"b-tie"_s, 200), record(u"a-tie"_s, 200)})
            records.insert(app.slug, QVariant::fromValue(app));
        model.setRecords(records);
        QCOMPARE(column(model, "slug"), (QStringList{u"new"_s, u"a-tie"_s, u"b-tie"_s, u"old"_s}));
        records.remove(u"new"_s);
        model.setRecords(records);
        QCOMPARE(column(model, "name"), (QStringList{u"A-TIE"_s, u"B-TIE"_s, u"OLD"_s}));
        QCOMPARE(model.index(0, 0).data(model.roleNames().key("installedAt")).toDateTime(),
                 QDateTime::fromSecsSinceEpoch(200));
    }
};

QTEST_GUILESS_MAIN(TestListModels)
#include "tst_list_models.moc"
