// The capture modes: the switch between them, the record button and what start and stop mean.

#include "master.h"
#include "status_monitor.h"

#include "capture/device_toolbar.h"
#include "capture/video_screen.h"
#include "imaging/image_window.h"
#include "imaging/insertion.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "core/translate.h"
#include "platform/prompts.h"
#include "ui/keyed.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

namespace kestrova {

void Master::SetCaptureMode(const QString& mode) {
    const QString key = mode.toLower();
    Vars.CaptureMode = key;
    for (const char* modeKey : ModeBandKeys) {
        if (QAction* button = FindKeyed<QAction>(mainToolbar_, QString::fromLatin1(modeKey))) {
            button->setChecked(key == QLatin1String(modeKey));
        }
    }
    const ModeLayout layout = LayoutForMode(key, toolbarTicks());
    for (const char* bandKey : ModeBandKeys) band(QString::fromLatin1(bandKey))->hide();
    operationBar_->setVisible(layout.operationShown);
    if (!layout.modeBand.isEmpty()) band(layout.modeBand)->show();
    switchWebShare(false);
    if (layout.webShare) {
        switchWebShare(true, GetSetting(SettingsAppTitle(), QStringLiteral("WebShare"), QStringLiteral("Port"), QStringLiteral("80")).toInt());
    }
    if (key == QLatin1String("movie")) {
        movieDisableLimit_->setChecked(false);
        movieFrameRate_->setValue(previewRate_->currentIndex() + 1);
    }
    ClearAVIBuilderBuffer();
    if (!layout.recordImage.isEmpty()) setRecordImage(layout.recordImage);
    if (!layout.recordCaption.isEmpty()) recordButton()->setText(layout.recordCaption);
    for (int i = 0; i < ToolbarItemCount; ++i) {
        if (layout.enableItems[i]) toolbarsItems_[i]->setEnabled(*layout.enableItems[i]);
    }
    if (layout.statusPanel) statusPanelAction_->setVisible(*layout.statusPanel);

    ApplyCaptureExtension();
}

void Master::setRecordImage(const QString& imageKey) { SetImageKey(recordButton(), imageKey); }

void Master::StartStopCapture(bool start) {
    if (isMinimized()) showNormal();
    Vars.MotionMultiple = false;
    Vars.MotionTriggered = false;
    if (motionTimer_.isActive()) {
        Vars.MotionTriggered = true;
        motionTimer_.stop();
        statusString_->clear();
    }
    if (Vars.CaptureMode == QLatin1String("movie")) {
        Vars.CaptureFrameRate = movieFrameRate_->value();
        if (start) {
            const bool ask = GetSetting(SettingsAppVC, QStringLiteral("MD"), QStringLiteral("OQ"), QStringLiteral("1")) ==
                             QLatin1String("1");
            if (ask && !Vars.MotionTriggered && QFile::exists(Vars.CaptureFileName) &&
                MsgBox(OverwriteQuestionText(Vars.CaptureFileName), PromptIcon::Exclamation, PromptButtons::YesNo) !=
                    PromptAnswer::Yes) {
                return;
            }
            Vars.EstimatedFileSize = 0;
            Vars.RecordStartFreeSpace = Vars.CurrentFreeSpace = freeSpace(Vars.CaptureFileName);
            Vars.ViewerOpen = false;
            videoScreen_->Record(movieSettings());
        } else {
            if (videoScreen_->StopsOnRequest()) videoScreen_->StopCapture();
        }
    } else if (Vars.CaptureMode == QLatin1String("image")) {
        FindKeyed<QAction>(operationBar_, QStringLiteral("motion"))->setEnabled(true);
        videoScreen_->SaveStill(QString(), 0, true);
        setRecordImage(QStringLiteral("pause"));
        captureIntoEditor();
    }
}

void Master::captureIntoEditor() {
    if (imageEditor_ == nullptr) {
        imageEditor_ = new Image(this);
        imageEditor_->setWindowFlag(Qt::Window);
    }
    imageEditor_->setPicture(StillSlot());
    StillSlot() = QImage();
    imageEditor_->setWindowTitle(QStringLiteral("Untitled "));
    if (!imageEditor_->isVisible()) placeEditor(*imageEditor_);
    imageEditor_->show();
    if (insertDown(0)) {
        QImage stamped = imageEditor_->picture();
        ApplyInsertionFile(stamped, Vars.InsertionFileName);
        imageEditor_->setPicture(stamped);
    }
    imageEditor_->setResetPicture(imageEditor_->picture());
}

void Master::recordClicked() {
    QAction* record = recordButton();
    if (band(QStringLiteral("movie"))->isVisibleTo(this)) {
        if (ImageKey(record) == QLatin1String("record")) {
            StartStopCapture(true);
        } else {
            motionTimer_.stop();
            StartStopCapture(false);
            setRecordImage(QStringLiteral("record"));
        }
    } else if (band(QStringLiteral("image"))->isVisibleTo(this)) {
        if (ImageKey(record) == QLatin1String("pause")) {
            StartStopCapture(true);
        } else {
            StartStopCapture(false);
            setRecordImage(QStringLiteral("pause"));
        }
    } else if (band(QStringLiteral("multiple"))->isVisibleTo(this)) {
        StartStopCapture(ImageKey(record) == QLatin1String("record"));
    }
}

void Master::RecordNow() { recordClicked(); }

void Master::StopMovieRecord() {
    motionTimer_.stop();
    StartStopCapture(false);
    setRecordImage(QStringLiteral("record"));
}

void Master::armMotion() {
    if (QToolButton* overlay = deviceToolbar_->button(QStringLiteral("overlay")); overlay && overlay->isChecked()) {
        CurrentPrompts().message(
            Translate(QStringLiteral("Overlay Mode detected. Some devices can only detect movement under Preview Mode.")),
            PromptIcon::Exclamation, PromptButtons::Ok, QStringLiteral("Warning"));
    }
    Vars.MotionAverage = 0.0;
    Vars.MotionPrevious = QVariant();
    setRecordImage(QStringLiteral("stop"));
    FindKeyed<QAction>(operationBar_, QStringLiteral("motion"))->setEnabled(false);
    motionTimer_.start();
}

void Master::AllControls(bool enable) {
    deviceToolbar_->setEnabled(enable);
    previewRate_->setEnabled(enable);
    band(QStringLiteral("movie"))->setEnabled(enable);
    for (QWidget* control : std::initializer_list<QWidget*>{movieFrameRate_, movieDisableLimit_, movieHours_, movieMinutes_,
                                                            movieSeconds_, movieToolbar_, audioChannels_, audioBits_,
                                                            audioRate_, mainToolbar_}) {
        control->setEnabled(enable);
    }
}

}  // namespace kestrova
