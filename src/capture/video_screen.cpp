#include "video_screen.h"

#include "capture_progress.h"
#include "device_dialogs.h"
#include "device_choice.h"
#include "source_tags.h"
#include "video_info.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/capture_window.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
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
}

bool VideoScreen::controlKind() const { return tag_ == KindWdm || tag_ == KindWms || tag_ == KindHttp; }

void VideoScreen::notSupported() {
    CurrentPrompts().message(Translate(QStringLiteral("Capture Mode not supported")), PromptIcon::Critical,
                             PromptButtons::Ok, windowTitle());
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
    if (systemType == KindVfw || systemType == KindWdm || systemType == KindHttp || systemType == KindWms) {
        deviceCaption_ = deviceName;
        Disconnect();
        Vars.DeviceIndex = deviceId;
        tag_ = systemType;
        Vars.CurrentDeviceID = QString::number(deviceId);
        Vars.CurrentSystemType = systemType;
        Initialize();
        deviceCaption_ = deviceName;
        if (systemType != KindWms) SaveSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("LastDevice"), deviceName);
    } else if (systemType == QLatin1String("unplug")) {
        setCaption(Translate(QStringLiteral("Disconnected")));
        Disconnect();
        MsgBox(Translate(QStringLiteral("Device Driver Disconnected.")) + QStringLiteral("\r\n") +
                   Translate(QStringLiteral("Can be now removed if is a USB/Firewire device...")),
               PromptIcon::Information);
    } else if (systemType == QLatin1String("info")) {
        showVideoInfo();
    }
}

void VideoScreen::showVideoInfo() {
    if (tag_ == KindVfw) RefreshWindow();
    auto* info = new VideoInfo(VideoInfoLines(tag_, windowTitle(), capDriverVersion(Vars.DeviceIndex), Vars.DriverCaps), window());
    info->setAttribute(Qt::WA_DeleteOnClose);
    info->show();
}

void VideoScreen::Initialize() {
    initializing_ = Pending::None;
    mastertoolbar_->hide();
    setBusy(true);
    setCaption(Translate(QStringLiteral("Initializing...")));
    if (tag_ == KindVfw) {
        initializeVfw();
        return;
    }
    if (tag_ == KindWdm) {
        controls_.advancedSettings = false;
        controls_.directX = true;
        controls_.overlayImage = true;
        controls_.wdmSettings = true;
        controls_.overlay = true;
        wdmX_->setPreviewFrameRate(values.previewRatePosition + 1);
        AudioVFW(false);
        wdmX_->show();
        const bool vmr = GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("VMR"),
                                    QStringLiteral("Yes")) == QLatin1String("Yes");
        wdmX_->setUseVMR9(vmr);
        controls_.directXChecked = vmr;
        applyControls();
        emit parametersFile(false);
        initializing_ = Pending::Wdm;
        wdmX_->setVideoDeviceIndex(Vars.DeviceIndex);
        wdmX_->setConnected(true);
        return;
    }
    if (tag_ == KindWms || tag_ == KindHttp) {
        const QString question = tag_ == KindWms ? QStringLiteral("Enter the video stream url:")
                                                 : QStringLiteral("Enter the ip camera url:");
        const std::optional<QString> url = CurrentPrompts().input(Translate(question), windowTitle(), QString());
        if (!url || url->isEmpty()) {
            setBusy(false);
            return;
        }
        controls_.advancedSettings = false;
        controls_.directX = false;
        controls_.overlayImage = false;
        controls_.wdmSettings = false;
        wdmX_->setPreviewFrameRate(values.previewRatePosition + 1);
        AudioVFW(false);
        wdmX_->show();
        if (tag_ == KindWms) {
            const bool vmr = GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("VMR"),
                                        QStringLiteral("Yes")) == QLatin1String("Yes");
            wdmX_->setUseVMR9(vmr);
            controls_.directXChecked = vmr;
        }
        setCaption(tag_ == KindWms ? QStringLiteral("Windows Media Stream") : QStringLiteral("IP CAMERA"));
        controls_.fullscreen = true;
        controls_.source = false;
        controls_.display = false;
        controls_.format = false;
        controls_.formatItems.clear();
        controls_.audioDevices.clear();
        controls_.exportDv = false;
        controls_.tunerVisible = false;
        applyControls();
        emit parametersFile(false);
        if (tag_ == KindWms) {
            initializing_ = Pending::Stream;
            wdmX_->OpenStream(*url);
            wdmX_->PlayStream();
        } else {
            initializing_ = Pending::Camera;
            wdmX_->setConnected(false);
            wdmX_->setVideoDeviceIndex(CaptureControl::NetworkCameraIndex);
            wdmX_->setCameraUrl(*url);
            wdmX_->setCaptureAudio(false);
            wdmX_->setConnected(true);
        }
        return;
    }
    commonEnd();
}

