// The capture window's progress in the main window's status texts, polled by the 100 ms tick.

#include "master.h"

#include "avitools/avi_info.h"
#include "capture/capture_progress.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "platform/capture_window.h"
#include "ui/keyed.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>

namespace kestrova {

namespace {

void SetColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

bool ButtonDown(QToolBar* bar, const QString& key) {
    auto* button = FindKeyed<QAction>(bar, key);
    return button && button->isChecked();
}

}  // namespace

void Master::ShowCaptureProgress(int id) {
    if (id == 0) return;
    capGetStatus(Vars.CaptureWindow, Vars.CaptureStatus);
    QToolBar* movie = band(QStringLiteral("movie"));
    QToolBar* multiple = band(QStringLiteral("multiple"));
    auto* shooter = multiple->findChild<QWidget*>(QStringLiteral("Shooter"));
    ProgressInputs inputs;
    inputs.movieBand = movie->isVisibleTo(this);
    inputs.multipleBand = multiple->isVisibleTo(this);
    inputs.shooterVisible = shooter && shooter->isVisibleTo(this);
    inputs.recordImage = ImageKey(recordButton());
    inputs.dropErrorPercent = Vars.DropErrorPercent;
    inputs.frameRate = Vars.CaptureFrameRate;
    const ProgressOutput out = CaptureProgress(id, Vars.CaptureStatus, inputs);
    auto* statusTime = statusPanel_->findChild<QLabel*>(QStringLiteral("StatusTime"));
    auto* dropped = statusPanel_->findChild<QLabel*>(QStringLiteral("DroppedString"));
    if (out.recordImage) {
        setRecordImage(*out.recordImage);
    }
    if (out.statusString) statusString_->setText(*out.statusString);
    if (out.statusTime) statusTime->setText(*out.statusTime);
    if (out.dropped) {
        dropped->setText(out.dropped->text);
        if (out.dropped->colour.isValid()) SetColour(dropped, out.dropped->colour);
    }
    if (!out.ended) return;
    Vars.CaptureEnded = false;
    QString infoFailed;
    if (ButtonDown(movieToolbar_, QStringLiteral("writeinfo")) || ButtonDown(multiple, QStringLiteral("writeinfo"))) {
        statusString_->setText(QStringLiteral("Writing Info"));
        // A file that cannot take the list keeps its movie as it was; the status text says why.
        infoFailed = WriteAviInfo(Vars.CaptureFileName, Vars.AVIInfo[0], Vars.AVIInfo[1], Vars.AVIInfo[2], Vars.AVIInfo[3],
                                  Vars.AVIInfo[4], Vars.AVIInfo[5]);
    }
    statusString_->setText(infoFailed.isEmpty() ? QStringLiteral("Stopped")
                                                : QStringLiteral("Stopped (no information written: %1)").arg(infoFailed));
    setRecordImage(QStringLiteral("record"));
    if (auto* autostart = FindKeyed<QAction>(operationBar_, QStringLiteral("autostart"))) autostart->setEnabled(true);
    masterTimer2_.start();
    if (Vars.AVIInfo[7] == QLatin1String("1") && !Vars.ViewerOpen) {
        Vars.ViewerOpen = true;
        emit movieViewerWanted(Vars.CaptureFileName);
    }
}

}  // namespace kestrova
