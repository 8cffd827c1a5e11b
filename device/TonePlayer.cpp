#include "device/TonePlayer.h"

#include "device/ToneOutput.h"

#include <QtEndian>

#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

TonePlayer::TonePlayer(QObject *parent)
    : QObject(parent)
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
    if (ToneOutputPlugin *plugin = toneOutputPlugin())
        m_output = plugin->create([this] { checkOutput(); });
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
    return m_output && m_output->hasOutput();
}

bool TonePlayer::startOutput()
{
    return m_output && m_output->start(sequence(m_format), m_format.sampleRate);
}

void TonePlayer::stopOutput()
{
    if (m_output)
        m_output->stop();
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
