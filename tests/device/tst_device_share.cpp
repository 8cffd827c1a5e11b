// What a buyer keeps and shares: checks stored per Mac and compared, and the picture of a check.

#include "device/DeviceHistory.h"
#include "device/DeviceTraps.h"
#include "device/ShareCard.h"

#include <QJsonArray>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QJsonObject metric(const QString &key, const QString &label, const QString &value)
{
    return {{u"key"_s, key}, {u"label"_s, label}, {u"value"_s, value}, {u"status"_s, u"ok"_s}};
}

// A stored check: identity, a battery section and a score.
QJsonObject record(const QString &serial, const QString &uuid, const QString &at, int score, const QString &health,
                   const QString &temperature, bool withCondition)
{
    QJsonArray rows{metric(u"health"_s, u"健康度"_s, health), metric(u"temp"_s, u"温度"_s, temperature)};
    if (withCondition)
        rows.append(metric(u"condition"_s, u"电池状态"_s, u"正常"_s));
    return {
        {u"identity"_s, QJsonObject{{u"serial"_s, serial}, {u"hwUUID"_s, uuid}, {u"modelName"_s, u"MacBook Air"_s}}},
        {u"sections"_s,
         QJsonArray{QJsonObject{{u"id"_s, u"battery"_s}, {u"title"_s, u"电池"_s}, {u"metrics"_s, rows}}}},
        {u"score"_s, score},
        {u"verdict"_s, u"没有发现明显问题"_s},
        {u"checkedAt"_s, at}};
}

QStringList changeTexts(const QList<HistoryChange> &changes)
{
    QStringList out;
    for (const HistoryChange &c : changes)
        out << c.label + u'=' + c.before + u'>' + c.after + (c.finding ? u"!"_s : QString());
    return out;
}

} // namespace

class TestDeviceShare : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Two stored checks of the same Mac (same hardware UUID) whose serial changed in between: the earlier one
    // is listed, the serial change is a finding, the temperature is not compared.
    void historyOfTheSameMac()
    {
        DeviceHistory history(m_dir.filePath(u"history"_s));
        const QJsonObject first =
            record(u"K7QX2M4HV9"_s, u"5E3A"_s, u"2026-11-30T09:00:00.000Z"_s, 100, u"94%"_s, u"30.1°C"_s, false);
        const QJsonObject second =
            record(u"C02ZK3M8JYVX"_s, u"5E3A"_s, u"2026-12-07T09:00:00.000Z"_s, 92, u"88%"_s, u"35.0°C"_s, true);
        const QJsonObject stranger =
            record(u"FVFXC2ABQ6L4"_s, u"77AA"_s, u"2026-12-01T09:00:00.000Z"_s, 80, u"90%"_s, u"30.0°C"_s, true);
        const QString firstPath = history.save(first);
        QVERIFY(!firstPath.isEmpty());
        QVERIFY(!history.save(stranger).isEmpty());
        const QString secondPath = history.save(second);
        QVERIFY(secondPath.contains(u"/C02ZK3M8JYVX/"_s)); // one folder per serial
        // Saving the same check again (a case serial typed later) updates its file instead of adding one.
        QCOMPARE(history.save(second, secondPath), secondPath);
        QFile damaged(m_dir.filePath(u"history/K7QX2M4HV9/broken.json"_s));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("{\"identity\": ");
        damaged.close();

        const QList<HistoryEntry> earlier = history.earlier(second, secondPath);
        QCOMPARE(earlier.size(), 1);
        QCOMPARE((std::tuple{earlier[0].path, earlier[0].score, earlier[0].checkedAt}),
                 (std::tuple{firstPath, 100, QDateTime(QDate(2026, 11, 30), QTime(9, 0), Qt::UTC)}));

        const auto before = DeviceHistory::load(earlier[0].path);
        QVERIFY(before);
        QCOMPARE(changeTexts(DeviceHistory::compare(*before, second)),
                 (QStringList{u"序列号=K7QX2M4HV9>C02ZK3M8JYVX!"_s, u"评分=100>92"_s, u"电池 · 健康度=94%>88%"_s,
                              u"电池 · 电池状态=\u2014>正常"_s}));
        QVERIFY(DeviceHistory::compare(second, second).isEmpty());
    }

    // The picture says what a buyer asks about, the serial's middle hidden, and is drawn 1080 px wide.
    void pictureOfACheck()
    {
        const DeviceIdentity id{.modelName = u"MacBook Pro"_s,
                                .chip = u"Quad-Core Intel Core i5"_s,
                                .memory = u"16 GB"_s,
                                .serial = u"C02ZK3M8JYVX"_s,
                                .activationLock = u"Enabled"_s};
        const QList<DeviceSection> sections{
            {u"battery"_s,
             u"电池"_s,
             u"bolt"_s,
             {{u"health"_s, u"健康度"_s, u"78%"_s, {}, DeviceStatus::warn},
              {u"cycle"_s, u"循环次数"_s, u"912 次"_s, {}, DeviceStatus::bad},
              {u"condition"_s, u"电池状态"_s, u"建议维修"_s, {}, DeviceStatus::bad}}},
            {u"storage"_s,
             u"存储"_s,
             u"internaldrive"_s,
             {{u"size"_s, u"容量"_s, u"500.3 GB"_s, {}, DeviceStatus::info}}},
            DeviceTraps::managementSection(u"Enrolled via DEP: Yes\nMDM enrollment: Yes (User Approved)\n"_s,
                                           DeviceTraps::firmwareMetric(u"Password Enabled: Yes\n"_s)),
        };
        const QList<CrossCheck> checks = DeviceTraps::trapChecks(id, sections, {}).checks;
        const ShareCard::Layout card = ShareCard::layout(
            ShareCard::factsFrom(id, sections, checks, 41, QDateTime(QDate(2026, 12, 7), QTime(16, 30))));
        const QStringList texts = card.texts();
        for (const QString &expected :
             {u"41"_s, u"问题较多，二手建议压价或放弃"_s, u"MacBook Pro"_s, u"Quad-Core Intel Core i5"_s, u"16 GB"_s,
              u"500.3 GB"_s, u"78%"_s, u"912 次"_s, u"建议维修"_s, u"已开启"_s, u"已登记（DEP）"_s, u"已设置"_s,
              u"检测于 2026-12-07 16:30"_s, u"C02******YVX"_s})
            QVERIFY2(texts.contains(expected), qPrintable(expected + u" not in: "_s + texts.join(u" | "_s)));
        QVERIFY(!texts.join(u' ').contains(u"ZK3M8J"_s));

        const QImage image = ShareCard::render(card);
        QCOMPARE(image.width(), ShareCard::kWidth);
        QCOMPARE(image.height(), card.size.height());
    }
};

QTEST_MAIN(TestDeviceShare)
#include "tst_device_share.moc"
