#include "device/toneoutput/MultimediaTonePlugin.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

namespace {

class MultimediaToneOutput : public ToneOutput
{
public:
    explicit MultimediaToneOutput(std::function<void()> outputsChanged)
    {
        QObject::connect(&m_devices, &QMediaDevices::audioOutputsChanged, &m_devices, std::move(outputsChanged));
    }

    bool hasOutput() const override { return !QMediaDevices::defaultAudioOutput().isNull(); }

    bool start(const QByteArray &samples, int sampleRate) override
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelConfig(QAudioFormat::ChannelConfigStereo);
        m_buffer.setData(samples);
        m_buffer.open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->start(&m_buffer);
        return m_sink->error() == QAudio::NoError;
    }

    void stop() override
    {
        if (m_sink) {
            m_sink->stop();
            m_sink.reset();
        }
        m_buffer.close();
    }

private:
    QMediaDevices m_devices;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace

std::unique_ptr<ToneOutput> MultimediaTonePlugin::create(std::function<void()> outputsChanged)
{
    return std::make_unique<MultimediaToneOutput>(std::move(outputsChanged));
}
