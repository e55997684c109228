#pragma once
// The ten effects of the image editor, on the raw bytes of 24-bit pictures. Each reads only the
// source and writes only the result (same size, neither aliasing the other); the pixels an effect
// does not write keep what the result held.

#include "imaging/picture_bits.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace kestrova {

struct EffectOptions {
    // Called after the columns whose index is a multiple of the progress step, with e.g. "Softening...45%".
    std::function<void(const QString&)> progress;
    // Diffusing's random generator; the time of day unless a caller fixes it.
    std::uint64_t seed = 0;
    bool seeded = false;
};

using EffectFunction = void (*)(const PictureView& source, const PictureBits& result, const EffectOptions& options);

void FlipVertical(const PictureView& source, const PictureBits& result, const EffectOptions& options);    // left-right
void FlipHorizontal(const PictureView& source, const PictureBits& result, const EffectOptions& options);  // top-bottom
void Grayscaling(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Inverting(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Softening(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Sharpening(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Diffusing(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Embossing(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Lighting(const PictureView& source, const PictureBits& result, const EffectOptions& options);
void Solarizing(const PictureView& source, const PictureBits& result, const EffectOptions& options);

struct Effect {
    const char* key;           // the menu key, also the command line's name
    const char* caption;       // the menu caption
    const char* progressText;  // "Softening..."
    EffectFunction run;
};

// The effects in menu order.
const std::vector<Effect>& Effects();
const Effect* FindEffect(const QString& key);

// Progress is reported after every column x that is a multiple of this step.
int ProgressStep(int width);
// progressText followed by floor(x / (width - 1) * 100) and "%".
QString ProgressText(const char* progressText, int x, int width);

// Runs an effect on a picture in place: the picture is copied to a source surface first and the
// result written back over it, so the pixels the effect leaves alone keep the picture. False
// when the picture is invalid or no memory is left for the copy.
bool ApplyEffect(const Effect& effect, const PictureBits& picture, const EffectOptions& options);

}  // namespace kestrova
