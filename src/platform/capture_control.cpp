#include "capture_control.h"

#include "core/capture_records.h"

#include "media/v4l2_devices.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace kestrova {

using namespace media;

namespace {

class SystemHardware final : public VideoHardware {
public:
    std::vector<VideoDevice> devices() override { return VideoDevices(); }
    std::optional<int> tunerSignal(const QString& identity) override {
        const QString node = ResolveIdentity(identity);
        return node.isEmpty() ? std::nullopt : TunerSignal(node);
    }
    bool setTunerFrequency(const QString& identity, std::int64_t hertz) override {
        const QString node = ResolveIdentity(identity);
        return !node.isEmpty() && SetTunerFrequency(node, hertz);
    }
};

}  // namespace

std::shared_ptr<VideoHardware> SystemVideoHardware() {
    static const auto system = std::make_shared<SystemHardware>();
    return system;
}

CaptureControl::CaptureControl(QWidget* parent) : QWidget(parent), hardware_(SystemVideoHardware()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    repaintTimer_.setSingleShot(true);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    sincePaint_.start();
}

CaptureControl::~CaptureControl() { close(); }

const std::vector<VideoDevice>& CaptureControl::devices() const {
    if (!listed_) {
        devices_ = hardware_->devices();
        listed_ = true;
    }
    return devices_;
}

void CaptureControl::setHardware(std::shared_ptr<VideoHardware> hardware) {
    hardware_ = hardware ? std::move(hardware) : SystemVideoHardware();
    listed_ = false;
}

const VideoDevice* CaptureControl::currentDevice() const {
    if (deviceIndex_ < 0 || deviceIndex_ >= int(devices().size())) return nullptr;
    return &devices()[size_t(deviceIndex_)];
}

bool CaptureControl::Connected() const {
    if (!session_) return false;
    const RunnerState state = session_->runner().state();
    return state != RunnerState::Failed && state != RunnerState::Stopped;
}

void CaptureControl::setConnected(bool on) {
    if (!on) {
        close();
        return;
    }
    // The device list is read afresh at every connect: a camera may have come or gone.
    listed_ = false;
    if (deviceIndex_ == NetworkCameraIndex) {
        SourceSettings settings;
        settings.kind = QString::fromLatin1(KindIpCamera);
        settings.address = cameraUrl_;
        settings.pollRate = previewRate_;
        open(settings);
        return;
    }
    const VideoDevice* device = currentDevice();
    if (!device) {
        close();
        emit openFailed(QStringLiteral("no device %1").arg(deviceIndex_));
        return;
    }
    open(device->settings(formatRow_, device->identity.isEmpty() ? -1 : inputIndex_));
}

void CaptureControl::open(const SourceSettings& settings) {
    close();
    session_ = std::make_unique<MediaSession>(settings);
    connect(session_.get(), &MediaSession::opened, this, [this](QSize size) {
        videoSize_ = size;
        emit opened();
    });
    connect(session_.get(), &MediaSession::failed, this, [this](const QString& reason) {
        videoSize_ = QSize();
        emit openFailed(reason);
    });
    connect(session_.get(), &MediaSession::lost, this, [this](const QString& reason) {
        // A movie ends with its source: what was recorded stays playable.
        endCapture(reason);
        emit sourceLost(reason);
    });
    connect(session_.get(), &MediaSession::frameAvailable, this, &CaptureControl::frameArrived);
    sinceOpen_.start();
    session_->start();
}

void CaptureControl::close() {
    if (recorder_) endCapture(QStringLiteral("the source was closed"));
    repaintTimer_.stop();
    if (session_) {
        // Not deleted at once: this may run inside one of the session's own signals.
        session_->disconnect(this);
        session_->stop();
        session_.release()->deleteLater();
    }
    shown_ = Frame();
    preview_ = QImage();
    previewNumber_ = -1;
    previewSize_ = QSize();
    videoSize_ = QSize();
    update();
}

int CaptureControl::VideoDeviceCount() const { return int(devices().size()); }

