// The video window's recording operations: movies, single-frame movies and the capture file.

#include "capture_dialog.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/translate.h"

namespace kestrova {

namespace {

const QString KindWdm = QStringLiteral("wdm");
const QString KindWms = QStringLiteral("wms");
const QString KindHttp = QStringLiteral("http");

}  // namespace

void VideoScreen::connectCaptureNotifications() {
    connect(wdmX_, &CaptureControl::captureStarted, this, [this] { wdmStatus_.start(); });
    connect(wdmX_, &CaptureControl::captureEnded, this, [this](const QString& reason) {
        wdmStatus_.stop();
        if (!reason.isEmpty()) emit statusText(reason);
        if (!grabPending_) emit movieStopRequested();
    });
}

void VideoScreen::Record(const MovieSettings& movie) {
    if (tag_ == KindWms || tag_ == KindHttp) {
        notSupported();
        return;
    }
    if (tag_ != KindWdm) return;
    // A still taken before must not keep this recording's end from reaching the main window.
    grabPending_ = false;
    wdmX_->setCaptureFile(Vars.CaptureFileName);
    if (movie.noLimit) {
        wdmX_->setTimeLimit(0);
        wdmX_->setTimeLimitEnabled(false);
    } else {
        wdmX_->setTimeLimit(movie.hours * 3600 + movie.minutes * 60 + movie.seconds);
        wdmX_->setTimeLimitEnabled(true);
    }
    emit statusText(Translate(QStringLiteral("Recording")));
    emit recordButtonImage(QStringLiteral("stop"));
    wdmX_->setCaptureAudio(movie.audio);
    wdmX_->setCaptureFrameRate(movie.frameRate);
    wdmX_->StartCapture();
}

void VideoScreen::StopCapture() {
    if (tag_ == KindWms) {
        notSupported();
    } else if (tag_ == KindWdm || tag_ == KindHttp) {
        wdmX_->StopCapture();
        emit recordButtonImage(QStringLiteral("record"));
    }
    emit statusText(Translate(QStringLiteral("Stopped")));
}

void VideoScreen::SetFilename(const QString& fileName) {
    if (controlKind()) wdmX_->setCaptureFile(fileName);
    emit panelText(QStringLiteral("filename"), QStringLiteral("Filename: ") + values.commonDialogFileName);
}

QString VideoScreen::GetFilename() const { return tag_ == KindWdm ? wdmX_->CaptureFile() : QStringLiteral("Error"); }

void VideoScreen::OpenMultipleImage() {
    if (tag_ == KindWms) {
        notSupported();
        return;
    }
    if (tag_ != KindWdm && tag_ != KindHttp) return;
    grabPending_ = false;
    wdmX_->setCaptureFile(Vars.CaptureFileName);
    wdmX_->OpenFrameCapture(values.multipleImageFrameRatePosition + 1);
    wdmStatus_.start();
}

void VideoScreen::CaptureSingle() {
    if (tag_ == KindWms) {
        notSupported();
        return;
    }
    if (tag_ == KindWdm || tag_ == KindHttp) {
        grabPending_ = true;
        wdmX_->CaptureFrame();
    }
    emit statusText(QStringLiteral("Capturing Frame"));
}

void VideoScreen::CloseMultipleCapture() {
    if (tag_ == KindWms) {
        notSupported();
        return;
    }
    if (tag_ != KindWdm && tag_ != KindHttp) return;
    grabPending_ = false;
    wdmStatus_.stop();
    wdmX_->CloseFrameCapture();
}

void VideoScreen::WDMCaptureDialog() {
    if (tag_ == KindWdm) ShowCaptureDialog(*wdmX_, this);
}

}  // namespace kestrova
