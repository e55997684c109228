// What an IP camera ("http") does for each of the video window's operations: it shows, gives stills
// and single-frame movies; movies are not supported.

#include "backends.h"
#include "video_screen.h"

#include <QStatusBar>

namespace kestrova {

void CameraBackend::Initialize() {
    QString url;
    if (!askAddress(QStringLiteral("Enter the ip camera url:"), url)) return;
    networkControls(QStringLiteral("IP CAMERA"));
    pending_ = true;
    CaptureControl& camera = control();
    camera.setConnected(false);
    camera.setVideoDeviceIndex(CaptureControl::NetworkCameraIndex);
    camera.setCameraUrl(url);
    camera.setCaptureAudio(false);
    camera.setConnected(true);
}

void CameraBackend::finishOpen() {
    control().setPreviewOn(true);
    ResizeWDM();
    statusBar().hide();
}

}  // namespace kestrova
