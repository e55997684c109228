#include "backends.h"
#include "capture_progress.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/image_view.h"
#include "platform/picture_writer.h"
#include "platform/prompts.h"

#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

namespace kestrova {

std::unique_ptr<SourceBackend> MakeBackend(SourceKind kind, VideoScreen& screen) {
    switch (kind) {
    case SourceKind::Vfw: return std::make_unique<VfwBackend>(screen);
    case SourceKind::Wdm: return std::make_unique<WdmBackend>(screen);
    case SourceKind::Wms: return std::make_unique<StreamBackend>(screen);
    case SourceKind::Http: return std::make_unique<CameraBackend>(screen);
    case SourceKind::None:
    case SourceKind::Failed: break;
    }
    return std::make_unique<NoneBackend>(screen, kind);
}

void SourceBackend::Initialize() { commonEnd(); }

void SourceBackend::Record(const MovieSettings&) { notSupported(); }
void SourceBackend::StopCapture() { notSupported(); }
void SourceBackend::OpenMultipleImage() { notSupported(); }
void SourceBackend::CloseMultipleCapture() { notSupported(); }

bool SourceBackend::CaptureSingle() {
    notSupported();
    return false;
}

void SourceBackend::SaveStill(const QString&, int, bool onClipboard) {
    if (onClipboard) StillSlot() = mira();
}

void SourceBackend::notSupported() {
    CurrentPrompts().message(Translate(QStringLiteral("Capture Mode not supported")), PromptIcon::Critical, PromptButtons::Ok,
                             windowTitle());
}

bool SourceBackend::current() const { return screen_.backend_.get() == this; }
void SourceBackend::becomeKind(SourceKind kind) const { screen_.connectKind(kind); }

CaptureControl& SourceBackend::control() const { return *screen_.wdmX_; }
DeviceControls& SourceBackend::controls() const { return screen_.controls_; }
const MainWindowValues& SourceBackend::values() const { return screen_.values; }
QStatusBar& SourceBackend::statusBar() const { return *screen_.statusBar_; }
QToolBar& SourceBackend::tapeTransport() const { return *screen_.mastertoolbar_; }
QLabel& SourceBackend::resolutionPanel() const { return *screen_.resolutionPanel_; }
QToolButton& SourceBackend::audioPanel() const { return *screen_.audioPanel_; }
QTimer& SourceBackend::wdmStatus() const { return screen_.wdmStatus_; }
QTimer& SourceBackend::dvStatus() const { return screen_.dvStatus_; }
QLabel& SourceBackend::dvPos() const { return *screen_.dvPos_; }
QLabel& SourceBackend::dvTaken() const { return *screen_.dvTaken_; }
const QImage& SourceBackend::mira() const { return screen_.mira_; }
QImage& SourceBackend::streamPic() const { return screen_.streamPic_; }
bool& SourceBackend::grabPending() const { return screen_.grabPending_; }
double SourceBackend::winVideoSize() const { return screen_.winVideoSize_; }
QString SourceBackend::windowTitle() const { return screen_.windowTitle(); }
void SourceBackend::setCaption(const QString& caption) const { screen_.setCaption(caption); }
void SourceBackend::setBusy(bool busy) const { screen_.setBusy(busy); }
void SourceBackend::applyControls() const { screen_.applyControls(); }
void SourceBackend::resizeFrame(int width, int height) const { screen_.resizeFrame(width, height); }
void SourceBackend::commonEnd() const { screen_.commonEnd(); }

void ControlBackend::opened() {
    if (!pending_) {
        ResizeWDM();  // a new format or preview rate
        return;
    }
    pending_ = false;
    finishOpen();
    commonEnd();
}

void ControlBackend::failed() {
    if (!std::exchange(pending_, false)) return;
    commonEnd();
}

void ControlBackend::Disconnect() {
    if (std::exchange(pending_, false)) setBusy(false);  // the source went before it opened
    control().setConnected(false);
    control().hide();
}

void ControlBackend::SaveStill(const QString& fileName, int quality, bool onClipboard) {
    const QImage picture = control().CurrentPicture();
    grabPending() = true;
    if (onClipboard) {
        StillSlot() = picture.isNull() ? mira() : picture;
        return;
    }
    // Without a frame yet the test card is the still, as when a driver cannot copy one.
    streamPic() = picture.isNull() ? mira() : picture;
    QFile::remove(fileName);
    WritePicture(ViewOf(streamPic().convertToFormat(QImage::Format_BGR888)), fileName, quality);
}

void ControlBackend::SetFilename(const QString& fileName) { control().setCaptureFile(fileName); }

void ControlBackend::stopMovie() {
    control().StopCapture();
    emit screen_.recordButtonImage(QStringLiteral("record"));
}

void ControlBackend::openFrames() {
    grabPending() = false;
    control().setCaptureFile(Vars.CaptureFileName);
    control().OpenFrameCapture(values().multipleImageFrameRatePosition + 1);
    wdmStatus().start();
}

bool ControlBackend::captureFrame() {
    grabPending() = true;
    control().CaptureFrame();
    return true;
}

void ControlBackend::closeFrames() {
    grabPending() = false;
    wdmStatus().stop();
    control().CloseFrameCapture();
}

void ControlBackend::layOutDevicePicture() {
    control().QueryVideoSize();
    control().setScalePreview(true);
    const QSize picture = ZoomedSize(control().VideoWidth(), control().VideoHeight(), winVideoSize());
    if (picture.isEmpty()) return;
    const int tape = tapeTransport().isVisibleTo(&screen_) ? tapeTransport().sizeHint().height() : 0;
    tapeTransport().setGeometry(0, 0, picture.width(), tape);
    control().setGeometry(0, tape, picture.width(), picture.height());
    const int bar = statusBar().isVisible() ? statusBar().sizeHint().height() : 0;
    statusBar().setGeometry(0, tape + picture.height(), picture.width(), bar);
    resolutionPanel().setText(Translate(QStringLiteral("Resolution:")) +
                              QStringLiteral("%1x%2 ").arg(control().VideoWidth()).arg(control().VideoHeight()));
    emit screen_.panelText(QStringLiteral("resolution"), Translate(QStringLiteral("Connected")));
    resizeFrame(picture.width(), tape + picture.height() + bar);
}

bool ControlBackend::askAddress(const QString& question, QString& address) {
    const std::optional<QString> url = CurrentPrompts().input(Translate(question), windowTitle(), QString());
    // The window may have been given another source, or the program closed, while the box was open.
    if (!url || url->isEmpty() || !current()) {
        setBusy(false);
        return false;
    }
    address = *url;
    return true;
}

void ControlBackend::networkControls(const QString& caption) {
    DeviceControls& shown = controls();
    shown.advancedSettings = false;
    shown.directX = false;
    shown.overlayImage = false;
    shown.wdmSettings = false;
    control().setPreviewFrameRate(values().previewRatePosition + 1);
    screen_.AudioVFW(false);
    control().show();
    setCaption(caption);
    shown.fullscreen = true;
    shown.source = false;
    shown.display = false;
    shown.format = false;
    shown.formatItems.clear();
    shown.audioDevices.clear();
    shown.exportDv = false;
    shown.tunerVisible = false;
    applyControls();
    emit screen_.parametersFile(false);
}

}  // namespace kestrova
