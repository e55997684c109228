// The video window's operations for a capture-window ("vfw") source.

#include "capture_progress.h"
#include "source_tags.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/capture_window.h"
#include "platform/picture_writer.h"

#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace kestrova {

namespace {

QString YieldSetting() { return GetSetting(QStringLiteral("VKESTROVA"), QStringLiteral("ADV"), QStringLiteral("YIELD"), QStringLiteral("1")); }

}  // namespace

void ApplyVideoSettings(CAPTUREPARMS& parms) {
    parms.wPercentDropForError = uint32_t(std::clamp(Vars.DropErrorPercent, 0, 100));
    parms.fYield = Vars.CaptureYield;
    parms.dwIndexSize = uint32_t(std::max(0L, Vars.MaxIndexSize));
    parms.wChunkGranularity = uint32_t(std::max(0, Vars.ChunkGranularity));
    parms.fUsingDOSMemory = Vars.UseDOSBuffers;
    parms.wNumVideoRequested = uint32_t(std::max(0, Vars.VideoBuffers));
    parms.wNumAudioRequested = uint32_t(std::max(0, Vars.AudioBuffers));
    parms.fDisableWriteCache = Vars.DisableWriteCache;
}

QWidget* VideoScreen::captureWindow() const { return CaptureWindow::find(Vars.CaptureWindow); }

void VideoScreen::initializeVfw() {
    wdmX_->hide();
    controls_.advancedSettings = true;
    controls_.directX = false;
    controls_.overlayImage = false;
    AudioVFW(true);
    if (Vars.CaptureWindow) capDriverDisconnect(Vars.CaptureWindow);
    Vars.CaptureResult = 0;
    Vars.CaptureWindow = capCreateCaptureWindow(QStringLiteral("VIDEO WINDOW"), this, 0, 0, 160, 120);
    capSetCallbackOnStatus(Vars.CaptureWindow, StatusCallback);
    if (!capDriverConnect(Vars.CaptureWindow, Vars.DeviceIndex)) {
        capDriverDisconnect(Vars.CaptureWindow);
        Vars.CaptureWindow = 0;
        emit statusText(Translate(QStringLiteral("Not Connected")));
        setCaption(Translate(QStringLiteral("No Signal")));
        emit panelText(QStringLiteral("resolution"), QStringLiteral("N/A"));
        setBusy(false);
        controls_.fullscreen = false;
        controls_.formatItems.clear();
        controls_.sourceItems.clear();
        applyControls();
        tag_ = QStringLiteral("0");
        return;
    }
    emit statusText(Translate(QStringLiteral("Connected")));
    emit timeText(QStringLiteral("00:00:00.00"));
    controls_.fullscreen = true;
    capDriverGetCaps(Vars.CaptureWindow, Vars.DriverCaps);
    SizeVideoWindow();
    capDriverGetCaps(Vars.CaptureWindow, Vars.DriverCaps);
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    capCaptureGetSetup(Vars.CaptureWindow, Vars.CaptureParms);
    controls_.overlay = Vars.DriverCaps.fHasOverlay;
    controls_.wdmSettings = false;
    controls_.source = Vars.DriverCaps.fHasDlgVideoSource;
    controls_.display = Vars.DriverCaps.fHasDlgVideoDisplay;
    controls_.format = Vars.DriverCaps.fHasDlgVideoFormat;
    controls_.formatItems.clear();
    controls_.sourceItems.clear();
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    if (Vars.CaptureStatus.fOverlayWindow == 1 && Vars.DriverCaps.fHasOverlay == 1) {
        Overlay();
    } else {
        Preview(Vars.PreviewRate);
    }

    capGetAudioFormat(Vars.CaptureWindow, Vars.WaveFormat, 22);
    VfwDriverSettings shown;
    shown.waveFormat = Vars.WaveFormat;
    shown.audio = Vars.CaptureParms.fCaptureAudio;
    shown.frameRate = FramesPerSecondOfInterval(Vars.CaptureParms.dwRequestMicroSecPerFrame);
    shown.noLimit = Vars.CaptureParms.fLimitEnabled != 1;
    if (Vars.CaptureParms.wTimeLimit == 0) Vars.CaptureParms.wTimeLimit = 1;
    const int limit = int(Vars.CaptureParms.wTimeLimit);
    shown.hours = limit / 3600;
    shown.minutes = (limit / 60) % 60;
    shown.seconds = limit % 60;
    shown.captureFile = capFileGetCaptureFile(Vars.CaptureWindow);
    emit vfwSettingsRead(shown);
    emit panelText(QStringLiteral("filename"), QStringLiteral("Filename: ") + shown.captureFile);

    // The window procedure: a right click shows the menu, a left press drags the video window.
    auto* capture = static_cast<CaptureWindow*>(captureWindow());
    capture->installEventFilter(this);
    connect(capture, &CaptureWindow::mouseReleased, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton) emit captureWindowMenu();
    });
    connect(capture, &CaptureWindow::mousePressed, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) DragWindow();
    });

    // The driver's record carries the settings in force, except the stored yield and the index size.
    Vars.DropErrorPercent = int(Vars.CaptureParms.wPercentDropForError);
    Vars.ChunkGranularity = int(Vars.CaptureParms.wChunkGranularity);
    Vars.UseDOSBuffers = Vars.CaptureParms.fUsingDOSMemory;
    Vars.VideoBuffers = int(Vars.CaptureParms.wNumVideoRequested);
    Vars.AudioBuffers = int(Vars.CaptureParms.wNumAudioRequested);
    Vars.DisableWriteCache = Vars.CaptureParms.fDisableWriteCache;
    Vars.CaptureYield = ValInt(YieldSetting());
    emit parametersFile(false);
    Vars.MaxIndexSize = 324000;
    statusBar_->hide();
    applyControls();
    commonEnd();
}

