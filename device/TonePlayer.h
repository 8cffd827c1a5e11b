#pragma once
// The speaker check: a short generated tone on the left channel, a pause, then the same tone on the right,
// so the user can tell the sides apart. The sound is computed (no audio files); `side` follows what is
// playing so the page can say which side to listen to. Plays through the speaker output plugin (ToneOutput.h)
// when an output device exists. The output is tried before anything is announced: without one (or when it will not
// open) nothing steps through the sides and `canPlay` turns false, so the page can say why.

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <memory>

class ToneOutput;

struct ToneFormat
{
    int sampleRate = 44100;
    int toneMs = 700;
    int gapMs = 300;
    double hz = 660;
};

class TonePlayer : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString side READ side NOTIFY sideChanged)
    // An output device exists and did not refuse the last tone; follows devices coming and going.
    Q_PROPERTY(bool canPlay READ canPlay NOTIFY canPlayChanged)

public:
    enum class Channel { left, right };
    using Format = ToneFormat;

    explicit TonePlayer(QObject *parent = nullptr);
    ~TonePlayer() override;

    // Interleaved stereo 16-bit little-endian samples: the tone on `channel`, exact zeros on the other, with
    // a short fade at both ends so it does not click.
    [[nodiscard]] static QByteArray tone(Channel channel, const Format &format = {});
    // The left tone, `gapMs` of silence, the right tone.
    [[nodiscard]] static QByteArray sequence(const Format &format = {});

    [[nodiscard]] QString side() const { return m_side; } // "left", "right" or empty
    [[nodiscard]] bool canPlay() const { return m_canPlay; }

    Q_INVOKABLE void play();
    Q_INVOKABLE void stop();

Q_SIGNALS:
    void sideChanged();
    void canPlayChanged();
    void finished();

protected:
    // Whether an output device is there now.
    [[nodiscard]] virtual bool hasOutput() const;
    // Starts the left, pause, right sequence on the output; false when it would not start.
    virtual bool startOutput();
    virtual void stopOutput();
    // Looks again whether a device is there.
    void checkOutput();

private:
    void setSide(const QString &side);
    void setCanPlay(bool canPlay);

    Format m_format;
    QString m_side;
    QTimer m_steps;
    int m_step = 0;
    bool m_canPlay = false;
    std::unique_ptr<ToneOutput> m_output; // none without the plugin
};
