#include "capture_driver.h"

#include "media/media_session.h"
#include "media/recorder.h"
#include "media/test_pattern.h"

#include "core/number_forms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QThread>

#include <cmath>

namespace kestrova {

using namespace media;

namespace {

double RateOf(const SourceSettings& settings) {
    if (settings.fps > 0) return settings.fps;
    return settings.kind == QLatin1String(KindTestPattern) ? TestPatternRate : 0;
}

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// While an exclusive capture runs, input and timers of every other window wait: only the capture
// window, the stop button (with what it holds), their own timers and the engine's hand-overs get
// through. Timers that miss a shot fire at the next one.
class ExclusiveFilter final : public QObject {
public:
    ExclusiveFilter(QObject* window, QObject* stopButton, std::initializer_list<QObject*> own)
        : window_(window), stopButton_(stopButton), own_(own) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~ExclusiveFilter() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Timer && !IsInput(type)) return false;
        if (std::find(own_.begin(), own_.end(), watched) != own_.end()) return false;
        for (const QObject* object = watched; object; object = object->parent()) {
            if (object == window_) return type == QEvent::Close;
            if (object == stopButton_) return false;
        }
        return true;
    }

private:
    QObject* window_;
    QPointer<QObject> stopButton_;
    std::vector<QObject*> own_;
};

}  // namespace

unsigned FrameInterval(double framesPerSecond) {
    return framesPerSecond > 0 ? unsigned(RoundHalfEven(1e6 / framesPerSecond)) : 0;
}

int FramesPerSecondOfInterval(unsigned microSeconds) {
    const double rate = microSeconds > 0 ? 1e6 / microSeconds : 0;
    return rate < 2 ? 12 : int(RoundHalfEven(rate));
}

int PreviewInterval(int framesPerSecond) {
    return framesPerSecond < 1 ? 0 : int(RoundHalfEven(1000.0 / framesPerSecond));
}

const std::vector<VideoDevice>& CaptureDrivers(bool refresh) {
    static std::vector<VideoDevice> drivers;
    static bool listed = false;
    if (refresh || !listed) {
        drivers = VideoDevices();
        listed = true;
    }
    return drivers;
}

CaptureDriver::CaptureDriver(quintptr handle) : handle_(handle) {
    progress_.setInterval(500);
    connect(&progress_, &QTimer::timeout, this, &CaptureDriver::progressTick);
}

CaptureDriver::~CaptureDriver() { disconnectDriver(); }

bool CaptureDriver::connectDriver(int index) {
    disconnectDriver();
    const std::vector<VideoDevice>& drivers = CaptureDrivers();
    if (index < 0 || index >= int(drivers.size())) return false;
    device_ = drivers[size_t(index)];
    driver_ = index;
    formatRow_ = -1;
    input_ = device_.identity.isEmpty() ? -1 : 0;
    if (!open(device_.settings(formatRow_, input_))) {
        driver_ = -1;
        return false;
    }
    return true;
}

bool CaptureDriver::open(const SourceSettings& settings) {
    session_.reset();
    auto session = std::make_unique<MediaSession>(settings);
    connect(session.get(), &MediaSession::frameAvailable, this, [this] {
        if (!live && !overlay) {
            if (session_) session_->takeLatest();  // keeps the notices coming for the stills
            return;
        }
        emit frameAvailable();
    });
    connect(session.get(), &MediaSession::lost, this, [this](const QString& reason) { endSequence(reason); });
    session->start();
    // Connecting is synchronous for the callers: wait for the engine's answer.
    const auto deadline = std::chrono::steady_clock::now() + settings.openTimeout + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        const RunnerState state = session->runner().state();
        if (state == RunnerState::Running) {
            session_ = std::move(session);
            return true;
        }
        if (state == RunnerState::Failed || state == RunnerState::Stopped) break;
        QThread::msleep(2);
    }
    return false;
}

void CaptureDriver::disconnectDriver() {
    if (recorder_) endSequence(QStringLiteral("the driver was disconnected"));
    // An exclusive capture's wait ends with its driver; the movie is finished all the same.
    if (exclusiveLoop_) exclusiveLoop_->quit();
    session_.reset();
    live = overlay = false;
    driver_ = -1;
}

bool CaptureDriver::selectFormat(QSize size, double fps) {
    if (!session_ || recorder_) return false;
    SourceSettings settings = session_->runner().settings();
    settings.size = size;
    settings.fps = fps;
    formatRow_ = -1;
    for (size_t row = 0; row < device_.formats.size(); ++row) {
        const FormatRow& format = device_.formats[row];
        if (QSize(format.width, format.height) == size) {
            formatRow_ = int(row);
            settings.pixelFormat = format.pixelFormat;
            break;
        }
    }
    return open(settings);
}

bool CaptureDriver::selectInput(int input) {
    if (!session_ || recorder_ || input < 0 || input >= device_.inputs.size() || device_.identity.isEmpty()) return false;
    SourceSettings settings = session_->runner().settings();
    settings.input = input_ = input;
    return open(settings);
}

