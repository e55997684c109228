#include "video_screen.h"

#include "device_choice.h"
#include "source_backend.h"
#include "video_info.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/capture_window.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLinearGradient>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

namespace {

constexpr int DisconnectedWidth = 320;
constexpr int DisconnectedHeight = 260;

}  // namespace

QImage& StillSlot() {
    static QImage still;
    return still;
}

QImage MakeTestCard() {
    QImage card(720, 576, QImage::Format_RGB32);
    QPainter painter(&card);
    const QColor bars[] = {Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue, Qt::black};
    const int barWidth = card.width() / 8;
    for (int i = 0; i < 8; ++i) painter.fillRect(i * barWidth, 0, barWidth, card.height() * 2 / 3, bars[i]);
    QLinearGradient ramp(0, 0, card.width(), 0);
    ramp.setColorAt(0, Qt::black);
    ramp.setColorAt(1, Qt::white);
    painter.fillRect(0, card.height() * 2 / 3, card.width(), card.height() / 3, ramp);
    painter.fillRect(QRect(160, 220, 400, 80), Qt::black);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(40);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(160, 220, 400, 80), Qt::AlignCenter, QStringLiteral("Video Kestrova"));
    return card;
}

VideoScreen::VideoScreen(QWidget* parent)
    : QWidget(parent), wdmX_(new CaptureControl(this)), statusBar_(new QStatusBar(this)), mira_(MakeTestCard()) {
    setObjectName(QStringLiteral("VideoScreen"));
    wdmX_->setObjectName(QStringLiteral("wdmX"));
    wdmX_->hide();
    wdmX_->installEventFilter(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    resolutionPanel_ = new QLabel(statusBar_);
    statusBar_->addWidget(resolutionPanel_, 1);
    audioPanel_ = new QToolButton(statusBar_);
    audioPanel_->setObjectName(QStringLiteral("audio"));
    audioPanel_->setCheckable(true);
    audioPanel_->setText(u' ' + Translate(QStringLiteral("Audio")) + u' ');
    connect(audioPanel_, &QToolButton::clicked, this, [this] {
        wdmX_->setPreviewOn(false);
        wdmX_->setAudioPreview(!wdmX_->AudioPreview());
        wdmX_->setPreviewOn(true);
        audioPanel_->setChecked(wdmX_->AudioPreview());
        ResizeWDM();
        SizeVideoWindow();
    });
    statusBar_->addPermanentWidget(audioPanel_);
    const std::array<std::pair<const char*, double>, 5> zooms = {
        {{"1/3", 0.33}, {"1/2", 0.5}, {"1x", 1}, {"2x", 2}, {"3x", 3}}};
    for (const auto& [text, zoom] : zooms) {
        auto* panel = new QToolButton(statusBar_);
        panel->setObjectName(QStringLiteral("size_%1").arg(zoom, 4, 'f', 2).replace(u'.', u'_'));
        panel->setText(QString::fromLatin1(text));
        panel->setCheckable(true);
        panel->setAutoExclusive(true);
        connect(panel, &QToolButton::clicked, this, [this, panel, zoom = zoom] {
            panel->setChecked(true);
            setWinVideoSize(zoom);
        });
        statusBar_->addPermanentWidget(panel);
    }
    statusBar_->findChild<QToolButton*>(QStringLiteral("size_1_00"))->setChecked(true);
    statusBar_->hide();
    wdmStatus_.setObjectName(QStringLiteral("WDMStatus"));
    wdmStatus_.setInterval(100);
    connect(&wdmStatus_, &QTimer::timeout, this, &VideoScreen::WDMStatusTick);
    connect(&wdmStatus_, &QTimer::timeout, this, &VideoScreen::statusTick);
    dvStatus_.setObjectName(QStringLiteral("DVStatus"));
    dvStatus_.setInterval(40);
    connect(&dvStatus_, &QTimer::timeout, this, &VideoScreen::DVStatusTick);
    connect(&dvStatus_, &QTimer::timeout, this, &VideoScreen::dvStatusTick);
    mastertoolbar_ = new QToolBar(this);
    mastertoolbar_->setObjectName(QStringLiteral("Mastertoolbar"));
    const std::array<std::pair<const char*, int>, 5> transport = {{{"play", 1}, {"pause", 3}, {"stop", 2}, {"rew", 6}, {"fwd", 5}}};
    for (const auto& [key, command] : transport) {
        QAction* button = mastertoolbar_->addAction(QString::fromLatin1(key));
        button->setObjectName(QString::fromLatin1(key));
        connect(button, &QAction::triggered, this, [this, command = command] { wdmX_->DVTransport(command); });
    }
    mastertoolbar_->hide();
    dvPos_ = new QLabel(this);
    dvPos_->setObjectName(QStringLiteral("DVpos"));
    dvPos_->hide();
    dvTaken_ = new QLabel(this);
    dvTaken_->setObjectName(QStringLiteral("DVtaken"));
    dvTaken_->hide();
    connect(wdmX_, &CaptureControl::opened, this, &VideoScreen::engineOpened);
    connect(wdmX_, &CaptureControl::openFailed, this, &VideoScreen::engineFailed);
    connect(wdmX_, &CaptureControl::sourceLost, this, &VideoScreen::statusText);
    connectCaptureNotifications();
    connect(wdmX_, &CaptureControl::mouseButtonPressed, this, [this](int button) {
        if (button == 1) DragWindow();
    });
    setWindowTitle(SettingsAppTitle());
    resize(DisconnectedWidth, DisconnectedHeight);
    backend_ = MakeBackend(SourceKind::None, *this);
}

VideoScreen::~VideoScreen() = default;

SourceKind VideoScreen::Kind() const { return backend_->kind(); }

bool VideoScreen::initializing() const { return backend_->initializing(); }

// The old back-end may be in the middle of one of its operations (a connect asking for an address
// while the program closes): it goes with the next turn of the loop.
void VideoScreen::connectKind(SourceKind kind) {
    backend_.release()->deleteLater();
    backend_ = MakeBackend(kind, *this);
}

void VideoScreen::setCaption(const QString& caption) { setWindowTitle(caption); }

void VideoScreen::applyControls() { emit controlsChanged(controls_); }

void VideoScreen::setWinVideoSize(double size) {
    winVideoSize_ = size;
    ResizeWDM();
    SizeVideoWindow();
}

// The window is an MDI child: its frame is what gets the size.
void VideoScreen::resizeFrame(int width, int height) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        const QSize extra = frame->size() - size();
        frame->resize(width + std::max(0, extra.width()), height + std::max(0, extra.height()));
    }
    resize(width, height);
}

