// The video window's capture statistics tick and the timecode laid over the control's picture.

#include "capture_progress.h"
#include "video_screen.h"

#include "core/global_state.h"

#include <QFontMetrics>
#include <QLabel>

namespace kestrova {

void VideoScreen::WDMStatusTick() {
    qint64 ms = 0, frames = 0, dropped = 0, bytes = 0, samples = 0;
    double rate = 0;
    wdmX_->CaptureStatistics(ms, frames, dropped, bytes, samples, rate);
    if (Vars.CaptureMode == QLatin1String("multiple")) {
        emit statusText(QString::number(Vars.ImageCounter) + QStringLiteral(" frames captured"));
        emit timeText(QStringLiteral("N/A"));
        emit droppedText(QStringLiteral("N/A"));
        return;
    }
    // The control's own end notification stops the movie; here the tick only stops itself.
    if (!wdmX_->Capturing()) wdmStatus_.stop();
    emit timeText(ElapsedTimeText(ms));
    emit droppedText(QString::number(dropped));
}

// The control gives the tape position as the eight hexadecimal digits of its binary-coded timecode.
void VideoScreen::DVStatusTick() {
    dvPos_->setText(TimecodeText(wdmX_->DVTimecode().toUInt(nullptr, 16)));
    dvTaken_->setText(wdmX_->DVRecordingDate());
    if (wdmX_->DVTransport(0) == 2) dvPos_->clear();
}

void VideoScreen::ShowTCR(bool tcrButtonDown) {
    if (!wdmX_->isVisible()) return;
    if (!tcrButtonDown || Vars.CaptureMode != QLatin1String("movie")) {
        wdmX_->TextOverlay(0, QString(), 0, 0, QStringLiteral("0"), 0, QColor(0, 0, 0), 0);
        return;
    }
    const int size = TimecodeFontSize(wdmX_->VideoWidth(), wdmX_->VideoHeight());
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(size);
    setFont(font);
    const QFontMetrics metrics(font);
    const int x = (wdmX_->width() - metrics.horizontalAdvance(QStringLiteral("00:00:00:00"))) / 2;
    const int y = wdmX_->height() - 2 * metrics.height();
    wdmX_->TextOverlay(0, QStringLiteral("SMPTE"), x, y, QStringLiteral("Arial"), size, QColor(255, 255, 255), 0);
}

}  // namespace kestrova
