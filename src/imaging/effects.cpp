#include "effects.h"

#include "core/number_forms.h"

#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace kestrova {

namespace {

using Byte = unsigned char;

inline Byte clampByte(int value) { return static_cast<Byte>(value < 0 ? 0 : value > 255 ? 255 : value); }

// Visits the picture in strips of columns that end at the progress points, reporting after each
// point as a column-by-column visit would. strip(x0, x1) handles columns x0 <= x < x1, all rows.
template <class Strip>
void byColumns(int width, const EffectOptions& options, const char* text, Strip&& strip) {
    const int step = ProgressStep(width);
    for (int x0 = 0; x0 < width;) {
        const int nextPoint = (x0 + step - 1) / step * step;
        const int last = std::min(nextPoint, width - 1);
        strip(x0, last + 1);
        if (last % step == 0 && options.progress) options.progress(ProgressText(text, last, width));
        x0 = last + 1;
    }
}

bool sameSize(const PictureView& source, const PictureBits& result) {
    return source.isValid() && result.isValid() && source.width == result.width && source.height == result.height;
}

// Applies a per-byte function to the strip's bytes of every row.
template <class Op>
void pointEffect(const PictureView& source, const PictureBits& result, const EffectOptions& options, const char* text,
                 Op&& op) {
    if (!sameSize(source, result)) return;
    byColumns(source.width, options, text, [&](int x0, int x1) {
        for (int y = 0; y < source.height; ++y) op(source.row(y), result.row(y), 3 * x0, 3 * x1);
    });
}

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// round(4r - 2), halves to even, for r = u / 2^32: exactly, in integers.
inline int diffuseOffset(std::uint32_t u) {
    const std::int64_t n = std::int64_t(u) - (std::int64_t(1) << 31);  // (4r - 2) * 2^30
    const std::int64_t floor = n >> 30;
    const std::int64_t fraction = n & ((std::int64_t(1) << 30) - 1);
    const std::int64_t half = std::int64_t(1) << 29;
    return int(fraction > half ? floor + 1 : fraction < half ? floor : floor + (floor & 1));
}

}  // namespace

int ProgressStep(int width) { return std::max(1, int(RoundHalfEven((width - 1) / 20.0))); }

QString ProgressText(const char* progressText, int x, int width) {
    const int percent = width > 1 ? int(std::floor((double(x) / double(width - 1)) * 100.0)) : 100;
    return QLatin1String(progressText) + QString::number(percent) + u'%';
}

void FlipVertical(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    const int w = source.width;
    pointEffect(source, result, options, "Flip Vertical...", [w](const Byte* in, Byte* out, int i0, int i1) {
        for (int i = i0; i < i1; i += 3) {
            Byte* o = out + 3 * (w - 1) - i;
            o[0] = in[i];
            o[1] = in[i + 1];
            o[2] = in[i + 2];
        }
    });
}

void FlipHorizontal(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int h = source.height;
    byColumns(source.width, options, "Flip Horizontal...", [&](int x0, int x1) {
        for (int y = 0; y < h; ++y) std::memcpy(result.row(h - 1 - y) + 3 * x0, source.row(y) + 3 * x0, size_t(x1 - x0) * 3);
    });
}

void Grayscaling(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    pointEffect(source, result, options, "Grayscaling...", [](const Byte* in, Byte* out, int i0, int i1) {
        for (int i = i0; i < i1; i += 3) {
            // floor(sum / 3), exact for sums up to 765.
            const Byte grey = static_cast<Byte>(((unsigned(in[i]) + in[i + 1] + in[i + 2]) * 43691u) >> 17);
            out[i] = out[i + 1] = out[i + 2] = grey;
        }
    });
}

void Inverting(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    pointEffect(source, result, options, "Inverting...", [](const Byte* in, Byte* out, int i0, int i1) {
        for (int i = i0; i < i1; ++i) out[i] = static_cast<Byte>(255 - in[i]);
    });
}