void VideoScreen::setBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void VideoScreen::ConnectVideoCaptureDevice(int deviceId, const QString& systemType, const QString& deviceName) {
    switch (CommandOfTag(systemType)) {
    case DeviceCommand::Connect:
        if (const std::optional<SourceKind> kind = KindOfTag(systemType); kind && *kind != SourceKind::None && *kind != SourceKind::Failed) {
            deviceCaption_ = deviceName;
            Disconnect();
            Vars.DeviceIndex = deviceId;
            connectKind(*kind);
            Vars.CurrentDeviceID = QString::number(deviceId);
            Vars.CurrentSystemType = systemType;
            Initialize();
            deviceCaption_ = deviceName;
            if (*kind != SourceKind::Wms) SaveSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("LastDevice"), deviceName);
        }
        break;
    case DeviceCommand::Unplug:
        setCaption(Translate(QStringLiteral("Disconnected")));
        Disconnect();
        MsgBox(Translate(QStringLiteral("Device Driver Disconnected.")) + QStringLiteral("\r\n") +
                   Translate(QStringLiteral("Can be now removed if is a USB/Firewire device...")),
               PromptIcon::Information);
        break;
    case DeviceCommand::Info:
        showVideoInfo();
        break;
    case DeviceCommand::Heading:
        break;
    }
}

void VideoScreen::showVideoInfo() {
    backend_->RefreshWindow();
    // One information window: a second open brings the first forward.
    for (VideoInfo* open : window()->findChildren<VideoInfo*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!open->isVisible()) continue;
        open->raise();
        open->activateWindow();
        return;
    }
    auto* info = new VideoInfo(VideoInfoLines(Tag(), windowTitle(), capDriverVersion(Vars.DeviceIndex), Vars.DriverCaps), window());
    info->setAttribute(Qt::WA_DeleteOnClose);
    info->show();
}

void VideoScreen::Initialize() {
    mastertoolbar_->hide();
    setBusy(true);
    setCaption(Translate(QStringLiteral("Initializing...")));
    backend_->Initialize();
}

// The connect goes on here once the engine has opened the source, or failed to.
void VideoScreen::engineOpened() { backend_->opened(); }

void VideoScreen::engineFailed(const QString& reason) {
    emit statusText(reason);
    backend_->failed();
}

void VideoScreen::commonEnd() {
    setBusy(false);
    setCaption(deviceCaption_);
    emit initialized();
}

