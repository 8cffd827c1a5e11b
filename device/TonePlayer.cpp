#include "device/TonePlayer.h"

#include <QtEndian>

#include <cmath>
#include <numbers>

#ifdef VEXLO_HAVE_MULTIMEDIA
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#endif

using namespace Qt::StringLiterals;

struct TonePlayer::Output
{
#ifdef VEXLO_HAVE_MULTIMEDIA
    QMediaDevices devices; // tells when outputs come and go
    QBuffer buffer;
    std::unique_ptr<QAudioSink> sink;
#endif
};

TonePlayer::TonePlayer(QObject *parent)
    : QObject(parent)
    , m_output(std::make_unique<Output>())
{
    m_steps.setSingleShot(true);
    connect(&m_steps, &QTimer::timeout, this, [this] {
        ++m_step;
        if (m_step == 1) {
            setSide({}); // the pause between the sides
            m_steps.start(m_format.gapMs);
        } else if (m_step == 2) {
            setSide(u"right"_s);
            m_steps.start(m_format.toneMs);
        } else {
            stop();
            Q_EMIT finished();
        }
    });
#ifdef VEXLO_HAVE_MULTIMEDIA
    connect(&m_output->devices, &QMediaDevices::audioOutputsChanged, this, &TonePlayer::checkOutput);
#endif
    m_canPlay = TonePlayer::hasOutput();
}

TonePlayer::~TonePlayer() = default;

QByteArray TonePlayer::tone(Channel channel, const Format &format)
{
    const int frames = format.sampleRate * format.toneMs / 1000;
    const int fade = std::min(frames / 2, format.sampleRate / 100); // 10 ms
    QByteArray out(frames * 2 * int(sizeof(qint16)), Qt::Uninitialized);
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    const int on = channel == Channel::left ? 0 : 1;
    for (int i = 0; i < frames; ++i) {
        double gain = 0.5;
        if (i < fade)
            gain *= double(i) / fade;
        else if (i >= frames - fade)
            gain *= double(frames - 1 - i) / fade;
        const double value = gain * std::sin(2 * std::numbers::pi * format.hz * i / format.sampleRate);
        samples[2 * i + on] = qToLittleEndian(qint16(std::lround(value * 32767)));
        samples[2 * i + 1 - on] = 0;
    }
    return out;
}

QByteArray TonePlayer::sequence(const Format &format)
{
    const int gapFrames = format.sampleRate * format.gapMs / 1000;
    return tone(Channel::left, format) + QByteArray(gapFrames * 2 * int(sizeof(qint16)), '\0') +
        tone(Channel::right, format);
}

bool TonePlayer::hasOutput() const
{
#ifdef VEXLO_HAVE_MULTIMEDIA
    return !QMediaDevices::defaultAudioOutput().isNull();
#else
    return false;
#endif
}

bool TonePlayer::startOutput()
{
#ifdef VEXLO_HAVE_MULTIMEDIA
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat audio;
    audio.setSampleRate(m_format.sampleRate);
    audio.setChannelCount(2);
    audio.setSampleFormat(QAudioFormat::Int16);
    audio.setChannelConfig(QAudioFormat::ChannelConfigStereo);
    m_output->buffer.setData(sequence(m_format));
    m_output->buffer.open(QIODevice::ReadOnly);
    m_output->sink = std::make_unique<QAudioSink>(device, audio);
    m_output->sink->start(&m_output->buffer);
    return m_output->sink->error() == QAudio::NoError;
#else
    return false;
#endif
}

void TonePlayer::stopOutput()
{
#ifdef VEXLO_HAVE_MULTIMEDIA
    if (m_output->sink) {
        m_output->sink->stop();
        m_output->sink.reset();
    }
    m_output->buffer.close();
#endif
}

void TonePlayer::checkOutput()
{
    setCanPlay(hasOutput());
}

void TonePlayer::play()
{
    stop();
    // Nothing is announced for a side that cannot be heard.
    if (!startOutput()) {
        stopOutput();
        setCanPlay(false);
        return;
    }
    setCanPlay(true);
    m_step = 0;
    setSide(u"left"_s);
    m_steps.start(m_format.toneMs);
}

void TonePlayer::stop()
{
    m_steps.stop();
    stopOutput();
    setSide({});
}

void TonePlayer::setCanPlay(bool canPlay)
{
    if (m_canPlay == canPlay)
        return;
    m_canPlay = canPlay;
    Q_EMIT canPlayChanged();
}

void TonePlayer::setSide(const QString &side)
{
    if (m_side == side)
        return;
    m_side = side;
    Q_EMIT sideChanged();
}
