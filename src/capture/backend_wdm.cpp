// What a device through the capture control ("wdm") does for each of the video window's operations.

#include "backends.h"
#include "capture_dialog.h"
#include "device_choice.h"
#include "device_dialogs.h"
#include "video_codec.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

void WdmBackend::Initialize() {
    DeviceControls& shown = controls();
    shown.advancedSettings = false;
    shown.directX = true;
    shown.overlayImage = true;
    shown.wdmSettings = true;
    shown.overlay = true;
    control().setPreviewFrameRate(values().previewRatePosition + 1);
    screen_.AudioVFW(false);
    control().show();
    const bool vmr = GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("VMR"), QStringLiteral("Yes")) ==
                     QLatin1String("Yes");
    control().setUseVMR9(vmr);
    shown.directXChecked = vmr;
    applyControls();
    emit screen_.parametersFile(false);
    pending_ = true;
    control().setVideoDeviceIndex(Vars.DeviceIndex);
    control().setConnected(true);
}

void WdmBackend::finishOpen() {
    CaptureControl& device = control();
    setCaption(device.VideoDeviceName(Vars.DeviceIndex));
    device.setAudioPreview(audioPanel().isChecked());
    device.setPreviewOn(true);
    DeviceControls& shown = controls();
    shown.fullscreen = true;
    ResizeWDM();
    shown.source = true;
    shown.display = true;
    shown.format = true;
    shown.formatItems.clear();
    for (const media::FormatRow& row : device.VideoFormats()) shown.formatItems << FormatItemText(row);
    if (device.VideoInputCount() >= 1) {
        shown.sourceItems.clear();
        for (int i = 0; i < device.VideoInputCount(); ++i) shown.sourceItems << device.VideoInputName(i);
    }
    shown.audioDevices.clear();
    for (int i = 0; i < device.AudioDeviceCount(); ++i) shown.audioDevices << device.AudioDeviceName(i);
    if (device.DVTransport(0) > 0) {
        tapeTransport().show();
        dvPos().show();
        dvTaken().show();
        dvStatus().start();
    } else {
        tapeTransport().hide();
    }
    shown.exportDv = device.DeviceKind() > 1;
    shown.tunerCable = device.TunerInput() == 1;
    shown.tunerVisible = device.DeviceKind() == 1;
    if (shown.tunerVisible) {
        shown.tunerLow = device.TunerChannel(-2);
        shown.tunerHigh = device.TunerChannel(-3);
    }
    applyControls();
    statusBar().show();
    ResizeWDM();
}

void WdmBackend::Overlay() {
    control().setPreviewOn(false);
    control().setOverlayOn(true);
}

void WdmBackend::Preview(int frameRate) {
    CaptureControl& device = control();
    device.setConnected(false);
    device.setPreviewFrameRate(frameRate);
    device.setScalePreview(true);
    device.setConnected(true);
    device.setPreviewOn(true);
}

void WdmBackend::ResizeWDM() { layOutDevicePicture(); }

bool WdmBackend::FullScreenInPlace() {
    CaptureControl& device = control();
    device.setConnected(false);
    device.setPreviewOn(false);
    device.setScalePreview(true);
    device.setFullScreenPreview(true);
    device.setConnected(true);
    device.setPreviewOn(true);
    return true;
}

void WdmBackend::Record(const MovieSettings& movie) {
    CaptureControl& device = control();
    // A still taken before must not keep this recording's end from reaching the main window.
    grabPending() = false;
    device.setCaptureFile(Vars.CaptureFileName);
    if (movie.noLimit) {
        device.setTimeLimit(0);
        device.setTimeLimitEnabled(false);
    } else {
        device.setTimeLimit(movie.hours * 3600 + movie.minutes * 60 + movie.seconds);
        device.setTimeLimitEnabled(true);
    }
    device.setCaptureAudio(movie.audio);
    device.setCaptureFrameRate(movie.frameRate);
    // A movie that cannot start (an unwritable folder, a full disk) says why and leaves the button.
    if (!device.StartCapture()) {
        emit screen_.statusText(device.CaptureError());
        return;
    }
    emit screen_.statusText(Translate(QStringLiteral("Recording")));
    emit screen_.recordButtonImage(QStringLiteral("stop"));
}

QString WdmBackend::GetFilename() const { return control().CaptureFile(); }

void WdmBackend::VideoSource() {
    ShowVideoSourceDialog(control(), &screen_);
    ResizeWDM();
}

void WdmBackend::VideoFormat() {
    ShowVideoFormatDialog(control(), &screen_);
    ResizeWDM();
}

void WdmBackend::VideoDisplay() {
    ShowVideoDisplayDialog(control(), &screen_);
    ResizeWDM();
}

void WdmBackend::WDMCaptureDialog() { ShowCaptureDialog(control(), &screen_); }

void WdmBackend::VideoCompressionDialog(bool audio) { ShowVideoCODEC(control(), audio, &screen_); }

bool WdmBackend::chooseAudioDevice(int position) {
    control().setAudioDeviceIndex(position);
    return true;
}

void WdmBackend::chooseAudioInput(int position) { control().setAudioInputIndex(position); }

}  // namespace kestrova
