#include "capture_window.h"

#include "media/media_session.h"
#include "media/recorder.h"
#include "media/test_pattern.h"

#include "core/number_forms.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>

#include <cmath>

namespace kestrova {

using namespace media;

namespace {

QHash<quintptr, QPointer<CaptureWindow>>& Windows() {
    static QHash<quintptr, QPointer<CaptureWindow>> windows;
    return windows;
}

// The drivers as the engine lists them, read once and again at each count.
std::vector<VideoDevice>& Drivers(bool refresh = false) {
    static std::vector<VideoDevice> drivers;
    static bool listed = false;
    if (refresh || !listed) {
        drivers = VideoDevices();
        listed = true;
    }
    return drivers;
}

CapDriverDescriber& Describer() {
    static CapDriverDescriber describer;
    return describer;
}

bool DescribeDriver(int index, QString& description, QString& version) {
    if (Describer()) return Describer()(index, description, version);
    const std::vector<VideoDevice>& drivers = Drivers();
    if (index < 0 || index >= int(drivers.size())) return false;
    const VideoDevice& device = drivers[size_t(index)];
    description = device.name;
    version = device.identity.isEmpty() ? QStringLiteral("Video Kestrova Test Pattern 1.0") : QStringLiteral("Video4Linux2");
    return true;
}

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
// window, its own timers and the engine's hand-overs get through. Timers that miss a shot fire at
// the next one.
class ExclusiveFilter final : public QObject {
public:
    ExclusiveFilter(CaptureWindow* window, std::initializer_list<QObject*> own) : window_(window), own_(own) {
        qApp->installEventFilter(this);
    }
    ~ExclusiveFilter() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Timer && !IsInput(type)) return false;
        if (std::find(own_.begin(), own_.end(), watched) != own_.end()) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == window_ || window_->isAncestorOf(widget))) return type == QEvent::Close;
        return true;
    }

private:
    CaptureWindow* window_;
    std::vector<QObject*> own_;
};

}  // namespace

