#include "capture_window.h"

#include "media/media_session.h"


#include <QHash>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QPainter>


namespace kestrova {

using namespace media;

namespace {

QHash<quintptr, QPointer<CaptureWindow>>& Windows() {
    static QHash<quintptr, QPointer<CaptureWindow>> windows;
    return windows;
}

CapDriverDescriber& Describer() {
    static CapDriverDescriber describer;
    return describer;
}

bool DescribeDriver(int index, QString& description, QString& version) {
    if (Describer()) return Describer()(index, description, version);
    const std::vector<VideoDevice>& drivers = CaptureDrivers();
    if (index < 0 || index >= int(drivers.size())) return false;
    const VideoDevice& device = drivers[size_t(index)];
    description = device.name;
    version = device.identity.isEmpty() ? QStringLiteral("Video Kestrova Test Pattern 1.0") : QStringLiteral("Video4Linux2");
    return true;
}

}  // namespace

CaptureWindow::CaptureWindow(const QString& name, QWidget* parent) : QWidget(parent) {
    static quintptr next = 0x1000;
    handle_ = next += 4;
    driver_ = std::make_unique<CaptureDriver>(handle_);
    Windows().insert(handle_, this);
    setObjectName(name);
    setWindowTitle(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    repaint_.setSingleShot(true);
    connect(&repaint_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    connect(driver_.get(), &CaptureDriver::frameAvailable, this, [this] {
        if (!repaint_.isActive()) repaint_.start(previewInterval_);
    });
}

CaptureWindow::~CaptureWindow() { Windows().remove(handle_); }

CaptureWindow* CaptureWindow::find(quintptr handle) { return Windows().value(handle); }

void CaptureWindow::setPreview(bool on, int intervalMs) {
    driver_->live = on;
    if (on) driver_->overlay = false;
    previewInterval_ = std::max(0, intervalMs);
    update();
}

void CaptureWindow::setOverlay(bool on) {
    driver_->overlay = on;
    if (on) driver_->live = false;
    update();
}

void CaptureWindow::setScale(bool on) {
    driver_->scale = on;
    update();
}

void CaptureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    MediaSession* session = driver_->session();
    if (!session || !(driver_->live || driver_->overlay)) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const Frame latest = session->takeLatest();
    // Scaled to the window, the picture keeps its proportions (black bars on a screen of others).
    const QSize picture = session->runner().size();
    const QSize target = driver_->scale && !picture.isEmpty() ? picture.scaled(size(), Qt::KeepAspectRatio) : picture;
    if (latest.isValid() && (latest.number != shownNumber_ || shown_.size() != target)) {
        session->runner().setPreviewSize(target);
        shown_ = latest.preview(target);
        shownNumber_ = latest.number;
    }
    QRect placed(QPoint(0, 0), shown_.size());
    if (driver_->scale) placed.moveCenter(rect().center());
    // Black only where the picture does not cover the window.
    for (const QRect& margin : QRegion(rect()).subtracted(placed)) painter.fillRect(margin, Qt::black);
    if (!shown_.isNull()) painter.drawImage(placed.topLeft(), shown_);
}

void CaptureWindow::mousePressEvent(QMouseEvent* event) {
    const bool left = event->button() == Qt::LeftButton;
    const bool right = event->button() == Qt::RightButton;
    if (driver_->capturing() && ((left && driver_->parms.fAbortLeftMouse) || (right && driver_->parms.fAbortRightMouse))) {
        driver_->stopSequence();
        return;
    }
    emit mousePressed(event->button());
}

void CaptureWindow::mouseReleaseEvent(QMouseEvent* event) { emit mouseReleased(event->button()); }

void SetCapDriverDescriber(CapDriverDescriber describer) { Describer() = std::move(describer); }

quintptr capCreateCaptureWindow(const QString& name, QWidget* parent, int x, int y, int width, int height) {
    auto* window = new CaptureWindow(name, parent);
    window->setGeometry(x, y, width, height);
    window->show();
    return window->handle();
}

bool capDriverConnect(quintptr window, int index) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->driver().connectDriver(index);
}

bool capDriverDisconnect(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->driver().disconnectDriver();
    // Gone for the handle at once; the widget itself with the next turn of the loop, since this may
    // run inside one of its own events (a click that ends an exclusive capture, a close).
    Windows().remove(window);
    capture->hide();
    capture->deleteLater();
    return true;
}

bool capDriverGetCaps(quintptr window, CAPDRIVERCAPS& caps) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) return false;
    caps = capture->driver().caps();
    return true;
}

bool capGetStatus(quintptr window, CAPSTATUS& status) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) return false;
    status = capture->driver().status();
    return true;
}

bool capCaptureGetSetup(quintptr window, CAPTUREPARMS& parms) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) return false;
    parms = capture->driver().parms;
    return true;
}

bool capCaptureSetSetup(quintptr window, const CAPTUREPARMS& parms) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) return false;
    capture->driver().parms = parms;
    return true;
}

bool capSetCallbackOnStatus(quintptr window, CapStatusCallback callback) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->driver().statusCallback = std::move(callback);
    return true;
}

bool capOverlay(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected() || !capture->driver().caps().fHasOverlay) return false;
    capture->setOverlay(true);
    return true;
}

bool capPreviewScale(quintptr window, bool on) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().connected()) return false;
    capture->setScale(on);
    return true;
}

bool capFileSetCaptureFile(quintptr window, const QString& name) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || name.isEmpty()) return false;
    capture->driver().captureFile = name;
    return true;
}

QString capFileGetCaptureFile(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture ? capture->driver().captureFile.left(128).section(QChar(0), 0, 0) : QString();
}

bool capEditCopy(quintptr window, QImage& clipboard) {
    CaptureWindow* capture = CaptureWindow::find(window);
    const QImage frame = capture ? capture->driver().currentFrame() : QImage();
    if (frame.isNull()) return false;
    clipboard = frame;
    return true;
}

// The driver's sound is what the engine's first audio input gives, described as PCM.
int capGetAudioFormatSize(quintptr window) { return CaptureWindow::find(window) ? int(sizeof(WAVEFORMATEX)) : 0; }

bool capGetAudioFormat(quintptr window, WAVEFORMATEX& format, int size) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || size <= 0) return false;
    format = capture->driver().waveFormat;
    return true;
}

bool capSetAudioFormat(quintptr window, const WAVEFORMATEX& format, int size) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || size <= 0 || format.nChannels < 1 || format.nChannels > 2 ||
        (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec == 0) {
        return false;
    }
    capture->driver().waveFormat = format;
    return true;
}

bool capCaptureSequence(quintptr window, QObject* stopButton) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->driver().startSequence(capture, stopButton);
}

bool capCaptureStop(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture || !capture->driver().capturing()) return false;
    capture->driver().stopSequence();
    return true;
}

bool capCaptureSingleFrameOpen(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->driver().openSingleFrame();
}

bool capCaptureSingleFrame(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    return capture && capture->driver().captureSingleFrame();
}

bool capCaptureSingleFrameClose(quintptr window) {
    CaptureWindow* capture = CaptureWindow::find(window);
    if (!capture) return false;
    capture->driver().closeSingleFrame();
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
    if (!Describer()) CaptureDrivers(true);
    int count = 0;
    while (capDriverName(count) != QLatin1String("Error!")) ++count;
    return count;
}

bool capDriversPresent() { return capDriverCount() > 0; }

}  // namespace kestrova
