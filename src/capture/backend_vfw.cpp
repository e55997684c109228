// What a capture-window driver ("vfw") does for each of the video window's operations.

#include "audio_format.h"
#include "backends.h"
#include "capture_progress.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/number_forms.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/capture_window.h"
#include "platform/image_view.h"
#include "platform/picture_writer.h"

#include <QFile>
#include <QLabel>
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

void VfwBackend::Initialize() {
    control().hide();
    DeviceControls& shown = controls();
    shown.advancedSettings = true;
    shown.directX = false;
    shown.overlayImage = false;
    screen_.AudioVFW(true);
    if (Vars.CaptureWindow) capDriverDisconnect(Vars.CaptureWindow);
    Vars.CaptureResult = 0;
    Vars.CaptureWindow = capCreateCaptureWindow(QStringLiteral("VIDEO WINDOW"), &screen_, 0, 0, 160, 120);
    capSetCallbackOnStatus(Vars.CaptureWindow, StatusCallback);
    if (!capDriverConnect(Vars.CaptureWindow, Vars.DeviceIndex)) {
        capDriverDisconnect(Vars.CaptureWindow);
        Vars.CaptureWindow = 0;
        emit screen_.statusText(Translate(QStringLiteral("Not Connected")));
        setCaption(Translate(QStringLiteral("No Signal")));
        emit screen_.panelText(QStringLiteral("resolution"), QStringLiteral("N/A"));
        setBusy(false);
        shown.fullscreen = false;
        shown.formatItems.clear();
        shown.sourceItems.clear();
        applyControls();
        becomeKind(SourceKind::Failed);
        return;
    }
    emit screen_.statusText(Translate(QStringLiteral("Connected")));
    emit screen_.timeText(QStringLiteral("00:00:00.00"));
    shown.fullscreen = true;
    capDriverGetCaps(Vars.CaptureWindow, Vars.DriverCaps);
    SizeVideoWindow();
    capDriverGetCaps(Vars.CaptureWindow, Vars.DriverCaps);
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    capCaptureGetSetup(Vars.CaptureWindow, Vars.CaptureParms);
    shown.overlay = Vars.DriverCaps.fHasOverlay;
    shown.wdmSettings = false;
    shown.source = Vars.DriverCaps.fHasDlgVideoSource;
    shown.display = Vars.DriverCaps.fHasDlgVideoDisplay;
    shown.format = Vars.DriverCaps.fHasDlgVideoFormat;
    shown.formatItems.clear();
    shown.sourceItems.clear();
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    if (Vars.CaptureStatus.fOverlayWindow == 1 && Vars.DriverCaps.fHasOverlay == 1) {
        Overlay();
    } else {
        Preview(Vars.PreviewRate);
    }

    capGetAudioFormat(Vars.CaptureWindow, Vars.WaveFormat, 22);
    VfwDriverSettings driver;
    driver.waveFormat = Vars.WaveFormat;
    driver.audio = Vars.CaptureParms.fCaptureAudio;
    driver.frameRate = FramesPerSecondOfInterval(Vars.CaptureParms.dwRequestMicroSecPerFrame);
    driver.noLimit = Vars.CaptureParms.fLimitEnabled != 1;
    if (Vars.CaptureParms.wTimeLimit == 0) Vars.CaptureParms.wTimeLimit = 1;
    const int limit = int(Vars.CaptureParms.wTimeLimit);
    driver.hours = limit / 3600;
    driver.minutes = (limit / 60) % 60;
    driver.seconds = limit % 60;
    driver.captureFile = capFileGetCaptureFile(Vars.CaptureWindow);
    emit screen_.vfwSettingsRead(driver);
    emit screen_.panelText(QStringLiteral("filename"), QStringLiteral("Filename: ") + driver.captureFile);

    // The window procedure: a right click shows the menu, a left press drags the video window.
    auto* capture = static_cast<CaptureWindow*>(CaptureWindow::find(Vars.CaptureWindow));
    capture->installEventFilter(&screen_);
    VideoScreen* screen = &screen_;
    connect(capture, &CaptureWindow::mouseReleased, screen, [screen](Qt::MouseButton button) {
        if (button == Qt::RightButton) emit screen->captureWindowMenu();
    });
    connect(capture, &CaptureWindow::mousePressed, screen, [screen](Qt::MouseButton button) {
        if (button == Qt::LeftButton) screen->DragWindow();
    });

    // The driver's record carries the settings in force, except the stored yield and the index size.
    Vars.DropErrorPercent = int(Vars.CaptureParms.wPercentDropForError);
    Vars.ChunkGranularity = int(Vars.CaptureParms.wChunkGranularity);
    Vars.UseDOSBuffers = Vars.CaptureParms.fUsingDOSMemory;
    Vars.VideoBuffers = int(Vars.CaptureParms.wNumVideoRequested);
    Vars.AudioBuffers = int(Vars.CaptureParms.wNumAudioRequested);
    Vars.DisableWriteCache = Vars.CaptureParms.fDisableWriteCache;
    Vars.CaptureYield = ValInt(YieldSetting());
    emit screen_.parametersFile(false);
    Vars.MaxIndexSize = 324000;
    statusBar().hide();
    applyControls();
    commonEnd();
}