void Solarizing(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    // 0xFF on the blue bytes of a row: red and green invert below 128, blue everywhere but at 128.
    std::vector<Byte> blue(size_t(source.width) * 3, 0);
    for (size_t i = 0; i < blue.size(); i += 3) blue[i] = 0xFF;
    const Byte* isBlue = blue.data();
    pointEffect(source, result, options, "Solarizing...", [isBlue](const Byte* in, Byte* out, int i0, int i1) {
        for (int i = i0; i < i1; ++i) {
            const Byte v = in[i];
            const Byte low = v < 128 ? 0xFF : 0;
            const Byte notMiddle = v != 128 ? 0xFF : 0;
            out[i] = static_cast<Byte>(v ^ ((isBlue[i] & notMiddle) | (~isBlue[i] & low)));
        }
    });
}

void Softening(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int w = source.width, h = source.height;
    // Vertical sums of three rows for a strip, one more column each side; the column past the
    // right edge is three outside pixels.
    std::vector<int> sums(size_t(w + 2) * 3);
    byColumns(w, options, "Softening...", [&](int x0, int x1) {
        x0 = std::max(x0, 1);
        if (x0 >= x1) return;
        const int b0 = 3 * (x0 - 1), b1 = 3 * std::min(x1 + 1, w);
        int* s = sums.data();
        for (int i = b1; i < 3 * (x1 + 1); ++i) s[i] = -3;
        for (int y = 1; y < h; ++y) {
            const Byte* up = source.row(y - 1);
            const Byte* mid = source.row(y);
            if (y + 1 < h) {
                const Byte* down = source.row(y + 1);
                for (int i = b0; i < b1; ++i) s[i] = up[i] + mid[i] + down[i];
            } else {
                for (int i = b0; i < b1; ++i) s[i] = up[i] + mid[i] - 1;
            }
            Byte* out = result.row(y);
            for (int i = 3 * x0; i < 3 * x1; ++i) {
                const int sum = std::max(s[i - 3] + s[i] + s[i + 3], 0);
                out[i] = static_cast<Byte>((unsigned(sum) * 7282u) >> 16);  // floor(sum / 9) up to 9 * 255
            }
        }
    });
}

void Sharpening(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int w = source.width, h = source.height;
    byColumns(w, options, "Sharpening...", [&](int x0, int x1) {
        x0 = std::max(x0, 1);
        x1 = std::min(x1, w - 2);
        for (int y = 1; y < h - 2; ++y) {
            const Byte* v = source.row(y);
            const Byte* u = source.row(y - 1) - 3;
            Byte* out = result.row(y);
            for (int i = 3 * x0; i < 3 * x1; ++i) {
                // v + (v - u) / 2 rounded half to even: t / 2 for t = 3v - u.
                const int t = 3 * v[i] - u[i];
                const int half = t >> 1;
                out[i] = clampByte(half + (t & half & 1));
            }
        }
    });
}

void Embossing(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int w = source.width, h = source.height;
    byColumns(w, options, "Embossing...", [&](int x0, int x1) {
        x0 = std::max(x0, 1);
        x1 = std::min(x1, w - 2);
        for (int y = 1; y < h - 2; ++y) {
            const Byte* v = source.row(y);
            const Byte* next = source.row(y + 1) + 3;
            Byte* out = result.row(y);
            for (int i = 3 * x0; i < 3 * x1; ++i) {
                const int d = v[i] - next[i] + 128;
                out[i] = static_cast<Byte>(std::min(d < 0 ? -d : d, 255));
            }
        }
    });
}

void Diffusing(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int w = source.width, h = source.height;
    std::uint64_t state = options.seeded ? options.seed : std::uint64_t(QTime::currentTime().msecsSinceStartOfDay());
    byColumns(w, options, "Diffusing...", [&](int x0, int x1) {
        for (int y = 0; y < h; ++y) {
            Byte* out = result.row(y);
            for (int x = x0; x < x1; ++x) {
                const std::uint64_t r = splitmix(state);
                const int sx = x + diffuseOffset(std::uint32_t(r >> 32));
                const int sy = y + diffuseOffset(std::uint32_t(r));
                Byte* o = out + 3 * x;
                if (sx < 0 || sx >= w || sy < 0 || sy >= h) {
                    o[0] = o[1] = o[2] = 0;
                } else {
                    const Byte* in = source.row(sy) + 3 * sx;
                    o[0] = in[0];
                    o[1] = in[1];
                    o[2] = in[2];
                }
            }
        }
    });
}