CAPDRIVERCAPS CaptureDriver::caps() const {
    CAPDRIVERCAPS caps;
    caps.wDeviceIndex = uint32_t(std::max(0, driver_));
    caps.fHasOverlay = 0;  // no overlay hardware: the picture always goes through memory
    caps.fHasDlgVideoSource = !device_.inputs.isEmpty();
    caps.fHasDlgVideoFormat = !device_.formats.empty();
    caps.fHasDlgVideoDisplay = 0;
    caps.fCaptureInitialized = connected();
    return caps;
}

CAPSTATUS CaptureDriver::status() const {
    CAPSTATUS status;
    const QSize size = session_ ? session_->runner().size() : QSize();
    status.uiImageWidth = uint32_t(std::max(0, size.width()));
    status.uiImageHeight = uint32_t(std::max(0, size.height()));
    status.fLiveWindow = live;
    status.fOverlayWindow = overlay;
    status.fScale = scale;
    status.fAudioHardware = 1;  // Test Tone at least
    status.fCapFileExists = !captureFile.isEmpty() && QFile::exists(captureFile);
    std::int64_t frames = framesAtEnd_, dropped = droppedAtEnd_, elapsed = elapsedAtEnd_, samples = 0;
    if (recorder_) {
        const RecorderStatistics now = recorder_->statistics();
        frames = now.frames;
        dropped = now.dropped;
        elapsed = now.elapsedMs;
        samples = now.audioSamples;
    }
    status.dwCurrentVideoFrame = uint32_t(frames);
    status.dwCurrentVideoFramesDropped = uint32_t(dropped);
    status.dwCurrentTimeElapsedMS = uint32_t(elapsed);
    status.dwCurrentWaveSamples = uint32_t(samples);
    status.fCapturingNow = capturing();
    status.wNumVideoAllocated = parms.wNumVideoRequested ? parms.wNumVideoRequested : 16;
    return status;
}




QImage CaptureDriver::currentFrame() const {
    if (!session_) return {};
    const Frame latest = session_->runner().latest().take();
    return latest.isValid() ? latest.image() : QImage();
}

void CaptureDriver::report(int id, const QString& text) {
    if (statusCallback) statusCallback(handle_, id, text);
}

bool CaptureDriver::startRecorder(double fps, bool frameByFrame) {
    if (!session_ || recorder_ || finishing_ > 0 || captureFile.isEmpty() || fps <= 0) return false;
    // The driver captures at the requested rate, so that no frame is thrown away to keep time.
    if (!frameByFrame && std::abs(RateOf(session_->runner().settings()) - fps) > 0.001) {
        SourceSettings settings = session_->runner().settings();
        settings.fps = fps;
        if (!open(settings)) return false;
    }
    RecorderSettings settings;
    settings.path = captureFile;
    settings.size = session_->runner().size();
    settings.fps = fps;
    settings.compressor = compressor;
    settings.frameByFrame = frameByFrame;
    if (parms.wNumVideoRequested > 0) settings.queueCapacity = parms.wNumVideoRequested;
    if (!frameByFrame && parms.fCaptureAudio) {
        settings.audio = AudioDevices().front();
        settings.audioBits = waveFormat.wBitsPerSample;
        settings.audioRate = int(waveFormat.nSamplesPerSec);
        settings.audioChannels = waveFormat.nChannels;
    }
    std::int64_t limit = parms.dwIndexSize;
    if (!frameByFrame && parms.fLimitEnabled && parms.wTimeLimit > 0) {
        const std::int64_t timed = std::max<std::int64_t>(1, std::llround(parms.wTimeLimit * fps));
        limit = limit > 0 ? std::min(limit, timed) : timed;
    }
    settings.frameLimit = frameByFrame ? 0 : limit;
    const std::uint64_t number = ++sequence_;
    QPointer<CaptureDriver> self(this);
    auto recorder = std::make_unique<Recorder>(std::move(settings), [self, number](QString reason) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [self, number, reason] {
                if (self && self->sequence_ == number) self->endSequence(reason);
            },
            Qt::QueuedConnection);
    });
    if (!recorder->start().isEmpty()) return false;
    framesAtEnd_ = droppedAtEnd_ = elapsedAtEnd_ = 0;
    recorder_ = std::move(recorder);
    if (!frameByFrame) session_->runner().attach(recorder_->queue());
    return true;
}