void VfwBackend::Disconnect() {
    SaveSetting(QStringLiteral("VKESTROVA"), QStringLiteral("ADV"), QStringLiteral("YIELD"), QString::number(Vars.CaptureYield));
    capSetCallbackOnStatus(Vars.CaptureWindow, nullptr);
    capDriverDisconnect(Vars.CaptureWindow);
    Vars.CaptureWindow = 0;
}

void VfwBackend::Overlay() {
    capOverlay(Vars.CaptureWindow);
    buttons();
}

void VfwBackend::Preview(int frameRate) {
    capPreview(Vars.CaptureWindow, frameRate);
    buttons();
}

void VfwBackend::SizeVideoWindow() {
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    const QSize picture = ZoomedSize(int(Vars.CaptureStatus.uiImageWidth), int(Vars.CaptureStatus.uiImageHeight), winVideoSize());
    if (QWidget* capture = CaptureWindow::find(Vars.CaptureWindow)) capture->resize(picture);
    setCaption(capDriverName(Vars.DeviceIndex));
    resolutionPanel().setText(Translate(QStringLiteral("Resolution:")) +
                              QStringLiteral("%1x%2").arg(Vars.CaptureStatus.uiImageWidth).arg(Vars.CaptureStatus.uiImageHeight));
    emit screen_.panelText(QStringLiteral("resolution"), Translate(QStringLiteral("Connected")));
    // The MDI frame adds the caption bar and the borders.
    resizeFrame(picture.width(), picture.height() + (statusBar().isVisible() ? statusBar().sizeHint().height() : 0));
}

void VfwBackend::RefreshWindow() {
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    SizeVideoWindow();
}

void VfwBackend::buttons() {
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    if (Vars.CaptureStatus.fLiveWindow == 1) {
        controls().overlayDown = false;
        controls().previewDown = true;
    }
    if (Vars.CaptureStatus.fOverlayWindow == 1) {
        controls().overlayDown = true;
        controls().previewDown = false;
    }
    applyControls();
}

