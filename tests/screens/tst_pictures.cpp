// What the coloured pieces of the store pages look like on screen, drawn by the scene graph backend the app
// itself chooses: pixels sampled from the hero card, an app icon and the sponsor strip against their gradients.
#include "screens/components/Renderer.h"
#include "screens/components/Theme.h"
#include "service/Endpoint.h"

#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

namespace {

// A sample point as a fraction of the item's size.
using Points = QList<QPointF>;

// The colour of a top-left to bottom-right gradient at `p` of a `size` box, under a black wash of `shade`.
QColor expected(QSizeF size, QPointF p, const QColor &from, const QColor &to, qreal shade)
{
    const qreal w = size.width(), h = size.height();
    const qreal t = std::clamp((p.x() * w + p.y() * h) / (w * w + h * h), 0.0, 1.0);
    const auto channel = [&](float a, float b) { return float((a + (b - a) * t) * (1 - shade)); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()));
}

int distance(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

const QVariantMap featuredApp{{u"name"_s, u"港湾终端"_s},  {u"tagline"_s, u"一个终端"_s}, {u"glyph"_s, u"terminal"_s},
                              {u"accent"_s, u"#FF375F"_s}, {u"accent2"_s, u"#5E5CE6"_s},  {u"isFree"_s, true},
                              {u"archLabel"_s, u"通用"_s}, {u"size"_s, u"12 MB"_s},       {u"rating"_s, 4.5},
                              {u"ratingCount"_s, 10}};

} // namespace

class PicturesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Endpoint::setBase(u"http://127.0.0.1:9"_s);
        Renderer::choose();
    }

    void gradientsAsDrawn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QVariantMap>("properties");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QColor>("from");
        QTest::addColumn<QColor>("to");
        QTest::addColumn<qreal>("shade");
        QTest::addColumn<Points>("points");

        // Points clear of text, the miniature window and the light spot, inside the rounded corners.
        QTest::newRow("hero card") << u"Catalog/HeroCard.qml"_s << QVariantMap{{u"app"_s, featuredApp}}
                                   << QSizeF(900, 210) << QColor(0xFF375F) << QColor(0x5E5CE6) << 0.08
                                   << Points{{0.012, 0.5}, {0.5, 0.96}, {0.985, 0.5}, {0.3, 0.06}};
        QTest::newRow("app icon") << u"Components/AppIconView.qml"_s
                                  << QVariantMap{{u"glyph"_s, u"terminal"_s},
                                                 {u"accent"_s, u"#30D158"_s},
                                                 {u"accent2"_s, u"#0A84FF"_s},
                                                 {u"size"_s, 80}}
                                  << QSizeF(80, 80) << QColor(0x30D158) << QColor(0x0A84FF) << 0.0
                                  << Points{{0.12, 0.5}, {0.88, 0.5}, {0.5, 0.1}, {0.5, 0.9}};
        QTest::newRow("sponsor strip") << u"Catalog/SponsorStrip.qml"_s << QVariantMap() << QSizeF(800, 96)
                                       << Theme::sponsorStart() << Theme::sponsorEnd() << 0.0
                                       << Points{{0.01, 0.5}, {0.3, 0.92}, {0.55, 0.92}, {0.4, 0.08}};
    }

    void gradientsAsDrawn()
    {
        QFETCH(QString, file);
        QFETCH(QVariantMap, properties);
        QFETCH(QSizeF, size);
        QFETCH(QColor, from);
        QFETCH(QColor, to);
        QFETCH(qreal, shade);
        QFETCH(Points, points);

        ScreenEngine screens;
        QQuickWindow window;
        window.setColor(Qt::white);
        window.resize(int(size.width()) + 40, int(size.height()) + 40);
        auto item = screens.load<QQuickItem>(file, properties);
        item->setParentItem(window.contentItem());
        item->setPosition({20, 20});
        item->setSize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QImage picture;
        QTRY_VERIFY((picture = window.grabWindow(), !picture.isNull()));
        const qreal dpr = picture.devicePixelRatio();

        for (const QPointF &fraction : points) {
            const QPointF at(fraction.x() * size.width(), fraction.y() * size.height());
            const QColor want = expected(size, at, from, to, shade);
            const QColor got = picture.pixelColor(((at + QPointF(20, 20)) * dpr).toPoint());
            QVERIFY2(distance(got, want) <= 12,
                     qPrintable(u"at %1,%2: %3, expected %4"_s.arg(at.x()).arg(at.y()).arg(got.name(), want.name())));
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "tst_pictures.moc"