CaptureWindow::CaptureWindow(const QString& name, QWidget* parent) : QWidget(parent) {
    static quintptr next = 0x1000;
    handle_ = next += 4;
    Windows().insert(handle_, this);
    setObjectName(name);
    setWindowTitle(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    repaint_.setSingleShot(true);
    connect(&repaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    progress_.setInterval(500);
    connect(&progress_, &QTimer::timeout, this, &CaptureWindow::progressTick);
}

CaptureWindow::~CaptureWindow() {
    Windows().remove(handle_);
    disconnectDriver();
}

CaptureWindow* CaptureWindow::find(quintptr handle) { return Windows().value(handle); }

bool CaptureWindow::connectDriver(int index) {
    disconnectDriver();
    const std::vector<VideoDevice>& drivers = Drivers();
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

bool CaptureWindow::open(const SourceSettings& settings) {
    session_.reset();
    auto session = std::make_unique<MediaSession>(settings);
    connect(session.get(), &MediaSession::frameAvailable, this, [this] {
        if (!live_ && !overlay_) {
            if (session_) session_->takeLatest();  // keeps the notices coming for the stills
            return;
        }
        if (!repaint_.isActive()) repaint_.start(previewInterval_);
    });
    connect(session.get(), &MediaSession::lost, this, [this](const QString& reason) { endSequence(reason); });
    session->start();
    // Connecting is synchronous for the callers: wait for the engine's answer.
    const auto deadline = std::chrono::steady_clock::now() + settings.openTimeout + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        const RunnerState state = session->runner().state();
        if (state == RunnerState::Running) {
            session_ = std::move(session);
            update();
            return true;
        }
        if (state == RunnerState::Failed || state == RunnerState::Stopped) break;
        QThread::msleep(2);
    }
    return false;
}

void CaptureWindow::disconnectDriver() {
    if (recorder_) endSequence(QStringLiteral("the driver was disconnected"));
    repaint_.stop();
    session_.reset();
    shown_ = QImage();
    shownNumber_ = -1;
    live_ = overlay_ = false;
    driver_ = -1;
    update();
}

bool CaptureWindow::selectFormat(QSize size, double fps) {
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

bool CaptureWindow::selectInput(int input) {
    if (!session_ || recorder_ || input < 0 || input >= device_.inputs.size() || device_.identity.isEmpty()) return false;
    SourceSettings settings = session_->runner().settings();
    settings.input = input_ = input;
    return open(settings);
}

CAPDRIVERCAPS CaptureWindow::caps() const {
    CAPDRIVERCAPS caps;
    caps.wDeviceIndex = uint32_t(std::max(0, driver_));
    caps.fHasOverlay = 0;  // no overlay hardware: the picture always goes through memory
    caps.fHasDlgVideoSource = !device_.inputs.isEmpty();
    caps.fHasDlgVideoFormat = !device_.formats.empty();
    caps.fHasDlgVideoDisplay = 0;
    caps.fCaptureInitialized = connected();
    return caps;
}

CAPSTATUS CaptureWindow::status() const {
    CAPSTATUS status;
    const QSize size = session_ ? session_->runner().size() : QSize();
    status.uiImageWidth = uint32_t(std::max(0, size.width()));
    status.uiImageHeight = uint32_t(std::max(0, size.height()));
    status.fLiveWindow = live_;
    status.fOverlayWindow = overlay_;
    status.fScale = scale_;
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

void CaptureWindow::setPreview(bool on, int intervalMs) {
    live_ = on;
    if (on) overlay_ = false;
    previewInterval_ = std::max(0, intervalMs);
    update();
}

void CaptureWindow::setOverlay(bool on) {
    overlay_ = on;
    if (on) live_ = false;
    update();
}

void CaptureWindow::setScale(bool on) {
    scale_ = on;
    update();
}

QImage CaptureWindow::currentFrame() const {
    if (!session_) return {};
    const Frame latest = session_->runner().latest().take();
    return latest.isValid() ? latest.image() : QImage();
}

void CaptureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!session_ || !(live_ || overlay_)) return;
    const Frame latest = session_->takeLatest();
    const QSize target = scale_ ? size() : session_->runner().size();
    if (latest.isValid() && (latest.number != shownNumber_ || shown_.size() != target)) {
        session_->runner().setPreviewSize(target);
        shown_ = latest.preview(target);
        shownNumber_ = latest.number;
    }
    if (!shown_.isNull()) painter.drawImage(0, 0, shown_);
}

void CaptureWindow::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (capturing() && ((left && parms.fAbortLeftMouse) || (right && parms.fAbortRightMouse))) {
        stopSequence();
        return;
    }
    emit mousePressed(event->button());
}

void CaptureWindow::mouseReleaseEvent(QMouseEvent* event) { emit mouseReleased(event->button()); }

void CaptureWindow::report(int id, const QString& text) {
    if (statusCallback) statusCallback(handle_, id, text);
}

bool CaptureWindow::startRecorder(double fps, bool frameByFrame) {
    if (!session_ || recorder_ || captureFile.isEmpty() || fps <= 0) return false;
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
    if (!frameByFrame && parms.fCaptureAudio) settings.audio = AudioDevices().front();
    std::int64_t limit = parms.dwIndexSize;
    if (!frameByFrame && parms.fLimitEnabled && parms.wTimeLimit > 0) {
        const std::int64_t timed = std::max<std::int64_t>(1, std::llround(parms.wTimeLimit * fps));
        limit = limit > 0 ? std::min(limit, timed) : timed;
    }
    settings.frameLimit = frameByFrame ? 0 : limit;
    const std::uint64_t number = ++sequence_;
    QPointer<CaptureWindow> self(this);
    auto recorder = std::make_unique<Recorder>(std::move(settings), [self, number](QString reason) {
        QMetaObject::invokeMethod(
            self, [self, number, reason] {
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

bool CaptureWindow::startSequence() {
    const double fps = parms.dwRequestMicroSecPerFrame > 0 ? 1e6 / parms.dwRequestMicroSecPerFrame : 0;
    if (!session_ || fps <= 0) return false;
    report(IDS_CAP_BEGIN, QStringLiteral("Capture Start"));
    if (!startRecorder(fps, false)) {
        report(IDS_CAP_END, QStringLiteral("Capture End: the capture file cannot be written"));
        return false;
    }
    singleFrame_ = false;
    report(IDS_CAP_STAT_CAP_INIT, QStringLiteral("Capture initialization complete - press OK to capture."));
    progress_.start();
    if (parms.fYield) return true;
    const ExclusiveFilter filter(this, {this, &repaint_, &progress_, session_.get()});
    while (recorder_) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return true;
}

void CaptureWindow::progressTick() {
    const CAPSTATUS now = status();
    report(IDS_CAP_STAT_VIDEOCURRENT, QStringLiteral("Captured %1 frames (%2 dropped) %3 sec.")
                                          .arg(now.dwCurrentVideoFrame)
                                          .arg(now.dwCurrentVideoFramesDropped)
                                          .arg(QString::number(now.dwCurrentTimeElapsedMS / 1000.0, 'f', 3)));
}

void CaptureWindow::endSequence(const QString& reason) {
    if (!recorder_) return;
    ++sequence_;  // a late end of this recorder is ignored
    progress_.stop();
    if (session_) session_->runner().detach(recorder_->queue());
    const QString failed = recorder_->stop();
    const RecorderStatistics done = recorder_->statistics();
    recorder_.reset();
    framesAtEnd_ = done.frames;
    droppedAtEnd_ = done.dropped;
    elapsedAtEnd_ = done.elapsedMs;
    if (std::exchange(singleFrame_, false)) return;
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
    const QString why = reason.isEmpty() ? failed : reason;
    report(IDS_CAP_END, why.isEmpty() ? QStringLiteral("Capture End") : QStringLiteral("Capture End: ") + why);
}

void CaptureWindow::stopSequence() {
    if (recorder_ && !singleFrame_) endSequence(QString());
}

bool CaptureWindow::capturing() const { return recorder_ && !singleFrame_ && recorder_->running(); }

bool CaptureWindow::openSingleFrame() {
    const double fps = parms.dwRequestMicroSecPerFrame > 0 ? 1e6 / parms.dwRequestMicroSecPerFrame : 0;
    if (!startRecorder(fps, true)) return false;
    singleFrame_ = true;
    return true;
}

bool CaptureWindow::captureSingleFrame() {
    if (!recorder_ || !singleFrame_ || !session_) return false;
    const Frame frame = session_->runner().latest().take();
    return frame.isValid() && recorder_->queue()->push(frame);
}

void CaptureWindow::closeSingleFrame() {
    if (recorder_ && singleFrame_) endSequence(QString());
}

void SetCapDriverDescriber(CapDriverDescriber describer) { Describer() = std::move(describer); }

quintptr capCreateCaptureWindow(const QString& name, QWidget* parent, int x, int y, int width, int height) {
    auto* window = new CaptureWindow(name, parent);
    window->setGeometry(x, y, width, height);
    window->show();
    return window->handle();
}

bool capDriverConnect(quintptr window, int index) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->connectDriver(index);
}

bool capDriverDisconnect(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->disconnectDriver();
    delete capture;
    return true;
}

bool capDriverGetCaps(quintptr window, CAPDRIVERCAPS& caps) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected()) return false;
    caps = capture->caps();
    return true;
}

bool capGetStatus(quintptr window, CAPSTATUS& status) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected()) return false;
    status = capture->status();
    return true;
}

bool capCaptureGetSetup(quintptr window, CAPTUREPARMS& parms) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected()) return false;
    parms = capture->parms;
    return true;
}