void VfwBackend::Record(const MovieSettings& movie) {
    capFileSetCaptureFile(Vars.CaptureWindow, Vars.CaptureFileName);
    CAPTUREPARMS& parms = Vars.CaptureParms;
    ApplyVideoSettings(parms);
    parms.AVStreamMaster = 0;
    parms.fAbortLeftMouse = 1;
    parms.fAbortRightMouse = 1;
    parms.fCaptureAudio = movie.audio;
    if (movie.noLimit) {
        parms.fLimitEnabled = 0;
    } else {
        parms.fLimitEnabled = 1;
        parms.wTimeLimit = uint32_t(std::max(0, movie.hours * 3600 + movie.minutes * 60 + movie.seconds));
    }
    parms.dwRequestMicroSecPerFrame = FrameInterval(movie.frameRate > 0 ? movie.frameRate : Vars.CaptureFrameRate);
    parms.fMCIControl = 0;
    parms.fStepCaptureAt2x = 0;
    ApplyAudioFormat(movie.audioBitsPos, movie.audioChannelsPos, movie.audioRatePos, Vars.WaveFormat);
    capSetAudioFormat(Vars.CaptureWindow, Vars.WaveFormat, capGetAudioFormatSize(Vars.CaptureWindow));
    capCaptureSetSetup(Vars.CaptureWindow, parms);
    QFile::remove(Vars.CaptureFileName);
    emit screen_.statusText(QStringLiteral("Recording"));
    emit screen_.recordButtonImage(QStringLiteral("stop"));
    if (Vars.CaptureYield == 0) {
        emit screen_.timeText(QString());
        emit screen_.droppedText(QStringLiteral("Exclusive Task"));
    }
    // With the exclusive task this returns only when the movie has ended.
    Vars.CaptureResult = capCaptureSequence(Vars.CaptureWindow, values().stopButton);
}

void VfwBackend::StopCapture() { capCaptureStop(Vars.CaptureWindow); }

void VfwBackend::SaveStill(const QString& fileName, int quality, bool onClipboard) {
    if (onClipboard) {
        StillSlot() = mira();
        capEditCopy(Vars.CaptureWindow, StillSlot());
        return;
    }
    // The test card stays when the driver cannot write a frame.
    WritePicture(ViewOf(mira().convertToFormat(QImage::Format_BGR888)), fileName, 100);
    capFileSaveDIB(Vars.CaptureWindow, fileName);
    streamPic() = ReadPicture(fileName);
    QFile::remove(fileName);
    if (streamPic().isNull()) streamPic() = mira();
    WritePicture(ViewOf(streamPic().convertToFormat(QImage::Format_BGR888)), fileName, quality);
}

void VfwBackend::SetFilename(const QString& fileName) { capFileSetCaptureFile(Vars.CaptureWindow, fileName); }

QString VfwBackend::GetFilename() const { return capFileGetCaptureFile(Vars.CaptureWindow); }

void VfwBackend::OpenMultipleImage() {
    Vars.CaptureParms.dwRequestMicroSecPerFrame = FrameInterval(values().multipleImageFrameRatePosition + 1);
    SetCaptureParameters();
    capFileSetCaptureFile(Vars.CaptureWindow, Vars.CaptureFileName);
    Vars.CaptureResult = capCaptureSingleFrameOpen(Vars.CaptureWindow);
}

bool VfwBackend::CaptureSingle() {
    Vars.CaptureResult = capCaptureSingleFrame(Vars.CaptureWindow);
    return true;
}

void VfwBackend::CloseMultipleCapture() { capCaptureSingleFrameClose(Vars.CaptureWindow); }

void VfwBackend::SetCaptureParameters() { Vars.CaptureResult = capCaptureSetSetup(Vars.CaptureWindow, Vars.CaptureParms); }

bool VfwBackend::capturing() const { return Vars.CaptureStatus.fCapturingNow; }

void VfwBackend::VideoSource() {
    capDlgVideoSource(Vars.CaptureWindow);
    RefreshWindow();
}

void VfwBackend::VideoFormat() {
    capDlgVideoFormat(Vars.CaptureWindow);
    RefreshWindow();
}

void VfwBackend::VideoDisplay() {
    capDlgVideoDisplay(Vars.CaptureWindow);
    RefreshWindow();
}

void VfwBackend::VideoCompressionDialog(bool) { capDlgVideoCompression(Vars.CaptureWindow); }

}  // namespace kestrova