void VideoScreen::Disconnect() {
    dvStatus_.stop();
    mastertoolbar_->hide();
    dvPos_->hide();
    dvTaken_->hide();
    setCaption(SettingsAppTitle());
    grabPending_ = false;
    SaveSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("PUMV"), Vars.AVIInfo[7]);
    SaveSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("AP"), Vars.AVIInfo[8]);
    SaveSetting(SettingsAppVC, QStringLiteral("VC"), QStringLiteral("ES"), Vars.AVIInfo[9]);
    emit parametersFile(true);
    backend_->Disconnect();
    statusBar_->hide();
    resizeFrame(DisconnectedWidth, DisconnectedHeight);
    connectKind(SourceKind::None);
}

// Each operation is the connected source's.
void VideoScreen::Overlay() { backend_->Overlay(); }
void VideoScreen::Preview(int frameRate) { backend_->Preview(frameRate); }
void VideoScreen::Record(const MovieSettings& movie) { backend_->Record(movie); }
void VideoScreen::SaveStill(const QString& fileName, int quality, bool onClipboard) { backend_->SaveStill(fileName, quality, onClipboard); }
void VideoScreen::SetCaptureParameters() { backend_->SetCaptureParameters(); }
void VideoScreen::RefreshWindow() { backend_->RefreshWindow(); }
void VideoScreen::VideoSource() { backend_->VideoSource(); }
void VideoScreen::VideoFormat() { backend_->VideoFormat(); }
void VideoScreen::VideoDisplay() { backend_->VideoDisplay(); }
void VideoScreen::WDMCaptureDialog() { backend_->WDMCaptureDialog(); }
void VideoScreen::VideoCompressionDialog(bool audio) { backend_->VideoCompressionDialog(audio); }
void VideoScreen::ResizeWDM() { backend_->ResizeWDM(); }
void VideoScreen::SizeVideoWindow() { backend_->SizeVideoWindow(); }
QString VideoScreen::GetFilename() const { return backend_->GetFilename(); }
void VideoScreen::OpenMultipleImage() { backend_->OpenMultipleImage(); }
void VideoScreen::CloseMultipleCapture() { backend_->CloseMultipleCapture(); }
bool VideoScreen::Capturing() const { return wdmX_->Capturing() || backend_->capturing(); }
bool VideoScreen::ProgressThroughCallback() const { return backend_->progressThroughCallback(); }
bool VideoScreen::StopsOnRequest() const { return backend_->stopsOnRequest(); }
bool VideoScreen::PreviewFollowsMovieRate() const { return backend_->previewFollowsMovieRate(); }
bool VideoScreen::FullScreenInPlace() { return backend_->FullScreenInPlace(); }
bool VideoScreen::ChooseAudioDevice(int position) { return backend_->chooseAudioDevice(position); }
void VideoScreen::ChooseAudioInput(int position) { backend_->chooseAudioInput(position); }

void VideoScreen::StopCapture() {
    backend_->StopCapture();
    emit statusText(Translate(QStringLiteral("Stopped")));
}

void VideoScreen::SetFilename(const QString& fileName) {
    backend_->SetFilename(fileName);
    emit panelText(QStringLiteral("filename"), QStringLiteral("Filename: ") + values.commonDialogFileName);
}

void VideoScreen::CaptureSingle() {
    if (backend_->CaptureSingle()) emit statusText(QStringLiteral("Capturing Frame"));
}

void VideoScreen::AudioVFW(bool x) { emit audioMenuEnabled(x); }

void VideoScreen::connectCaptureNotifications() {
    connect(wdmX_, &CaptureControl::captureStarted, this, [this] { wdmStatus_.start(); });
    connect(wdmX_, &CaptureControl::captureEnded, this, [this](const QString& reason) {
        wdmStatus_.stop();
        if (!reason.isEmpty()) emit statusText(reason);
        if (!grabPending_) emit movieStopRequested();
    });
}

void VideoScreen::closeEvent(QCloseEvent* event) {
    // The video window lives as long as the program; only the program's end closes it.
    if (Vars.ShuttingDown) {
        event->accept();
    } else {
        event->ignore();
    }
}

QWidget* VideoScreen::frame() { return qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this; }

// A press on the picture moves the window until the button is released, as a drag of its caption would.
void VideoScreen::DragWindow() {
    dragging_ = true;
    dragOffset_ = QCursor::pos() - frame()->pos();
    if (backend_->throughControl()) wdmX_->setCursor(Qt::SizeAllCursor);
}

bool VideoScreen::eventFilter(QObject* watched, QEvent* event) {
    const QWidget* capture = CaptureWindow::find(Vars.CaptureWindow);
    if (watched == wdmX_ || (capture != nullptr && watched == capture)) {
        if (event->type() == QEvent::MouseMove && dragging_) {
            frame()->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
        } else if (event->type() == QEvent::MouseButtonRelease && dragging_) {
            dragging_ = false;
            static_cast<QWidget*>(watched)->unsetCursor();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kestrova
