#include "software/ByteCount.h"
#include "software/LocalApp.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestByteCount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileStyle_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << u"Zero KB"_s;
        QTest::newRow("one byte") << qint64(1) << u"1 byte"_s;
        QTest::newRow("below a kilobyte") << qint64(999) << u"999 bytes"_s;
        QTest::newRow("one kilobyte") << qint64(1000) << u"1 KB"_s;
        QTest::newRow("half rounds to even up") << qint64(1500) << u"2 KB"_s;
        QTest::newRow("half rounds to even down") << qint64(2500) << u"2 KB"_s;
        QTest::newRow("just above half") << qint64(2501) << u"3 KB"_s;
        QTest::newRow("stays below 1000 KB") << qint64(999'499) << u"999 KB"_s;
        QTest::newRow("1000 KB becomes MB") << qint64(999'500) << u"1 MB"_s;
        QTest::newRow("MB half to even down") << qint64(1'250'000) << u"1.2 MB"_s;
        QTest::newRow("MB half to even up") << qint64(1'350'000) << u"1.4 MB"_s;
        QTest::newRow("MB fraction zero dropped") << qint64(2'000'001) << u"2 MB"_s;
        QTest::newRow("1000 MB becomes GB") << qint64(999'950'000) << u"1 GB"_s;
        QTest::newRow("two fraction digits for GB") << qint64(1'234'567'890) << u"1.23 GB"_s;
        QTest::newRow("GB trailing zero dropped") << qint64(1'100'000'000) << u"1.1 GB"_s;
        QTest::newRow("GB leading fraction zero kept") << qint64(1'050'000'000) << u"1.05 GB"_s;
        QTest::newRow("1000 GB becomes TB") << qint64(999'995'000'000) << u"1 TB"_s;
        QTest::newRow("largest size") << std::numeric_limits<qint64>::max() << u"9.22 EB"_s;
    }

    void fileStyle()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(fileByteCount(bytes), text);
        QCOMPARE(LocalApp(u"/Applications/A.app"_s, u"A"_s, u"1"_s, {}, bytes).sizeLabel(), text);
    }
};

QTEST_GUILESS_MAIN(TestByteCount)
#include "tst_bytecount.moc"
