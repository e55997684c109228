// The trigger windows of the operation band: the sound level detector and the serial switch.
// Their requests run from the event loop, never inside the window's own signal, since a start may
// ask a question first.

#include "master.h"

#include "core/global_state.h"
#include "detectors/audio_detector.h"
#include "detectors/rs232_window.h"
#include "ui/keyed.h"

#include <QAction>
#include <QTimer>
#include <QToolBar>

namespace kestrova {

void Master::showAudioDetector() {
    if (audioDetector_) {
        audioDetector_->raise();
        audioDetector_->activateWindow();
        return;
    }
    audioDetector_ = new AudioDetector(this);
    connect(audioDetector_, &AudioDetector::triggered, this, [this] { StartStopCapture(true); }, Qt::QueuedConnection);
    audioDetector_->show();
}

void Master::switchSerialTrigger(bool on) {
    if (!on) {
        if (serialTrigger_) serialTrigger_->close();
        return;
    }
    if (serialTrigger_) return;
    serialTrigger_ = new RS232(nullptr, this);
    connect(serialTrigger_, &RS232::startStopRequested, this, &Master::RecordNow, Qt::QueuedConnection);
    connect(serialTrigger_, &RS232::shutterRequested, this, &Master::shutterPressed, Qt::QueuedConnection);
    // Closed by its own close box: the button comes up again. Said while the window is still whole,
    // since the button's release closes it (a second close of a closing window does nothing).
    connect(serialTrigger_, &RS232::closing, this,
            [button = QPointer<QAction>(FindKeyed<QAction>(operationBar_, QStringLiteral("rs232")))] {
                if (button) button->setChecked(false);
            });
    serialTrigger_->show();
}

void Master::shutterPressed() {
    if (Vars.CaptureMode == QLatin1String("image")) StartStopCapture(true);
}

}  // namespace kestrova