QString CaptureControl::VideoDeviceName(int index) const {
    return index >= 0 && index < VideoDeviceCount() ? devices()[size_t(index)].name : QString();
}

int CaptureControl::VideoInputCount() const {
    const VideoDevice* device = currentDevice();
    return device ? int(device->inputs.size()) : 0;
}

QString CaptureControl::VideoInputName(int index) const {
    const VideoDevice* device = currentDevice();
    return device ? device->inputs.value(index) : QString();
}

void CaptureControl::setVideoInputIndex(int index) {
    if (index == inputIndex_ || index < 0 || (VideoInputCount() > 0 && index >= VideoInputCount())) return;
    inputIndex_ = index;
    if (Connected()) setConnected(true);
}

std::vector<FormatRow> CaptureControl::VideoFormats() const {
    const VideoDevice* device = currentDevice();
    return device ? device->formats : std::vector<FormatRow>();
}

bool CaptureControl::SelectVideoFormat(int row) {
    const VideoDevice* device = currentDevice();
    if (!device || row < 0 || row >= int(device->formats.size())) return false;
    formatRow_ = row;
    if (Connected() && deviceIndex_ != NetworkCameraIndex) setConnected(true);
    return true;
}

void CaptureControl::setPreviewOn(bool on) {
    previewOn_ = on;
    update();
}

void CaptureControl::setOverlayOn(bool on) {
    // There is no hardware overlay: overlay mode shows the same picture as the preview.
    overlayOn_ = on;
    update();
}

void CaptureControl::setScalePreview(bool on) {
    scalePreview_ = on;
    update();
}

void CaptureControl::setPreviewFrameRate(int rate) { previewRate_ = std::clamp(rate, 1, 120); }

void CaptureControl::QueryVideoSize() { videoSize_ = session_ ? session_->runner().size() : QSize(); }

QImage CaptureControl::CurrentPicture() const {
    if (!session_) return {};
    const Frame latest = session_->runner().latest().take();
    return latest.isValid() ? latest.image() : shown_.image();
}

void CaptureControl::setFullScreen(int mode) {
    if (mode == fullScreen_) return;
    fullScreen_ = mode == 1 ? 1 : 0;
    setWindowFlag(Qt::Window, fullScreen_ == 1);
    if (fullScreen_ == 1) {
        showFullScreen();
    } else {
        showNormal();
    }
}

void CaptureControl::TextOverlay(int number, const QString& text, int x, int y, const QString& fontName, int size,
                                 const QColor& colour, int) {
    overlays_.setText(number, {text, x, y, fontName, size, colour});
    update();
}

void CaptureControl::ImageOverlay(const QImage& picture, int x, int y, const QColor& transparency, int) {
    overlays_.setImage(picture, x, y, transparency);
    update();
}

int CaptureControl::AudioDeviceCount() const {
    if (!audioListed_) {
        audioDevices_ = AudioDevices();
        audioListed_ = true;
    }
    return int(audioDevices_.size());
}

QString CaptureControl::AudioDeviceName(int index) const {
    return index >= 0 && index < AudioDeviceCount() ? audioDevices_[size_t(index)].name : QString();
}

void CaptureControl::setAudioDeviceIndex(int index) {
    if (index >= 0 && index < AudioDeviceCount()) {
        audioIndex_ = index;
        audioInputIndex_ = 0;
    }
}

