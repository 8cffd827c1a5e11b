// The display helpers: record colours, counts and dates.
#include "screens/components/Format.h"
#include "screens/components/Palette.h"

#include <QDate>
#include <QLocale>
#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

class FormatTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Dates are shown in the machine's zone; fix it east of UTC.
        qputenv("TZ", "Asia/Shanghai");
        tzset();
    }

    void paletteColor_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QColor>("color");
        const QColor blue(0, 122, 255);
        const QColor accent(0x0A, 0x84, 0xFF);
        QTest::newRow("with hash") << u"#0A84FF"_s << accent;
        QTest::newRow("surrounding white space") << u" \t#0A84FF\n"_s << accent;
        QTest::newRow("three digits") << u"#FFF"_s << blue;
        QTest::newRow("not hex") << u"#GGGGGG"_s << blue;
        QTest::newRow("0x prefix") << u"0x0A84"_s << blue;
    }
    void paletteColor()
    {
        QFETCH(QString, hex);
        QFETCH(QColor, color);
        QCOMPARE(Palette::color(hex), color); // opaque, as QColor compares the alpha too
    }

    void compactCount_data()
    {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative") << qint64(-1500) << u"-1500"_s;
        QTest::newRow("999") << qint64(999) << u"999"_s;
        QTest::newRow("1000") << qint64(1000) << u"1.0 k"_s;
        QTest::newRow("9999 rounds up") << qint64(9999) << u"10.0 k"_s;
        QTest::newRow("10000") << qint64(10000) << u"1.0 万"_s;
        QTest::newRow("large") << qint64(5000000000) << u"500000.0 万"_s;
    }
    void compactCount()
    {
        QFETCH(qint64, n);
        QFETCH(QString, text);
        QCOMPARE(compact(n), text);
    }

    void formatDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // empty: today
        QTest::newRow("UTC") << u"2024-05-01T10:00:00Z"_s << u"2024年5月1日"_s;
        QTest::newRow("late UTC is the next day here") << u"2024-05-01T20:30:00Z"_s << u"2024年5月2日"_s;
        QTest::newRow("nine fraction digits") << u"2024-12-31T15:59:59.999999999Z"_s << u"2024年12月31日"_s;
        QTest::newRow("lower-case z") << u"2024-05-01T10:00:00z"_s << u"2024年5月1日"_s;
        QTest::newRow("+08:00") << u"2024-05-01T23:30:00+08:00"_s << u"2024年5月1日"_s;
        QTest::newRow("-0500") << u"2024-05-01T20:00:00-0500"_s << u"2024年5月2日"_s;
        QTest::newRow("date alone") << u"2024-05-01"_s << QString();
        QTest::newRow("space for T") << u"2024-05-01 10:00:00Z"_s << QString();
        QTest::newRow("no zone") << u"2024-05-01T10:00:00"_s << QString();
        QTest::newRow("empty fraction") << u"2024-05-01T10:00:00.Z"_s << QString();
        QTest::newRow("ten fraction digits") << u"2024-05-01T10:00:00.1234567890Z"_s << QString();
        QTest::newRow("zone hour 24") << u"2024-05-01T10:00:00+24:00"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void formatDate()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString today =
            QLocale(QLocale::Chinese, QLocale::China).toString(QDate::currentDate(), u"yyyy年M月d日"_s);
        QCOMPARE(::formatDate(text), shown.isEmpty() ? today : shown);
    }
};

QTEST_MAIN(FormatTest)
#include "tst_format.moc"
