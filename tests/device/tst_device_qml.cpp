// The hands-on checks' keyboard map and tones.

#include "device/KeyboardMap.h"
#include "device/ToneOutput.h"
#include "device/TonePlayer.h"

#include <QKeyEvent>
#include <QtEndian>

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A player whose output is there or not, and plays nothing aloud.
class SilentPlayer : public TonePlayer
{
public:
    explicit SilentPlayer(bool device, bool opens)
        : m_device(device)
        , m_opens(opens)
    {
        checkOutput();
    }

protected:
    bool hasOutput() const override { return m_device; }
    bool startOutput() override { return m_device && m_opens; }
    void stopOutput() override { }

private:
    bool m_device;
    bool m_opens;
};

} // namespace

class TestDeviceQml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys light by their physical position (X11 / Wayland: evdev code + 8), whatever text they type.
    void keyboardMapFromKeyEvents()
    {
        KeyboardMap map;
        QObject receiver;
        const auto press = [&](quint32 scanCode, Qt::Key key, const QString &text, bool repeat = false) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, scanCode, 0, 0, text, repeat);
            return QCoreApplication::sendEvent(&receiver, &event) && event.isAccepted();
        };
        const auto lit = [&] {
            QStringList labels;
            for (int i = 0; i < map.rowCount(); ++i)
                if (map.data(map.index(i), KeyboardMap::LitRole).toBool())
                    labels << map.data(map.index(i), KeyboardMap::LabelRole).toString();
            return labels.join(u' ');
        };
        press(30 + 8, Qt::Key_A, u"a"_s);
        QCOMPARE(map.seenCount(), 0); // not listening yet

        map.setActive(true);
        QSignalSpy changed(&map, &QAbstractItemModel::dataChanged);
        press(30 + 8, Qt::Key_unknown, u"啊"_s); // an input method's text, the A key's position
        press(16 + 8, Qt::Key_A, u"a"_s); // AZERTY: "a" typed on the Q position
        press(16 + 8, Qt::Key_A, u"a"_s, true); // auto-repeat lights nothing new
        press(42 + 8, Qt::Key_Shift, {});
        press(103 + 8, Qt::Key_Up, {});
        press(97 + 8, Qt::Key_Control, {}); // right Ctrl of a PC keyboard: not on the Mac map
        QCOMPARE(lit(), u"Q A shift ↑"_s);
        QCOMPARE(map.seenCount(), 4);
        QCOMPARE(changed.size(), 4);
        // While active the key never reaches the window's shortcuts.
        QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_W, Qt::ControlModifier, 17 + 8, 0, 0);
        override.ignore();
        QVERIFY(QCoreApplication::sendEvent(&receiver, &override));
        QVERIFY(override.isAccepted());

        map.reset();
        QCOMPARE(map.seenCount(), 0);
        map.setActive(false);
        press(30 + 8, Qt::Key_A, u"a"_s);
        QCOMPARE(map.seenCount(), 0);
    }

    // The tone is on one channel at a time, left first, and exactly silent on the other.
    void toneBuffers()
    {
        TonePlayer::Format format;
        format.sampleRate = 8000;
        format.toneMs = 100;
        format.gapMs = 50;
        const QByteArray all = TonePlayer::sequence(format);
        const int frames = int(all.size() / 4);
        QCOMPARE(frames, 800 + 400 + 800);
        const auto *samples = reinterpret_cast<const qint16 *>(all.constData());
        const auto peak = [&](int from, int to, int channel) {
            int max = 0;
            for (int i = from; i < to; ++i)
                max = std::max(max, std::abs(int(qFromLittleEndian(samples[2 * i + channel]))));
            return max;
        };
        QVERIFY(peak(0, 800, 0) > 10000); // left tone
        QCOMPARE(peak(0, 800, 1), 0);
        QCOMPARE(peak(800, 1200, 0) + peak(800, 1200, 1), 0); // pause
        QCOMPARE(peak(1200, 2000, 0), 0);
        QVERIFY(peak(1200, 2000, 1) > 10000); // right tone
        QVERIFY(std::abs(int(qFromLittleEndian(samples[0]))) < 100); // faded in, no click
        QCOMPARE(TonePlayer::tone(TonePlayer::Channel::left, format), all.left(800 * 4));
    }

    // The speaker check finds its output plugin (the program itself does not link the audio libraries).
    void toneOutputIsAPlugin() { QVERIFY(toneOutputPlugin()); }

    // The output is tried before a side is announced: a tone that cannot be heard is never asked about.
    void tonePlaysOnlyThroughAnOutput_data()
    {
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("opens");
        QTest::newRow("output") << true << true;
        QTest::newRow("no output") << false << false;
        QTest::newRow("output refuses") << true << false;
    }
    void tonePlaysOnlyThroughAnOutput()
    {
        QFETCH(bool, device);
        QFETCH(bool, opens);
        const QStringList sides = device && opens ? QStringList{u"left"_s, {}, u"right"_s, {}} : QStringList();
        SilentPlayer player(device, opens);
        QCOMPARE(player.canPlay(), device);
        QSignalSpy finished(&player, &TonePlayer::finished);
        QStringList seen;
        connect(&player, &TonePlayer::sideChanged, this, [&] { seen << player.side(); });
        player.play();
        if (!sides.isEmpty())
            QVERIFY(finished.wait(5000));
        QCOMPARE(seen, sides);
        QCOMPARE(player.canPlay(), device && opens);
    }
};

QTEST_GUILESS_MAIN(TestDeviceQml)
#include "tst_device_qml.moc"
