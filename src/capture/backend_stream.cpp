// What a network stream or file ("wms") does for each of the video window's operations: it plays
// and gives stills; movies and single frames are not supported.

#include "backends.h"
#include "video_codec.h"
#include "video_screen.h"

#include "core/settings.h"

#include <QStatusBar>

namespace kestrova {

void StreamBackend::Initialize() {
    QString url;
    if (!askAddress(QStringLiteral("Enter the video stream url:"), url)) return;
    const bool vmr = GetSetting(SettingsAppTitle(), QStringLiteral("System"), QStringLiteral("VMR"), QStringLiteral("Yes")) ==
                     QLatin1String("Yes");
    control().setUseVMR9(vmr);
    controls().directXChecked = vmr;
    networkControls(QStringLiteral("Windows Media Stream"));
    pending_ = true;
    control().OpenStream(url);
    control().PlayStream();
}

void StreamBackend::finishOpen() {
    ResizeWDM();
    statusBar().hide();
}

void StreamBackend::Disconnect() {
    control().StopStream();
    control().CloseStream();
    ControlBackend::Disconnect();
}

void StreamBackend::ResizeWDM() {
    CaptureControl& stream = control();
    stream.move(0, 0);
    stream.QueryVideoSize();
    stream.setScalePreview(true);
    // A stream that does not tell its size yet keeps the window as it is.
    if (stream.VideoWidth() == 0 || stream.VideoHeight() == 0) return;
    stream.resize(stream.VideoWidth(), stream.VideoHeight());
    resizeFrame(stream.VideoWidth(), stream.VideoHeight());
}

bool StreamBackend::FullScreenInPlace() {
    control().setFullScreen(1);
    return true;
}

void StreamBackend::VideoCompressionDialog(bool audio) { ShowVideoCODEC(control(), audio, &screen_); }

}  // namespace kestrova
