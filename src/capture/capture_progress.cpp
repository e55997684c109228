#include "capture_progress.h"

#include "core/global_state.h"
#include "core/number_forms.h"

namespace kestrova {

namespace {

QString TwoDigits(std::int64_t value) { return FormatMask(value, QStringLiteral("#00")); }

QString ClockText(std::int64_t seconds) {
    return TwoDigits(seconds / 3600) + u':' + TwoDigits((seconds / 60) % 60) + u':' + TwoDigits(seconds % 60);
}

}  // namespace

bool StatusCallback(quintptr, int id, const QString& text) {
    Vars.LastStatusID = id;
    Vars.LastStatusText = text;
    if (id == 301) Vars.CaptureEnded = true;
    return true;
}

QString FrameTimeText(std::int64_t frames, int framesPerSecond) {
    const int rate = std::max(1, framesPerSecond);
    const std::int64_t seconds = frames / rate;
    return ClockText(seconds) + u'.' + TwoDigits(frames - seconds * rate);
}

QString ElapsedTimeText(std::int64_t milliseconds) {
    const std::int64_t seconds = milliseconds / 1000;
    return ClockText(seconds) + u':' + TwoDigits((milliseconds - seconds * 1000) / 10);
}

QString TimecodeText(std::uint32_t timecode) {
    const QString digits = QStringLiteral("%1").arg(timecode, 8, 16, QLatin1Char('0')).toUpper();
    return digits.mid(0, 2) + u':' + digits.mid(2, 2) + u':' + digits.mid(4, 2) + u':' + digits.mid(6, 2);
}

int TimecodeFontSize(int width, int height) {
    const long long size = RoundHalfEven(double(width) * height * 0.00005);
    if (size < 7) return 8;
    return int(std::min<long long>(size, 20));
}

QSize ZoomedSize(int width, int height, double zoom) {
    return QSize(int(RoundHalfEven(width * zoom)), int(RoundHalfEven(height * zoom)));
}

DroppedText DroppedFramesText(std::int64_t frames, std::int64_t dropped, int dropErrorPercent) {
    const QColor colour = dropErrorPercent / 100.0 * frames >= dropped ? QColor(0, 250, 0) : QColor(250, 0, 0);
    if (frames <= 0 || dropped <= 0) return {QStringLiteral("none"), colour};
    // A share below 1% reads "0%", not an empty number.
    const std::int64_t percent = dropped * 100 / frames;
    return {QString::number(dropped) + QStringLiteral(" = ") + QString::number(percent) + u'%', colour};
}

ProgressOutput CaptureProgress(int id, const CAPSTATUS& status, const ProgressInputs& inputs) {
    ProgressOutput out;
    if (id == 0) return out;
    if (status.fCapturingNow) {
        if (inputs.recordImage != QLatin1String("stop")) out.recordImage = QStringLiteral("stop");
        const std::int64_t frames = status.dwCurrentVideoFrame;
        if (frames > 0) {
            if (inputs.multipleBand) {
                if (inputs.shooterVisible) out.statusString = QString::number(frames) + QStringLiteral(" frames captured");
            } else {
                out.statusString = QStringLiteral("Recording");
            }
            out.statusTime = FrameTimeText(frames, inputs.frameRate);
            if (inputs.movieBand && inputs.dropErrorPercent >= 1) {
                out.dropped = DroppedFramesText(frames, status.dwCurrentVideoFramesDropped, inputs.dropErrorPercent);
            } else {
                out.dropped = DroppedText{};
            }
        } else {
            out.statusTime = QStringLiteral("00:00:00:00");
        }
    } else if (inputs.movieBand && inputs.recordImage != QLatin1String("record")) {
        out.recordImage = QStringLiteral("record");
    }
    out.ended = Vars.CaptureEnded && (inputs.movieBand || inputs.multipleBand);
    return out;
}

}  // namespace kestrova