// Initialize goes on here once the engine has opened the source.
void VideoScreen::engineOpened() {
    const Pending pending = initializing_;
    initializing_ = Pending::None;
    switch (pending) {
    case Pending::None:
        if (controlKind()) ResizeWDM();  // a new format or preview rate
        return;
    case Pending::Wdm:
        setCaption(wdmX_->VideoDeviceName(Vars.DeviceIndex));
        finishWdm();
        break;
    case Pending::Stream:
        ResizeWDM();
        statusBar_->hide();
        break;
    case Pending::Camera:
        wdmX_->setPreviewOn(true);
        ResizeWDM();
        statusBar_->hide();
        break;
    }
    commonEnd();
}

void VideoScreen::engineFailed(const QString& reason) {
    const Pending pending = initializing_;
    initializing_ = Pending::None;
    emit statusText(reason);
    if (pending == Pending::None) return;
    commonEnd();
}

void VideoScreen::finishWdm() {
    wdmX_->setAudioPreview(audioPanel_->isChecked());
    wdmX_->setPreviewOn(true);
    controls_.fullscreen = true;
    ResizeWDM();
    controls_.source = true;
    controls_.display = true;
    controls_.format = true;
    controls_.formatItems.clear();
    for (const media::FormatRow& row : wdmX_->VideoFormats()) controls_.formatItems << FormatItemText(row);
    if (wdmX_->VideoInputCount() >= 1) {
        controls_.sourceItems.clear();
        for (int i = 0; i < wdmX_->VideoInputCount(); ++i) controls_.sourceItems << wdmX_->VideoInputName(i);
    }
    controls_.audioDevices.clear();
    for (int i = 0; i < wdmX_->AudioDeviceCount(); ++i) controls_.audioDevices << wdmX_->AudioDeviceName(i);
    if (wdmX_->DVTransport(0) > 0) {
        mastertoolbar_->show();
        dvPos_->show();
        dvTaken_->show();
        dvStatus_.start();
    } else {
        mastertoolbar_->hide();
    }
    controls_.exportDv = wdmX_->DeviceKind() > 1;
    controls_.tunerCable = wdmX_->TunerInput() == 1;
    controls_.tunerVisible = wdmX_->DeviceKind() == 1;
    if (controls_.tunerVisible) {
        controls_.tunerLow = wdmX_->TunerChannel(-2);
        controls_.tunerHigh = wdmX_->TunerChannel(-3);
    }
    applyControls();
    statusBar_->show();
    ResizeWDM();
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
    if (initializing_ != Pending::None) setBusy(false);  // the source went before it opened
    initializing_ = Pending::None;
    if (tag_ == KindVfw) disconnectVfw();
    if (tag_ == KindWms) {
        wdmX_->StopStream();
        wdmX_->CloseStream();
    }
    if (controlKind()) {
        wdmX_->setConnected(false);
        wdmX_->hide();
    }
    statusBar_->hide();
    resizeFrame(DisconnectedWidth, DisconnectedHeight);
    tag_.clear();
}

void VideoScreen::Overlay() {
    if (tag_ == KindVfw) {
        capOverlay(Vars.CaptureWindow);
        vfwButtons();
        return;
    }
    if (tag_ != KindWdm) return;
    wdmX_->setPreviewOn(false);
    wdmX_->setOverlayOn(true);
}

void VideoScreen::Preview(int frameRate) {
    if (tag_ == KindVfw) {
        capPreview(Vars.CaptureWindow, frameRate);
        vfwButtons();
        return;
    }
    if (tag_ != KindWdm) return;
    wdmX_->setConnected(false);
    wdmX_->setPreviewFrameRate(frameRate);
    wdmX_->setScalePreview(true);
    wdmX_->setConnected(true);
    wdmX_->setPreviewOn(true);
}

