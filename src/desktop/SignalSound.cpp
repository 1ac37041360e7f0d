#include "desktop/SignalSound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wm {

namespace {

constexpr int kSampleRate = 22050;

} // namespace

ToneSound::ToneSound(QObject* parent) : QObject(parent) {}

ToneSound::~ToneSound() {
    if (m_sink) {
        m_sink->stop();
    }
}

QByteArray ToneSound::pcm(int hertz, int ms) {
    const int samples = kSampleRate * ms / 1000;
    const int fade = kSampleRate / 200; // 5 ms: no click at either end
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const double envelope = std::min({1.0, double(i) / fade, double(samples - 1 - i) / fade});
        const double value = 0.6 * envelope * std::sin(2 * std::numbers::pi * hertz * i / kSampleRate);
        qToLittleEndian<qint16>(qint16(std::lround(value * 32767)), data.data() + 2 * i);
    }
    return data;
}

void ToneSound::beep() {
    static const QByteArray samples = pcm(880, 120);
    play(samples);
}

void ToneSound::tone() {
    static const QByteArray samples = pcm(880, 900);
    play(samples);
}

void ToneSound::play(const QByteArray& samples) {
    if (!m_tried) {
        m_tried = true;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            return;
        }
        QAudioFormat format;
        format.setSampleRate(kSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            return;
        }
        m_sink = new QAudioSink(device, format, this);
        m_buffer = new QBuffer(this);
    }
    if (!m_sink) {
        return;
    }
    m_sink->stop();
    m_buffer->close();
    m_buffer->setData(samples);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink->start(m_buffer);
}

} // namespace wm
