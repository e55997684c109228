#include "sound_scope.h"

#include <QAudioSource>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

namespace kestrova {

int PeakPercent(const QAudioFormat& format, const char* data, qsizetype bytes) {
    const int size = format.bytesPerSample();
    if (size <= 0 || format.sampleFormat() == QAudioFormat::Unknown || bytes < size) return 0;
    float peak = 0;
    for (qsizetype at = 0; at + size <= bytes; at += size) {
        // Qt scales unsigned 8-bit samples by 127 around 127, so that silence (128) reads 1%.
        const float value = format.sampleFormat() == QAudioFormat::UInt8
                                ? (float(static_cast<quint8>(data[at])) - 128) / 128
                                : format.normalizedSampleValue(data + at);
        peak = std::max(peak, std::abs(value));
    }
    return int(std::lround(std::min(peak, 1.0f) * 100));
}

// Listens to one input at a time on the scope's thread and reports each 50 ms's level.
class LevelMeter final : public QObject {
public:
    using Report = std::function<void(int generation, int level)>;
    using Fail = std::function<void(int generation, const QString& text)>;

    LevelMeter(Report report, Fail fail) : report_(std::move(report)), fail_(std::move(fail)) {}

    // A null device is the Test Tone.
    void start(int generation, const QAudioDevice& device) {
        stop();
        generation_ = generation;
        if (device.isNull()) {
            startTone();
        } else {
            startInput(device);
        }
    }

    void stop() {
        if (timer_) timer_->stop();
        if (source_) {
            source_->disconnect(this);
            source_->stop();
            source_.reset();
        }
        input_ = nullptr;
        pending_.clear();
    }

private:
    static constexpr int ToneRate = 44100;

    void startTone() {
        if (!timer_) {
            timer_ = new QTimer(this);
            timer_->setTimerType(Qt::PreciseTimer);
            connect(timer_, &QTimer::timeout, this, &LevelMeter::toneTick);
        }
        clock_.start();
        toneDoneMs_ = 0;
        timer_->start(LevelWindowMs);
    }