void VideoScreen::SaveStill(const QString& fileName, int quality, bool onClipboard) {
    if (tag_ == KindVfw) {
        if (onClipboard) {
            StillSlot() = mira_;
            capEditCopy(Vars.CaptureWindow, StillSlot());
            return;
        }
        // The test card stays when the driver cannot write a frame.
        WritePicture(ViewOf(mira_.convertToFormat(QImage::Format_BGR888)), fileName, 100);
        capFileSaveDIB(Vars.CaptureWindow, fileName);
        streamPic_ = ReadPicture(fileName);
        QFile::remove(fileName);
        if (streamPic_.isNull()) streamPic_ = mira_;
        WritePicture(ViewOf(streamPic_.convertToFormat(QImage::Format_BGR888)), fileName, quality);
        return;
    }
    const QImage picture = currentPicture();
    if (onClipboard) {
        StillSlot() = mira_;
        if (controlKind()) {
            grabPending_ = true;
            if (!picture.isNull()) StillSlot() = picture;
        }
        return;
    }
    if (!controlKind()) return;
    grabPending_ = true;
    // Without a frame yet the test card is the still, as when a driver cannot copy one.
    streamPic_ = picture.isNull() ? mira_ : picture;
    QFile::remove(fileName);
    WritePicture(ViewOf(streamPic_.convertToFormat(QImage::Format_BGR888)), fileName, quality);
}

QImage VideoScreen::currentPicture() const { return wdmX_->CurrentPicture(); }

void VideoScreen::SetCaptureParameters() {
    if (tag_ == KindVfw) Vars.CaptureResult = capCaptureSetSetup(Vars.CaptureWindow, Vars.CaptureParms);
}

void VideoScreen::RefreshWindow() {
    if (tag_ != KindVfw) return;
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    SizeVideoWindow();
}

void VideoScreen::VideoSource() {
    if (tag_ == KindVfw) {
        capDlgVideoSource(Vars.CaptureWindow);
        RefreshWindow();
    }
    if (tag_ != KindWdm) return;
    ShowVideoSourceDialog(*wdmX_, this);
    ResizeWDM();
}

void VideoScreen::VideoFormat() {
    if (tag_ == KindVfw) {
        capDlgVideoFormat(Vars.CaptureWindow);
        RefreshWindow();
    }
    if (tag_ != KindWdm) return;
    ShowVideoFormatDialog(*wdmX_, this);
    ResizeWDM();
}

void VideoScreen::VideoDisplay() {
    if (tag_ == KindVfw) {
        capDlgVideoDisplay(Vars.CaptureWindow);
        RefreshWindow();
    }
    if (tag_ != KindWdm) return;
    ShowVideoDisplayDialog(*wdmX_, this);
    ResizeWDM();
}

void VideoScreen::AudioVFW(bool x) { emit audioMenuEnabled(x); }

void VideoScreen::ResizeWDM() {
    if (tag_ == KindWms) {
        wdmX_->move(0, 0);
        wdmX_->QueryVideoSize();
        wdmX_->setScalePreview(true);
        // A stream that does not tell its size yet keeps the window as it is.
        if (wdmX_->VideoWidth() == 0 || wdmX_->VideoHeight() == 0) return;
        wdmX_->resize(wdmX_->VideoWidth(), wdmX_->VideoHeight());
        resizeFrame(wdmX_->VideoWidth(), wdmX_->VideoHeight());
        return;
    }
    if (tag_ != KindWdm && tag_ != KindHttp) return;
    wdmX_->QueryVideoSize();
    wdmX_->setScalePreview(true);
    const QSize picture = ZoomedSize(wdmX_->VideoWidth(), wdmX_->VideoHeight(), winVideoSize_);
    if (picture.isEmpty()) return;
    const int tape = mastertoolbar_->isVisibleTo(this) ? mastertoolbar_->sizeHint().height() : 0;
    mastertoolbar_->setGeometry(0, 0, picture.width(), tape);
    wdmX_->setGeometry(0, tape, picture.width(), picture.height());
    const int bar = statusBar_->isVisible() ? statusBar_->sizeHint().height() : 0;
    statusBar_->setGeometry(0, tape + picture.height(), picture.width(), bar);
    resolutionPanel_->setText(Translate(QStringLiteral("Resolution:")) +
                              QStringLiteral("%1x%2 ").arg(wdmX_->VideoWidth()).arg(wdmX_->VideoHeight()));
    emit panelText(QStringLiteral("resolution"), Translate(QStringLiteral("Connected")));
    resizeFrame(picture.width(), tape + picture.height() + bar);
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
    if (controlKind()) wdmX_->setCursor(Qt::SizeAllCursor);
}

bool VideoScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == wdmX_ || (watched == captureWindow() && watched != nullptr)) {
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
