// The software manager page against the scanner alone, over a generated tree of application bundles.
//   vexlo_software_page_bench generate DIR BUNDLES   DIR gets BUNDLES bundles with Info.plist, an ICNS icon
//                                                    and about 60 other files each
//   vexlo_software_page_bench measure DIR RUNS       prints "page_ms scan_ms": the best of RUNS times from
//                                                    creating the page to the first frame that shows the
//                                                    sorted rows (drawn after they were published), and the
//                                                    best of RUNS scans with the sort

#include "screens/components/Renderer.h"
#include "software/SoftwareListModel.h"
#include "software/SoftwareScanner.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTextStream>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray be32(quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

QByteArray icns(int seed)
{
    QByteArray body;
    const std::pair<const char *, int> elements[] = {{"icp5", 32}, {"icp6", 64}, {"ic07", 128}, {"ic08", 256}};
    for (const auto &[type, side] : elements) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor::fromHsv(seed * 37 % 360, 180, 230));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(side * 0.08, side * 0.08, side * 0.84, side * 0.84), side * 0.2, side * 0.2);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        body += QByteArray(type, 4) + be32(png.size() + 8) + png;
    }
    return "icns" + be32(body.size() + 8) + body;
}

bool write(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Sparse: the byte size counts, no disk space is taken.
void sparse(const QString &path, off_t size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (::ftruncate(fd, size) != 0)
            std::perror("ftruncate");
        ::close(fd);
    }
}

int generate(const QString &root, int bundles)
{
    std::mt19937 random(14);
    std::uniform_int_distribution<off_t> sizes(0, 300'000);
    const QStringList stems{u"Alpha"_s, u"beta"_s, u"Gamma"_s, u"流光"_s, u"港湾"_s, u"色井"_s, u"delta"_s, u"钥匙"_s};
    for (int b = 0; b < bundles; ++b) {
        const QString name = stems[b % stems.size()] + u' ' + QString::number(b);
        const QString contents = root + u"/App"_s + QString::number(b) + u".app/Contents"_s;
        const QByteArray plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                 "<key>CFBundleName</key><string>" +
            name.toUtf8() + "</string><key>CFBundleShortVersionString</key><string>1." + QByteArray::number(b % 13) +
            "</string><key>CFBundleIdentifier</key><string>com.example.app" + QByteArray::number(b) +
            "</string><key>CFBundleIconFile</key><string>AppIcon</string></dict></plist>\n";
        if (!write(contents + u"/Info.plist"_s, plist) || !write(contents + u"/Resources/AppIcon.icns"_s, icns(b)))
            return 1;
        QDir().mkpath(contents + u"/MacOS"_s);
        sparse(contents + u"/MacOS/App"_s, 12'000'000);
        for (int f = 0; f < 60; ++f) {
            const QString folder = contents + u"/Resources/group"_s + QString::number(f / 20);
            QDir().mkpath(folder);
            sparse(folder + u"/item"_s + QString::number(f) + u".dat"_s, sizes(random));
        }
    }
    return 0;
}

int measure(const QString &root, int runs)
{
    QQmlEngine engine;
    engine.addImportPath(u"qrc:/qt/qml"_s);
    QQuickWindow window;
    window.resize(1100, 800);
    window.show();
    QSignalSpy exposed(&window, &QQuickWindow::frameSwapped);
    exposed.wait(5000);

    qint64 bestPage = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        QQmlComponent component(&engine, QUrl(u"qrc:/qt/qml/Vexlo/Software/SoftwareManagerView.qml"_s));
        std::unique_ptr<QQuickItem> page(
            qobject_cast<QQuickItem *>(component.createWithInitialProperties({{u"roots"_s, QStringList{root}}})));
        if (!page) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            return 1;
        }
        page->setParentItem(window.contentItem());
        page->setSize(window.size());
        auto *apps = page->property("apps").value<SoftwareListModel *>();
        if (apps->scanning() && !QSignalSpy(apps, &SoftwareListModel::scanFinished).wait(120000))
            return 1;
        const qint64 scanned = clock.elapsed();
        // The frame that shows the rows is the first one swapped after a sync that began once they were published;
        // a frame the render thread was already drawing then (one of the spinner's) shows the list without them.
        std::atomic_bool synced = false;
        std::atomic<qint64> drawnAt = -1;
        QObject context;
        QObject::connect(
            &window, &QQuickWindow::afterSynchronizing, &context, [&synced] { synced = true; }, Qt::DirectConnection);
        QObject::connect(
            &window, &QQuickWindow::frameSwapped, &context,
            [&] {
                if (synced && drawnAt < 0)
                    drawnAt = clock.elapsed();
            },
            Qt::DirectConnection);
        QSignalSpy swaps(&window, &QQuickWindow::frameSwapped);
        window.update();
        // Short waits: the swap may come between the check and the wait (the time is taken when it happens).
        const QDeadlineTimer deadline(10000);
        while (drawnAt < 0) {
            if (deadline.hasExpired())
                return 1;
            swaps.wait(20);
        }
        const qint64 ms = drawnAt;
        std::fprintf(stderr, "page run %d: list published at %lld ms, drawn at %lld ms\n", i, scanned, ms);
        if (apps->count() == 0)
            return 1;
        bestPage = bestPage < 0 ? ms : std::min(bestPage, ms);
        page.reset();
        QCoreApplication::processEvents();
    }

    qint64 bestScan = -1;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        QList<LocalApp> apps = SoftwareScanner::scan({root});
        SoftwareListModel::sortByName(apps);
        const qint64 ms = clock.elapsed();
        bestScan = bestScan < 0 ? ms : std::min(bestScan, ms);
    }
    QTextStream(stdout) << bestPage << u' ' << bestScan << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    Renderer::choose();
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"generate")
        return generate(args[2], args[3].toInt());
    if (args.size() == 4 && args[1] == u"measure")
        return measure(args[2], args[3].toInt());
    std::fprintf(stderr, "usage: vexlo_software_page_bench generate DIR BUNDLES | measure DIR RUNS\n");
    return 2;
}
