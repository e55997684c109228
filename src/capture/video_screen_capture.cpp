// The video window's recording operations: movies, single-frame movies and the capture file.

#include "audio_format.h"
#include "capture_dialog.h"
#include "source_tags.h"
#include "video_screen.h"

#include "core/global_state.h"
#include "core/translate.h"
#include "platform/capture_window.h"

#include <QFile>

namespace kestrova {

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
    if (tag_ == KindVfw) {
        recordVfw(movie);
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

void VideoScreen::recordVfw(const MovieSettings& movie) {
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
    emit statusText(QStringLiteral("Recording"));
    emit recordButtonImage(QStringLiteral("stop"));
    if (Vars.CaptureYield == 0) {
        emit timeText(QString());
        emit droppedText(QStringLiteral("Exclusive Task"));
    }
    Vars.CaptureResult = capCaptureSequence(Vars.CaptureWindow);
}

void VideoScreen::StopCapture() {
    if (tag_ == KindVfw) capCaptureStop(Vars.CaptureWindow);
    if (tag_ == KindWms) {
        notSupported();
    } else if (tag_ == KindWdm || tag_ == KindHttp) {
        wdmX_->StopCapture();
        emit recordButtonImage(QStringLiteral("record"));
    }
    emit statusText(Translate(QStringLiteral("Stopped")));
}

void VideoScreen::SetFilename(const QString& fileName) {
    if (tag_ == KindVfw) capFileSetCaptureFile(Vars.CaptureWindow, fileName);
    if (controlKind()) wdmX_->setCaptureFile(fileName);
    emit panelText(QStringLiteral("filename"), QStringLiteral("Filename: ") + values.commonDialogFileName);
}

QString VideoScreen::GetFilename() const {
    if (tag_ == KindVfw) return capFileGetCaptureFile(Vars.CaptureWindow);
    return tag_ == KindWdm ? wdmX_->CaptureFile() : QStringLiteral("Error");
}

void VideoScreen::OpenMultipleImage() {
    if (tag_ == KindWms) {
        notSupported();
        return;
    }
    if (tag_ == KindVfw) {
        Vars.CaptureParms.dwRequestMicroSecPerFrame = FrameInterval(values.multipleImageFrameRatePosition + 1);
        SetCaptureParameters();
        capFileSetCaptureFile(Vars.CaptureWindow, Vars.CaptureFileName);
        Vars.CaptureResult = capCaptureSingleFrameOpen(Vars.CaptureWindow);
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
    if (tag_ == KindVfw) Vars.CaptureResult = capCaptureSingleFrame(Vars.CaptureWindow);
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
    if (tag_ == KindVfw) capCaptureSingleFrameClose(Vars.CaptureWindow);
    if (tag_ != KindWdm && tag_ != KindHttp) return;
    grabPending_ = false;
    wdmStatus_.stop();
    wdmX_->CloseFrameCapture();
}

void VideoScreen::WDMCaptureDialog() {
    if (tag_ == KindWdm) ShowCaptureDialog(*wdmX_, this);
}

}  // namespace kestrova