bool capCaptureSetSetup(quintptr window, const CAPTUREPARMS& parms) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected()) return false;
    capture->parms = parms;
    return true;
}

bool capSetCallbackOnStatus(quintptr window, CapStatusCallback callback) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->statusCallback = std::move(callback);
    return true;
}

bool capOverlay(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected() || !capture->caps().fHasOverlay) return false;
    capture->setOverlay(true);
    return true;
}

bool capPreviewScale(quintptr window, bool on) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->connected()) return false;
    capture->setScale(on);
    return true;
}

bool capFileSetCaptureFile(quintptr window, const QString& name) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || name.isEmpty()) return false;
    capture->captureFile = name;
    return true;
}

QString capFileGetCaptureFile(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture ? capture->captureFile.left(128).section(QChar(0), 0, 0) : QString();
}

bool capEditCopy(quintptr window, QImage& clipboard) {
    CaptureWindow* capture = CaptureWindow::find(window);
    const QImage frame = capture ? capture->currentFrame() : QImage();
    if (frame.isNull()) return false;
    clipboard = frame;
    return true;
}

// The driver's sound is what the engine's first audio input gives, described as PCM.
int capGetAudioFormatSize(quintptr window) { return CaptureWindow::find(window) ? int(sizeof(WAVEFORMATEX)) : 0; }

bool capGetAudioFormat(quintptr window, WAVEFORMATEX& format, int size) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || size <= 0) return false;
    format = capture->waveFormat;
    return true;
}

bool capSetAudioFormat(quintptr window, const WAVEFORMATEX& format, int size) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || size <= 0 || format.nChannels < 1 || format.nChannels > 2 ||
        (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec == 0) {
        return false;
    }
    capture->waveFormat = format;
    return true;
}

bool capCaptureSequence(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->startSequence();
}

bool capCaptureStop(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->capturing()) return false;
    capture->stopSequence();
    return true;
}

bool capCaptureSingleFrameOpen(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->openSingleFrame();
}

bool capCaptureSingleFrame(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->captureSingleFrame();
}

bool capCaptureSingleFrameClose(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->closeSingleFrame();
    return true;
}

bool capSetWindowPos(quintptr window, int left, int top, int width, int height) {
    CaptureWindow* capture = CaptureWindow::find(window);
    CAPSTATUS status;
    if (!capGetStatus(window, status)) return false;
    if (left == 0 && top == 0 && width == 0 && height == 0) {
        capture->resize(int(status.uiImageWidth), int(status.uiImageHeight));
    } else if (width + height == 0) {
        capture->move(left, top);
    } else {
        capture->setGeometry(left, top, width, height);
    }
    return true;
}

QString capDriverName(int index) {
    QString description, version;
    return DescribeDriver(index, description, version) ? description.section(QChar(0), 0, 0) : QStringLiteral("Error!");
}

QString capDriverVersion(int index) {
    QString description, version;
    return DescribeDriver(index, description, version) ? version.section(QChar(0), 0, 0) : QStringLiteral("Error!");
}

int capDriverCount() {
    if (!Describer()) Drivers(true);
    int count = 0;
    while (capDriverName(count) != QLatin1String("Error!")) ++count;
    return count;
}

bool capDriversPresent() { return capDriverCount() > 0; }

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

}  // namespace kestrova