bool CaptureDriver::startSequence(QObject* exclusiveWindow, QObject* stopButton) {
    const double fps = parms.dwRequestMicroSecPerFrame > 0 ? 1e6 / parms.dwRequestMicroSecPerFrame : 0;
    if (!session_ || fps <= 0 || exclusiveLoop_) return false;
    report(IDS_CAP_BEGIN, QStringLiteral("Capture Start"));
    if (!startRecorder(fps, false)) {
        report(IDS_CAP_END, finishing_ > 0 ? QStringLiteral("Capture End: the last movie is still being finished")
                                           : QStringLiteral("Capture End: the capture file cannot be written"));
        return false;
    }
    singleFrame_ = false;
    report(IDS_CAP_STAT_CAP_INIT, QStringLiteral("Capture initialization complete - press OK to capture."));
    progress_.start();
    if (parms.fYield) return true;
    // The one wait of the program: until the sequence has ended and its file is whole. Input and
    // timers of other windows wait meanwhile, so nothing can start a second one; the system's close
    // request still gets through and ends the loop.
    const ExclusiveFilter filter(exclusiveWindow, stopButton, {this, &progress_, session_.get()});
    QEventLoop loop;
    exclusiveLoop_ = &loop;
    const QPointer<CaptureDriver> self(this);
    loop.exec();
    if (self) exclusiveLoop_ = nullptr;
    return true;
}

void CaptureDriver::progressTick() {
    const CAPSTATUS now = status();
    report(IDS_CAP_STAT_VIDEOCURRENT, QStringLiteral("Captured %1 frames (%2 dropped) %3 sec.")
                                          .arg(now.dwCurrentVideoFrame)
                                          .arg(now.dwCurrentVideoFramesDropped)
                                          .arg(QString::number(now.dwCurrentTimeElapsedMS / 1000.0, 'f', 3)));
}

void CaptureDriver::endSequence(const QString& reason) {
    if (!recorder_) return;
    ++sequence_;  // a late end of this recorder is ignored
    progress_.stop();
    if (session_) session_->runner().detach(recorder_->queue());
    const bool singleFrame = std::exchange(singleFrame_, false);
    const RecorderStatistics sofar = recorder_->statistics();
    framesAtEnd_ = sofar.frames;
    droppedAtEnd_ = sofar.dropped;
    elapsedAtEnd_ = sofar.elapsedMs;
    ++finishing_;
    // The application object outlives every finishing movie (the program's end waits for them).
    const QPointer<CaptureDriver> self(this);
    FinishInBackground(std::move(recorder_), [self, reason, singleFrame](QString failed, RecorderStatistics done) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, why = reason.isEmpty() ? failed : reason, singleFrame, done] {
                if (self) self->sequenceFinished(why, singleFrame, done);
            },
            Qt::QueuedConnection);
    });
}

void CaptureDriver::sequenceFinished(const QString& why, bool singleFrame, const RecorderStatistics& done) {
    --finishing_;
    framesAtEnd_ = done.frames;
    droppedAtEnd_ = done.dropped;
    elapsedAtEnd_ = done.elapsedMs;
    if (!singleFrame) {
        const double seconds = done.elapsedMs / 1000.0;
        const QString summary = QStringLiteral("Captured %1 sec.  %2 frames (%3 dropped) (%4 fps).")
                                    .arg(QString::number(seconds, 'f', 3))
                                    .arg(done.frames)
                                    .arg(done.dropped)
                                    .arg(QString::number(seconds > 0 ? done.frames / seconds : 0, 'f', 3));
        report(parms.fCaptureAudio ? IDS_CAP_STAT_VIDEOAUDIO : IDS_CAP_STAT_VIDEOONLY, summary);
        const std::int64_t offered = done.frames + done.dropped;
        if (parms.wPercentDropForError > 0 && done.dropped * 100 > std::int64_t(parms.wPercentDropForError) * offered) {
            report(IDS_CAP_STAT_FRAMESDROPPED, QStringLiteral("Dropped %1 of %2 frames (%3%) during capture.")
                                                   .arg(done.dropped)
                                                   .arg(offered)
                                                   .arg(offered > 0 ? done.dropped * 100 / offered : 0));
        }
        report(IDS_CAP_END, why.isEmpty() ? QStringLiteral("Capture End") : QStringLiteral("Capture End: ") + why);
    }
    if (exclusiveLoop_) exclusiveLoop_->quit();
}

void CaptureDriver::stopSequence() {
    if (recorder_ && !singleFrame_) endSequence(QString());
}

bool CaptureDriver::capturing() const { return recorder_ && !singleFrame_ && recorder_->running(); }

bool CaptureDriver::openSingleFrame() {
    const double fps = parms.dwRequestMicroSecPerFrame > 0 ? 1e6 / parms.dwRequestMicroSecPerFrame : 0;
    if (!startRecorder(fps, true)) return false;
    singleFrame_ = true;
    return true;
}

bool CaptureDriver::captureSingleFrame() {
    if (!recorder_ || !singleFrame_ || !session_) return false;
    const Frame frame = session_->runner().latest().take();
    return frame.isValid() && recorder_->queue()->push(frame);
}

void CaptureDriver::closeSingleFrame() {
    if (recorder_ && singleFrame_) endSequence(QString());
}

}  // namespace kestrova
