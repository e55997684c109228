#pragma once
// The built-in virtual camera: moving colour bars, a running clock and the frame counter, drawn
// without fonts (a 5 x 7 digit set) so that it works on a machine without a display.

#include <QImage>
#include <QTime>

#include <cstdint>
#include <optional>

namespace kestrova::media {

inline constexpr int TestPatternWidth = 640;
inline constexpr int TestPatternHeight = 480;
inline constexpr double TestPatternRate = 30;
// The counter strip along the bottom holds this many bits, black 0 and white 1, lowest bit left.
inline constexpr int TestPatternCounterBits = 24;

// Draws frame `number` of the pattern into a BGR888 image; `clock` is the time shown.
void DrawTestPattern(QImage& image, std::int64_t number, double fps, QTime clock);

// The frame number read back from the counter strip of a frame, or nothing when the strip is not
// there (a picture too small, or not the pattern).
std::optional<std::int64_t> ReadTestPatternCounter(const QImage& image);

}  // namespace kestrova::media
