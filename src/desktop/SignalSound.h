#pragma once

#include <QObject>

#include <memory>

class QAudioSink;
class QBuffer;

namespace wm {

// Where the start signals sound: a short beep in each of the five seconds before a signal, a long tone at it.
// Tests record the calls instead of playing them.
class SignalSound {
public:
    virtual ~SignalSound() = default;
    virtual void beep() = 0;
    virtual void tone() = 0;
};

// The sound of the machine's default audio output, generated rather than read from a file. Without an audio
// output nothing sounds and nothing fails; the output is opened only for the first sound.
class ToneSound : public QObject, public SignalSound {
    Q_OBJECT
public:
    explicit ToneSound(QObject* parent = nullptr);
    ~ToneSound() override;

    void beep() override;
    void tone() override;

    // A sine at `hertz` for `ms` milliseconds as 16-bit mono PCM at 22,050 Hz, faded in and out.
    static QByteArray pcm(int hertz, int ms);

private:
    void play(const QByteArray& samples);

    QAudioSink* m_sink = nullptr;
    QBuffer* m_buffer = nullptr;
    bool m_tried = false;
};

} // namespace wm