WAVEFORMATEX CaptureControl::RecordedAudioFormat() const {
    // The Test Tone is made at 44100 Hz mono; an input is asked for 44100 Hz stereo.
    const bool input = audioIndex_ < AudioDeviceCount() && !audioDevices_[size_t(audioIndex_)].format.isEmpty();
    WAVEFORMATEX format;
    format.nChannels = input ? 2 : 1;
    format.nSamplesPerSec = media::TestToneRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = uint16_t(format.nChannels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// Every audio device has one input: the sound server mixes the sockets of a card itself.
int CaptureControl::AudioInputCount() const { return AudioDeviceCount() > 0 ? 1 : 0; }

QString CaptureControl::AudioInputName(int index) const {
    return index == 0 && AudioInputCount() > 0 ? AudioDeviceName(audioIndex_) : QString();
}

void CaptureControl::setAudioInputIndex(int index) {
    if (index >= 0 && index < AudioInputCount()) audioInputIndex_ = index;
}

int CaptureControl::RecordingLevel(int level) {
    if (level >= 0) recordingLevel_ = std::min(level, 100);
    return recordingLevel_;
}

bool CaptureControl::OpenStream(const QString& url) {
    if (url.trimmed().isEmpty()) return false;
    streamUrl_ = url.trimmed();
    return PlayStream();
}

bool CaptureControl::PlayStream() {
    if (streamUrl_.isEmpty()) return false;
    if (Connected()) return true;
    SourceSettings settings;
    settings.kind = QString::fromLatin1(KindStream);
    settings.address = streamUrl_;
    open(settings);
    return true;
}

void CaptureControl::StopStream() { close(); }

void CaptureControl::CloseStream() {
    close();
    streamUrl_.clear();
}

int CaptureControl::DeviceKind() const { return tunerDevice() ? 1 : 0; }

const VideoDevice* CaptureControl::tunerDevice() const {
    const VideoDevice* device = deviceIndex_ == NetworkCameraIndex ? nullptr : currentDevice();
    return device && device->tuner ? device : nullptr;
}

int CaptureControl::TunerChannel(int query) const {
    const auto [low, high] = ChannelLimits(tunerCountry_, tunerInput_);
    if (query == -2) return low;
    if (query == -3) return high;
    return tunerChannel_;
}

bool CaptureControl::setTunerChannel(int channel) {
    const VideoDevice* device = tunerDevice();
    const auto hertz = ChannelFrequency(tunerCountry_, tunerInput_, channel);
    if (!device || !hertz || !hardware_->setTunerFrequency(device->identity, *hertz)) return false;
    tunerChannel_ = channel;
    return true;
}

int CaptureControl::TunerSignal() const {
    const VideoDevice* device = tunerDevice();
    if (!device) return 0;
    // Analogue drivers report a locked carrier at or near full strength and noise far below it.
    return hardware_->tunerSignal(device->identity).value_or(0) >= 50 ? 1 : 0;
}

int CaptureControl::DVTransport(int) { return 0; }

void CaptureControl::frameArrived() {
    if (repaintTimer_.isActive()) return;
    const qint64 period = 1000 / std::max(1, previewRate_);
    repaintTimer_.start(int(std::max<qint64>(0, period - sincePaint_.elapsed())));
}

void CaptureControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (session_ && (previewOn_ || overlayOn_)) {
        const Frame latest = session_->takeLatest();
        if (latest.isValid()) shown_ = latest;
        sincePaint_.restart();
    }
    if (!session_ || !(previewOn_ || overlayOn_) || !shown_.isValid()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QSize picture = shown_.size();
    QRect target(QPoint(0, 0), scalePreview_ ? picture.scaled(size(), Qt::KeepAspectRatio) : picture);
    target.moveCenter(rect().center());
    if (target.size() != previewSize_) {
        previewSize_ = target.size();
        session_->runner().setPreviewSize(previewSize_);
    }
    if (shown_.number != previewNumber_ || preview_.size() != target.size()) {
        preview_ = shown_.preview(target.size());
        previewNumber_ = shown_.number;
    }
    for (const QRect& margin : QRegion(rect()).subtracted(target)) painter.fillRect(margin, Qt::black);
    painter.drawImage(target.topLeft(), preview_);
    if (overlays_.isEmpty()) return;
    painter.translate(target.topLeft());
    painter.scale(double(target.width()) / picture.width(), double(target.height()) / picture.height());
    const double fps = session_->runner().settings().fps > 0 ? session_->runner().settings().fps : 30;
    DrawCaptureOverlays(painter, overlays_, sinceOpen_.elapsed(), fps);
}

void CaptureControl::mousePressEvent(QMouseEvent* event) {
    const int button = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : event->button() == Qt::MiddleButton ? 4 : 0;
    emit mouseButtonPressed(button);
    QWidget::mousePressEvent(event);
}

}  // namespace kestrova
