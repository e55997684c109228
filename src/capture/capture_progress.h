#pragma once
// What the main window shows while a capture runs: the texts of the capture window's progress, of
// the control's statistics, of a DV tape position and the size of the timecode overlay.

#include "core/capture_records.h"

#include <QColor>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace kestrova {

// The status callback of a capture-window driver: keeps the last message; IDS_CAP_END marks the end.
bool StatusCallback(quintptr window, int id, const QString& text);

// Frames at a whole rate as "hh:mm:ss.ff", ff the frame within its second.
QString FrameTimeText(std::int64_t frames, int framesPerSecond);
// Milliseconds as "hh:mm:ss:cc", cc in hundredths.
QString ElapsedTimeText(std::int64_t milliseconds);
// A binary-coded decimal timecode as "hh:mm:ss:ff".
QString TimecodeText(std::uint32_t timecode);
// The timecode font size for a picture: 0.00005 points per pixel, 8 to 20.
int TimecodeFontSize(int width, int height);
// A picture's size at a zoom factor, each side rounded half to even.
QSize ZoomedSize(int width, int height, double zoom);

struct DroppedText {
    QString text;
    QColor colour;
};
// "none" before any drop, else "dropped = p%": green while the drops stay within the share.
DroppedText DroppedFramesText(std::int64_t frames, std::int64_t dropped, int dropErrorPercent);

// What the main window shows for the capture window's last status; its inputs are the main
// window's bands and buttons.
struct ProgressInputs {
    bool movieBand = false;
    bool multipleBand = false;
    bool shooterVisible = false;
    QString recordImage;  // the "record" button's picture
    int dropErrorPercent = 10;
    int frameRate = 0;
};
struct ProgressOutput {
    std::optional<QString> recordImage;
    std::optional<QString> statusString;
    std::optional<QString> statusTime;
    std::optional<DroppedText> dropped;  // an empty text with no colour: emptied, colour kept
    bool ended = false;  // the end-of-capture steps run
};
ProgressOutput CaptureProgress(int id, const CAPSTATUS& status, const ProgressInputs& inputs);

}  // namespace kestrova
