#include "effects.h"

#include "core/number_forms.h"

#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// The progress texts of a whole visit, for effects whose every pixel depends on its own source
// pixel only: they run row by row in one pass and report the same texts afterwards.
void reportAll(int width, const EffectOptions& options, const char* text) {
    if (!options.progress) return;
    const int step = ProgressStep(width);
    for (int x = 0; x < width; x += step) options.progress(ProgressText(text, x, width));
}

// Applies a row function to every row, then reports.
template <class Op>
void pointEffect(const PictureView& source, const PictureBits& result, const EffectOptions& options, const char* text,
                 Op&& op) {
    if (!sameSize(source, result)) return;
    for (int y = 0; y < source.height; ++y) op(source.row(y), result.row(y), source.width);
    reportAll(source.width, options, text);
}

// An ifunc resolver runs before ThreadSanitizer's runtime is set up, so its builds take one plain version.
#if defined(__SANITIZE_THREAD__)
#define KESTROVA_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KESTROVA_THREAD_SANITIZER 1
#endif
#endif
#if defined(__x86_64__) && !defined(KESTROVA_THREAD_SANITIZER)
#define KESTROVA_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define KESTROVA_CLONES
#endif

KESTROVA_CLONES void invertRow(const Byte* in, Byte* out, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<Byte>(~in[i]);
}

KESTROVA_CLONES void solarizeRow(const Byte* in, Byte* out, const Byte* isBlue, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        const Byte v = in[i];
        const Byte low = v < 128 ? 0xFF : 0;
        const Byte notMiddle = v != 128 ? 0xFF : 0;
        out[i] = static_cast<Byte>(v ^ ((isBlue[i] & notMiddle) | (~isBlue[i] & low)));
    }
}

#if defined(__x86_64__)
#define KESTROVA_SSSE3 1
bool hasSsse3() {
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}

// Sixteen pixels at a time: blue, green and red gathered, averaged with floor((b + g + r) / 3)
// (as (sum * 21846) >> 16, exact up to 765) and spread back.
[[gnu::target("ssse3")]] int greyRowSsse3(const unsigned char* in, unsigned char* out, int width) {
    const __m128i b0 = _mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i b1 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1);
    const __m128i b2 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13);
    const __m128i g0 = _mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i g1 = _mm_setr_epi8(-1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1);
    const __m128i g2 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14);
    const __m128i r0 = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i r1 = _mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
    const __m128i r2 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
    const __m128i o0 = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i o1 = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i o2 = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    const __m128i zero = _mm_setzero_si128();
    const __m128i third = _mm_set1_epi16(21846);
    int x = 0;
    for (; x + 16 <= width; x += 16, in += 48, out += 48) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        const __m128i a2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32));
        const __m128i b = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a0, b0), _mm_shuffle_epi8(a1, b1)), _mm_shuffle_epi8(a2, b2));
        const __m128i g = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a0, g0), _mm_shuffle_epi8(a1, g1)), _mm_shuffle_epi8(a2, g2));
        const __m128i r = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a0, r0), _mm_shuffle_epi8(a1, r1)), _mm_shuffle_epi8(a2, r2));
        const __m128i low = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(g, zero)),
                                          _mm_unpacklo_epi8(r, zero));
        const __m128i high = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(g, zero)),
                                           _mm_unpackhi_epi8(r, zero));
        const __m128i grey = _mm_packus_epi16(_mm_mulhi_epu16(low, third), _mm_mulhi_epu16(high, third));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(grey, o0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_shuffle_epi8(grey, o1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm_shuffle_epi8(grey, o2));
    }
    return x;
}

bool hasAvx2() {
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}

[[gnu::target("avx2")]] inline __m256i both(__m128i mask) { return _mm256_broadcastsi128_si256(mask); }
// 16 bytes at p into the low half, 16 bytes at p + 48 into the high half, and back.
[[gnu::target("avx2")]] inline __m256i loadPair(const unsigned char* p) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), 1);
}
[[gnu::target("avx2")]] inline void storePair(unsigned char* p, __m256i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), _mm256_extracti128_si256(v, 1));
}