void VideoScreen::disconnectVfw() {
    SaveSetting(QStringLiteral("VKESTROVA"), QStringLiteral("ADV"), QStringLiteral("YIELD"), QString::number(Vars.CaptureYield));
    capSetCallbackOnStatus(Vars.CaptureWindow, nullptr);
    capDriverDisconnect(Vars.CaptureWindow);
    Vars.CaptureWindow = 0;
}

void VideoScreen::SizeVideoWindow() {
    if (tag_ != KindVfw) return;
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    const QSize picture = ZoomedSize(int(Vars.CaptureStatus.uiImageWidth), int(Vars.CaptureStatus.uiImageHeight), winVideoSize_);
    if (QWidget* capture = captureWindow()) capture->resize(picture);
    setCaption(capDriverName(Vars.DeviceIndex));
    resolutionPanel_->setText(Translate(QStringLiteral("Resolution:")) +
                              QStringLiteral("%1x%2").arg(Vars.CaptureStatus.uiImageWidth).arg(Vars.CaptureStatus.uiImageHeight));
    emit panelText(QStringLiteral("resolution"), Translate(QStringLiteral("Connected")));
    // The MDI frame adds the caption bar and the borders.
    resizeFrame(picture.width(), picture.height() + (statusBar_->isVisible() ? statusBar_->sizeHint().height() : 0));
}

void VideoScreen::vfwButtons() {
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    if (Vars.CaptureStatus.fLiveWindow == 1) {
        controls_.overlayDown = false;
        controls_.previewDown = true;
    }
    if (Vars.CaptureStatus.fOverlayWindow == 1) {
        controls_.overlayDown = true;
        controls_.previewDown = false;
    }
    applyControls();
}

void VideoScreen::VideoCompressionDialog() {
    if (tag_ == KindVfw) capDlgVideoCompression(Vars.CaptureWindow);
}

}  // namespace kestrova