void Lighting(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int w = source.width, h = source.height;
    // The angle runs the same way down every column, so each row's step of the light level is
    // known up front: round(L - sin) is L + round(-sin) unless the sine is exactly a half.
    std::vector<double> sines(static_cast<size_t>(h));
    std::vector<int> steps(static_cast<size_t>(h));
    std::vector<char> exact(static_cast<size_t>(h));
    double f = 0;
    for (int y = 0; y < h; ++y) {
        const int angle = std::clamp<long long>(RoundHalfEven((w - 1) / 90.0 + f), -32768, 32767);
        sines[size_t(y)] = std::sin(angle * 3.14 / 180);
        steps[size_t(y)] = int(RoundHalfEven(-sines[size_t(y)]));
        exact[size_t(y)] = std::fabs(std::fabs(sines[size_t(y)]) - 0.5) < 1e-9;
        f = std::min(angle, 90);
    }
    std::vector<int> levels(static_cast<size_t>(w));
    byColumns(w, options, "Lighting...", [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x) levels[size_t(x)] = h - x;
        for (int y = 0; y < h; ++y) {
            const Byte* in = source.row(y);
            Byte* out = result.row(y);
            const int step = steps[size_t(y)];
            for (int x = x0; x < x1; ++x) {
                int level = exact[size_t(y)] ? int(RoundHalfEven(levels[size_t(x)] - sines[size_t(y)]))
                                             : levels[size_t(x)] + step;
                // floor(value / 2 + L / 4) = floor((2 value + L) / 4)
                const int i = 3 * x;
                out[i] = clampByte((2 * in[i] + level) >> 2);
                out[i + 1] = clampByte((2 * in[i + 1] + level) >> 2);
                out[i + 2] = clampByte((2 * in[i + 2] + level) >> 2);
                if (level <= 50) level = 50;
                levels[size_t(x)] = level;
            }
        }
    });
}

const std::vector<Effect>& Effects() {
    static const std::vector<Effect> effects = {
        {"flip", "Flip Horizontal", "Flip Vertical...", FlipVertical},
        {"mirror", "Flip Vertical", "Flip Horizontal...", FlipHorizontal},
        {"greyscale", "Greyscale", "Grayscaling...", Grayscaling},
        {"negative", "Negative Image", "Inverting...", Inverting},
        {"soften", "Soften", "Softening...", Softening},
        {"sharpen", "Sharpen", "Sharpening...", Sharpening},
        {"diffuse", "Diffuse", "Diffusing...", Diffusing},
        {"emboss", "Emboss", "Embossing...", Embossing},
        {"lighting", "Lighting Effect", "Lighting...", Lighting},
        {"solarize", "Solarize", "Solarizing...", Solarizing},
    };
    return effects;
}

const Effect* FindEffect(const QString& key) {
    for (const Effect& effect : Effects()) {
        if (key == QLatin1String(effect.key)) return &effect;
    }
    return nullptr;
}

bool ApplyEffect(const Effect& effect, const PictureBits& picture, const EffectOptions& options) {
    if (!picture.isValid()) return false;
    const size_t rowBytes = size_t(picture.width) * 3;
    std::vector<unsigned char> copy;
    try {
        copy.resize(rowBytes * size_t(picture.height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < picture.height; ++y) std::memcpy(copy.data() + rowBytes * size_t(y), picture.row(y), rowBytes);
    effect.run(PictureView{copy.data(), picture.width, picture.height, int(rowBytes), false}, picture, options);
    return true;
}

}  // namespace kestrova