// The same with two groups of sixteen pixels side by side, one in each half of the registers.
[[gnu::target("avx2")]] int greyRowAvx2(const unsigned char* in, unsigned char* out, int width) {
    const __m256i b0 = both(_mm_setr_epi8(0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const __m256i b1 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14, -1, -1, -1, -1, -1));
    const __m256i b2 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 4, 7, 10, 13));
    const __m256i g0 = both(_mm_setr_epi8(1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const __m256i g1 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15, -1, -1, -1, -1, -1));
    const __m256i g2 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 5, 8, 11, 14));
    const __m256i r0 = both(_mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
    const __m256i r1 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1));
    const __m256i r2 = both(_mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15));
    const __m256i o0 = both(_mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5));
    const __m256i o1 = both(_mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10));
    const __m256i o2 = both(_mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i third = _mm256_set1_epi16(21846);
    int x = 0;
    for (; x + 32 <= width; x += 32, in += 96, out += 96) {
        const __m256i a0 = loadPair(in), a1 = loadPair(in + 16), a2 = loadPair(in + 32);
        const __m256i b = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a0, b0), _mm256_shuffle_epi8(a1, b1)),
                                          _mm256_shuffle_epi8(a2, b2));
        const __m256i g = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a0, g0), _mm256_shuffle_epi8(a1, g1)),
                                          _mm256_shuffle_epi8(a2, g2));
        const __m256i r = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a0, r0), _mm256_shuffle_epi8(a1, r1)),
                                          _mm256_shuffle_epi8(a2, r2));
        const __m256i low = _mm256_add_epi16(
            _mm256_add_epi16(_mm256_unpacklo_epi8(b, zero), _mm256_unpacklo_epi8(g, zero)), _mm256_unpacklo_epi8(r, zero));
        const __m256i high = _mm256_add_epi16(
            _mm256_add_epi16(_mm256_unpackhi_epi8(b, zero), _mm256_unpackhi_epi8(g, zero)), _mm256_unpackhi_epi8(r, zero));
        const __m256i grey = _mm256_packus_epi16(_mm256_mulhi_epu16(low, third), _mm256_mulhi_epu16(high, third));
        storePair(out, _mm256_shuffle_epi8(grey, o0));
        storePair(out + 16, _mm256_shuffle_epi8(grey, o1));
        storePair(out + 32, _mm256_shuffle_epi8(grey, o2));
    }
    return x;
}

// Five pixels reversed per 16-byte move. Each store also writes one byte of the next pixel to the
// left, so the chunks run from the right and that pixel is always written afterwards.
[[gnu::target("ssse3")]] int flipRowSsse3(const unsigned char* in, unsigned char* out, int width, int& done) {
    const __m128i reverse = _mm_setr_epi8(12, 13, 14, 9, 10, 11, 6, 7, 8, 3, 4, 5, 0, 1, 2, 15);
    int x = width - 7;  // the chunk x..x+4 reads up to pixel x+5, inside the row
    for (; x >= 1; x -= 5) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * (width - 5 - x)), _mm_shuffle_epi8(pixels, reverse));
    }
    done = x + 5;  // pixels done..width-3 are written; the caller does the rest, right ones first
    return width - 2;
}
#endif

std::uint64_t splitmix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// round(4r - 2), halves to even, for r = u / 2^32: the thresholds of 4r - 2 = -1.5, -0.5, 0.5, 1.5
// sit at u = 1, 3, 5, 7 times 2^29, and a value exactly there rounds to the even side.
inline int diffuseOffset(std::uint32_t u) {
    constexpr std::uint32_t unit = 1u << 29;
    return -2 + (u > unit) + (u >= 3 * unit) + (u > 5 * unit) + (u >= 7 * unit);
}

}  // namespace

