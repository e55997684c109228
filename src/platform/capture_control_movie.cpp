// The capture control's movie members: the recorder fed by the open source.

#include "capture_control.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace kestrova {

using namespace media;

double CaptureControl::sourceRate() const {
    const double fps = session_ ? session_->runner().settings().fps : 0;
    return fps > 0 ? fps : 30;
}

bool CaptureControl::startRecorder(RecorderSettings settings) {
    if (recorder_) {
        captureError_ = QStringLiteral("a movie is being recorded");
        return false;
    }
    if (finishing_ > 0) {
        captureError_ = QStringLiteral("the last movie is still being finished");
        return false;
    }
    const QSize size = session_ ? session_->runner().size() : QSize();
    if (size.isEmpty() || captureFile_.isEmpty()) {
        captureError_ = size.isEmpty() ? QStringLiteral("no picture to record") : QStringLiteral("no capture file");
        return false;
    }
    settings.path = captureFile_;
    settings.size = size;
    settings.compressor = videoCompressor_;
    if (!overlays_.isEmpty()) {
        const CaptureOverlays overlays = overlays_;
        const double fps = settings.fps;
        settings.overlay = [overlays, fps](QImage& image, std::int64_t elapsedMs) {
            QPainter painter(&image);
            DrawCaptureOverlays(painter, overlays, elapsedMs, fps);
        };
    }
    recordRate_ = settings.fps;
    const std::uint64_t number = ++recording_;
    QPointer<CaptureControl> self(this);
    auto recorder = std::make_unique<Recorder>(std::move(settings), [self, number](QString reason) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [self, number, reason] {
                if (self && self->recording_ == number && self->recorder_) self->endCapture(reason);
            },
            Qt::QueuedConnection);
    });
    captureError_ = recorder->start();
    if (!captureError_.isEmpty()) return false;
    recorder_ = std::move(recorder);
    return true;
}

bool CaptureControl::StartCapture() {
    RecorderSettings settings;
    settings.fps = captureFrameRate_ > 0 ? captureFrameRate_ : sourceRate();
    if (captureAudio_ && audioIndex_ < AudioDeviceCount()) settings.audio = audioDevices_[size_t(audioIndex_)];
    if (timeLimitEnabled_ && timeLimit_ > 0) settings.frameLimit = std::llround(timeLimit_ * settings.fps);
    if (!startRecorder(std::move(settings))) return false;
    frameCapture_ = false;
    session_->runner().attach(recorder_->queue());
    emit captureStarted();
    return true;
}

void CaptureControl::endCapture(const QString& reason) {
    if (!recorder_) return;
    if (session_) session_->runner().detach(recorder_->queue());
    lastStatistics_ = recorder_->statistics();
    frameCapture_ = false;
    ++finishing_;
    // The application object outlives every finishing movie (the program's end waits for them).
    QPointer<CaptureControl> self(this);
    FinishInBackground(std::move(recorder_), [self, reason](QString failed, RecorderStatistics done) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, why = reason.isEmpty() ? failed : reason, done] {
                if (self) self->captureFinished(why, done);
            },
            Qt::QueuedConnection);
    });
}

void CaptureControl::captureFinished(const QString& reason, const RecorderStatistics& done) {
    --finishing_;
    lastStatistics_ = done;
    emit captureEnded(reason);
}

void CaptureControl::StopCapture() {
    if (recorder_ && !frameCapture_) endCapture(QString());
}

bool CaptureControl::Capturing() const { return recorder_ && !frameCapture_ && recorder_->running(); }

void CaptureControl::CaptureStatistics(qint64& elapsedMs, qint64& frames, qint64& dropped, qint64& bytes, qint64& audioSamples,
                                       double& frameRate) const {
    const RecorderStatistics statistics = recorder_ ? recorder_->statistics() : lastStatistics_;
    elapsedMs = statistics.elapsedMs;
    frames = statistics.frames;
    dropped = statistics.dropped;
    bytes = statistics.bytes;
    audioSamples = statistics.audioSamples;
    frameRate = recordRate_;
}

bool CaptureControl::OpenFrameCapture(double fps) {
    if (fps <= 0) return false;
    RecorderSettings settings;
    settings.fps = fps;
    settings.frameByFrame = true;
    if (!startRecorder(std::move(settings))) return false;
    frameCapture_ = true;
    return true;
}

bool CaptureControl::CaptureFrame() {
    if (!recorder_ || !frameCapture_ || !session_) return false;
    const Frame frame = session_->runner().latest().take();
    return frame.isValid() && recorder_->queue()->push(frame);
}

void CaptureControl::CloseFrameCapture() {
    if (recorder_ && frameCapture_) endCapture(QString());
}

int CaptureControl::VideoCompressorCount() const { return int(VideoCompressors().size()); }

QString CaptureControl::VideoCompressorName(int index) const {
    return index >= 0 && index < VideoCompressorCount() ? VideoCompressors()[size_t(index)].name : QString();
}

void CaptureControl::setVideoCompressorIndex(int index) {
    if (index >= 0 && index < VideoCompressorCount()) videoCompressor_ = index;
}

int CaptureControl::AudioCompressorCount() const { return int(AudioCompressors().size()); }

QString CaptureControl::AudioCompressorName(int index) const {
    return index >= 0 && index < AudioCompressorCount() ? AudioCompressors()[index] : QString();
}

void CaptureControl::setAudioCompressorIndex(int index) {
    if (index >= 0 && index < AudioCompressorCount()) audioCompressor_ = index;
}

}  // namespace kestrova