    // The tone's samples since the last tick, at most the last second of them.
    void toneTick() {
        const qint64 now = clock_.elapsed();
        const qint64 from = std::max(toneDoneMs_, now - 1000);
        toneDoneMs_ = now;
        QAudioFormat format;
        format.setSampleRate(ToneRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        std::vector<qint16> samples;
        const qint64 first = from * ToneRate / 1000;
        const qint64 last = now * ToneRate / 1000;
        samples.reserve(std::size_t(std::max<qint64>(0, last - first)));
        const double amplitude = TestToneLevel / 100.0 * 32767;
        for (qint64 n = first; n < last; ++n) {
            const double seconds = double(n) / ToneRate;
            const bool beeping = n % ToneRate < ToneRate / 10;
            samples.push_back(beeping ? qint16(std::lround(amplitude * std::sin(2 * std::numbers::pi * 1000 * seconds))) : 0);
        }
        report_(generation_, PeakPercent(format, reinterpret_cast<const char*>(samples.data()),
                                         qsizetype(samples.size() * sizeof(qint16))));
    }

    void startInput(const QAudioDevice& device) {
        format_ = device.preferredFormat();
        if (format_.sampleFormat() == QAudioFormat::Unknown) format_.setSampleFormat(QAudioFormat::Int16);
        const int frame = std::max(1, format_.bytesPerFrame());
        windowBytes_ = std::max<qsizetype>(frame, format_.bytesForDuration(LevelWindowMs * 1000) / frame * frame);
        source_ = std::make_unique<QAudioSource>(device, format_);
        connect(source_.get(), &QAudioSource::stateChanged, this, [this] {
            if (source_ && source_->error() != QAudio::NoError) failInput();
        });
        input_ = source_->start();
        if (input_ == nullptr || source_->error() != QAudio::NoError) {
            failInput();
            return;
        }
        connect(input_, &QIODevice::readyRead, this, &LevelMeter::readInput);
    }

    void readInput() {
        if (input_ == nullptr) return;
        pending_ += input_->readAll();
        while (pending_.size() >= windowBytes_) {
            report_(generation_, PeakPercent(format_, pending_.constData(), windowBytes_));
            pending_.remove(0, windowBytes_);
        }
    }

    void failInput() {
        const QAudio::Error error = source_->error();
        stop();
        fail_(generation_, error == QAudio::OpenError ? QStringLiteral("The sound input cannot be opened.")
                                                      : QStringLiteral("The sound input stopped delivering sound."));
    }

    Report report_;
    Fail fail_;
    int generation_ = 0;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    qint64 toneDoneMs_ = 0;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* input_ = nullptr;
    QAudioFormat format_;
    qsizetype windowBytes_ = 0;
    QByteArray pending_;
};

SoundScope::SoundScope(QWidget* parent)
    : QWidget(parent),
      inputs_(QMediaDevices::audioInputs()),
      meter_(new LevelMeter(
          [this](int generation, int level) {
              QMetaObject::invokeMethod(this, [this, generation, level] { measured(generation, level); }, Qt::QueuedConnection);
          },
          [this](int generation, const QString& text) {
              QMetaObject::invokeMethod(this, [this, generation, text] { failed(generation, text); }, Qt::QueuedConnection);
          })) {
    setObjectName(QStringLiteral("Audio"));
    setMinimumSize(200, 40);
    thread_.setObjectName(QStringLiteral("sound level"));
    meter_->moveToThread(&thread_);
    thread_.start();
}

SoundScope::~SoundScope() {
    // The meter is taken down on its own thread, which then ends.
    QMetaObject::invokeMethod(meter_, [meter = meter_] {
        delete meter;
        QThread::currentThread()->quit();
    });
    thread_.wait();
}

int SoundScope::deviceCount() const { return int(inputs_.size()) + 1; }

QString SoundScope::deviceName(int index) const {
    if (index >= 0 && index < inputs_.size()) return inputs_[index].description();
    return index == inputs_.size() ? QStringLiteral("Test Tone") : QString();
}

void SoundScope::setDevice(int index) {
    device_ = std::clamp(index, 0, deviceCount() - 1);
    if (active_) restart();
}

void SoundScope::setLimit(int limit) {
    limit_ = std::clamp(limit, 0, 100);
    update();
}

void SoundScope::setActive(bool on) {
    if (on == active_) return;
    active_ = on;
    if (on) {
        restart();
    } else {
        ++generation_;
        QMetaObject::invokeMethod(meter_, [meter = meter_] { meter->stop(); });
        level_ = 0;
        update();
    }
}

void SoundScope::restart() {
    const int generation = ++generation_;
    const QAudioDevice device = device_ < inputs_.size() ? inputs_[device_] : QAudioDevice();
    level_ = 0;
    if (!problem_.isEmpty()) {
        problem_.clear();
        emit problemChanged(problem_);
    }
    QMetaObject::invokeMethod(meter_, [meter = meter_, generation, device] { meter->start(generation, device); });
    update();
}

void SoundScope::measured(int generation, int level) {
    if (generation != generation_ || !active_) return;
    level_ = level;
    update();
    if (level_ >= limit_) emit limitReached();
}

void SoundScope::failed(int generation, const QString& text) {
    if (generation != generation_) return;
    level_ = 0;
    problem_ = deviceName(device_) + QStringLiteral(": ") + text;
    update();
    emit problemChanged(problem_);
}

void SoundScope::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const int levelWidth = inner.width() * level_ / 100;
    painter.fillRect(QRect(inner.topLeft(), QSize(levelWidth, inner.height())),
                     level_ >= limit_ ? QColor(220, 0, 0) : QColor(0, 200, 0));
    const int limitX = inner.left() + inner.width() * limit_ / 100;
    painter.setPen(QPen(QColor(255, 220, 0), 2));
    painter.drawLine(limitX, inner.top(), limitX, inner.bottom());
    painter.setPen(Qt::white);
    painter.drawText(inner.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("%1%").arg(level_));
}

}  // namespace kestrova