int ProgressStep(int width) { return std::max(1, int(RoundHalfEven((width - 1) / 20.0))); }

QString ProgressText(const char* progressText, int x, int width) {
    const int percent = width > 1 ? int(std::floor((double(x) / double(width - 1)) * 100.0)) : 100;
    return QLatin1String(progressText) + QString::number(percent) + u'%';
}

void FlipVertical(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    pointEffect(source, result, options, "Flip Vertical...", [](const Byte* in, Byte* out, int w) {
        const auto copy = [&](int x) {
            Byte* o = out + 3 * (w - 1 - x);
            o[0] = in[3 * x], o[1] = in[3 * x + 1], o[2] = in[3 * x + 2];
        };
#ifdef KESTROVA_SSSE3
        if (hasSsse3() && w >= 8) {
            int low = 0;
            const int high = flipRowSsse3(in, out, w, low);
            for (int x = high; x < w; ++x) copy(x);
            for (int x = low - 1; x >= 0; --x) copy(x);
            return;
        }
#endif
        for (int x = 0; x < w; ++x) copy(x);
    });
}

void FlipHorizontal(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    const int h = source.height;
    for (int y = 0; y < h; ++y) std::memcpy(result.row(h - 1 - y), source.row(y), size_t(source.width) * 3);
    reportAll(source.width, options, "Flip Horizontal...");
}

void Grayscaling(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    pointEffect(source, result, options, "Grayscaling...", [](const Byte* in, Byte* out, int w) {
        int x = 0;
#ifdef KESTROVA_SSSE3
        if (hasAvx2()) x = greyRowAvx2(in, out, w);
        if (hasSsse3()) x += greyRowSsse3(in + 3 * x, out + 3 * x, w - x);
#endif
        for (; x < w; ++x) {
            // floor(sum / 3), exact for sums up to 765.
            const int i = 3 * x;
            const Byte grey = static_cast<Byte>(((unsigned(in[i]) + in[i + 1] + in[i + 2]) * 43691u) >> 17);
            out[i] = out[i + 1] = out[i + 2] = grey;
        }
    });
}

void Inverting(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    pointEffect(source, result, options, "Inverting...", [](const Byte* in, Byte* out, int w) { invertRow(in, out, 3 * w); });
}

void Solarizing(const PictureView& source, const PictureBits& result, const EffectOptions& options) {
    if (!sameSize(source, result)) return;
    // 0xFF on the blue bytes of a row: red and green invert below 128, blue everywhere but at 128.
    std::vector<Byte> blue(size_t(source.width) * 3, 0);
    for (size_t i = 0; i < blue.size(); i += 3) blue[i] = 0xFF;
    const Byte* isBlue = blue.data();
    pointEffect(source, result, options, "Solarizing...",
                [isBlue](const Byte* in, Byte* out, int w) { solarizeRow(in, out, isBlue, 3 * w); });
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
    std::uint64_t seed = options.seeded ? options.seed : std::uint64_t(QTime::currentTime().msecsSinceStartOfDay());
    std::vector<const Byte*> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) rows[size_t(y)] = source.row(y);
    byColumns(w, options, "Diffusing...", [&](int x0, int x1) {
        std::uint64_t state = seed;
        for (int y = 0; y < h; ++y) {
            Byte* out = result.row(y);
            for (int x = x0; x < x1; ++x) {
                const std::uint64_t r = splitmix(state);
                const int sx = x + diffuseOffset(std::uint32_t(r >> 32));
                const int sy = y + diffuseOffset(std::uint32_t(r));
                Byte* o = out + 3 * x;
                if (unsigned(sx) < unsigned(w) && unsigned(sy) < unsigned(h)) {
                    const Byte* in = rows[size_t(sy)] + 3 * sx;
                    o[0] = in[0], o[1] = in[1], o[2] = in[2];
                } else {
                    o[0] = o[1] = o[2] = 0;
                }
            }
        }
        seed = state;
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
