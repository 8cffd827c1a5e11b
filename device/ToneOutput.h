#pragma once
// Where the speaker check's tones are heard. The output that plays them (Qt Multimedia) is a plugin, loaded the
// first time the speaker check is shown, so the app does not load the audio libraries at start. On macOS the
// plugin is linked into the app and found the same way.

#include <QByteArray>
#include <QtPlugin>

#include <functional>
#include <memory>

class ToneOutput
{
public:
    virtual ~ToneOutput() = default;
    // An output device is there now.
    [[nodiscard]] virtual bool hasOutput() const = 0;
    // Plays interleaved stereo 16-bit little-endian `samples`; false when it would not start.
    virtual bool start(const QByteArray &samples, int sampleRate) = 0;
    virtual void stop() = 0;
};

class ToneOutputPlugin
{
public:
    virtual ~ToneOutputPlugin() = default;
    // `outputsChanged` is called when output devices come or go.
    [[nodiscard]] virtual std::unique_ptr<ToneOutput> create(std::function<void()> outputsChanged) = 0;
};

#define ToneOutputPlugin_iid "com.vexlo.ToneOutputPlugin/1"
Q_DECLARE_INTERFACE(ToneOutputPlugin, ToneOutputPlugin_iid)

// The plugin, loaded once; nullptr when it is not there (logged), and the speaker check then cannot play.
[[nodiscard]] ToneOutputPlugin *toneOutputPlugin();
