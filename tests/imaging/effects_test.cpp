#include "imaging/dib_section.h"
#include "imaging/effects.h"

#include "kestrova_test.h"

#include <cmath>
#include <memory>
#include <random>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// A picture in a bitmap's layout, addressed as the graphics system does: (x, y) from the top left.
class Picture {
public:
    Picture(int w, int h, Rgb fill = {0, 0, 0}) : dib_(std::make_unique<cDIBSection>()) {
        dib_->Create(w, h);
        this->fill(fill);
    }
    void fill(Rgb c) {
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) set(x, y, c);
    }
    void noise(unsigned seed) {
        std::mt19937 random(seed);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) set(x, y, {int(random() % 256), int(random() % 256), int(random() % 256)});
    }
    int width() const { return dib_->Width(); }
    int height() const { return dib_->Height(); }
    void set(int x, int y, Rgb c) {
        unsigned char* p = dib_->bits().row(y) + 3 * x;
        p[0] = static_cast<unsigned char>(c.b), p[1] = static_cast<unsigned char>(c.g), p[2] = static_cast<unsigned char>(c.r);
    }
    Rgb at(int x, int y) const {
        const unsigned char* p = dib_->view().row(y) + 3 * x;
        return {p[2], p[1], p[0]};
    }
    PictureView view() const { return dib_->view(); }
    PictureBits bits() { return dib_->bits(); }

private:
    std::unique_ptr<cDIBSection> dib_;
};

Picture run(EffectFunction effect, const Picture& source, QStringList* progress = nullptr) {
    Picture result(source.width(), source.height(), {1, 2, 3});
    EffectOptions options;
    if (progress) options.progress = [progress](const QString& text) { *progress << text; };
    options.seeded = true;
    effect(source.view(), result.bits(), options);
    return result;
}

// The effects as written down, one pixel at a time through 0x00BBGGRR values, outside pixels -1.
class Reference {
public:
    explicit Reference(const Picture& p) : p_(p) {}
    long long point(int x, int y) const {
        if (x < 0 || y < 0 || x >= p_.width() || y >= p_.height()) return -1;
        const Rgb c = p_.at(x, y);
        return c.r + 256LL * c.g + 65536LL * c.b;
    }
    static int red(long long c) { return int(c % 256); }
    static int green(long long c) { return int((c / 256) % 256); }
    static int blue(long long c) { return int(c / 65536); }
    static long long channel(long long c, int i) { return c == -1 ? -1 : i == 0 ? red(c) : i == 1 ? green(c) : blue(c); }
    static int clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); }

    Rgb soften(int x, int y) const {
        int out[3];
        for (int i = 0; i < 3; ++i) {
            double sum = 0;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) sum += channel(point(x + dx, y + dy), i);
            out[i] = clamp(std::floor(sum / 9));
        }
        return {out[0], out[1], out[2]};
    }
    Rgb sharpen(int x, int y) const {
        int out[3];
        for (int i = 0; i < 3; ++i) {
            const double v = double(channel(point(x, y), i)), u = double(channel(point(x - 1, y - 1), i));
            out[i] = clamp(std::nearbyint(v + (v - u) * 0.5));
        }
        return {out[0], out[1], out[2]};
    }
    Rgb emboss(int x, int y) const {
        int out[3];
        for (int i = 0; i < 3; ++i) {
            out[i] = clamp(std::abs(double(channel(point(x, y), i) - channel(point(x + 1, y + 1), i) + 128)));
        }
        return {out[0], out[1], out[2]};
    }
    // The whole Lighting effect, column by column.
    void lighting(Picture& out) const {
        const int w = p_.width(), h = p_.height();
        for (int x = 0; x < w; ++x) {
            double level = h - x, f = 0;
            for (int y = 0; y < h; ++y) {
                const auto angle = static_cast<short>(std::nearbyint(((w - 1) / 90.0) + f));
                level = std::nearbyint(level - std::sin(angle * 3.14 / 180));
                const long long c = point(x, y);
                out.set(x, y, {clamp(std::floor(red(c) / 2.0 + level * 0.25)), clamp(std::floor(green(c) / 2.0 + level * 0.25)),
                               clamp(std::floor(blue(c) / 2.0 + level * 0.25))});
                if (level <= 50) level = 50;
                f = std::min<double>(angle, 90);
            }
        }
    }

private:
    const Picture& p_;
};

}  // namespace

using ImageEffects = KestrovaTest;

TEST_F(ImageEffects, ExamplesOfEachEffect) {
    struct Case {
        const char* what;
        EffectFunction effect;
        Rgb source, neighbour;  // the pixel at (1, 1); every other pixel is the neighbour
        Rgb expected;           // at (1, 1)
    };
    const Case cases[] = {
        {"greyscale", Grayscaling, {10, 20, 31}, {0, 0, 0}, {20, 20, 20}},
        {"negative", Inverting, {0, 100, 255}, {0, 0, 0}, {255, 155, 0}},
        {"solarize below the middle", Solarizing, {100, 200, 128}, {0, 0, 0}, {155, 200, 128}},
        {"solarize above the middle", Solarizing, {200, 100, 200}, {0, 0, 0}, {200, 155, 55}},
        {"sharpen", Sharpening, {200, 250, 101}, {100, 100, 100}, {250, 255, 102}},
        {"sharpen below zero", Sharpening, {0, 1, 10}, {255, 3, 20}, {0, 0, 5}},
        {"emboss equal pixels", Embossing, {77, 77, 77}, {77, 77, 77}, {128, 128, 128}},
        {"emboss", Embossing, {250, 0, 100}, {0, 250, 100}, {255, 122, 128}},
        {"soften", Softening, {90, 0, 255}, {0, 9, 0}, {10, 8, 28}},
    };
    for (const Case& c : cases) {
        Picture picture(5, 5, c.neighbour);
        picture.set(1, 1, c.source);
        const Rgb got = run(c.effect, picture).at(1, 1);
        EXPECT_EQ(got, c.expected) << c.what << ": " << got.r << "," << got.g << "," << got.b;
    }
}

TEST_F(ImageEffects, SofteningCountsOutsidePixelsAsMinusOne) {
    const Picture result = run(Softening, Picture(6, 4, {100, 100, 100}));
    EXPECT_EQ(result.at(1, 1), (Rgb{100, 100, 100}));
    EXPECT_EQ(result.at(5, 1), (Rgb{66, 66, 66}));  // last column
    EXPECT_EQ(result.at(2, 3), (Rgb{66, 66, 66}));  // last row
    EXPECT_EQ(result.at(5, 3), (Rgb{43, 43, 43}));  // bottom right
    EXPECT_EQ(result.at(0, 2), (Rgb{1, 2, 3}));     // column 0 and row 0 are not written
    EXPECT_EQ(result.at(3, 0), (Rgb{1, 2, 3}));
}

TEST_F(ImageEffects, NeighbourhoodEffectsMatchAPixelByPixelReading) {
    for (const QSize size : {QSize(37, 23), QSize(4, 4), QSize(130, 9)}) {
        Picture picture(size.width(), size.height());
        picture.noise(size.width());
        const Reference reference(picture);
        const Picture soft = run(Softening, picture), sharp = run(Sharpening, picture), emboss = run(Embossing, picture);
        for (int x = 0; x < picture.width(); ++x) {
            for (int y = 0; y < picture.height(); ++y) {
                if (x >= 1 && y >= 1) {
                    ASSERT_EQ(soft.at(x, y), reference.soften(x, y)) << x << "," << y;
                }
                if (x >= 1 && y >= 1 && x <= picture.width() - 3 && y <= picture.height() - 3) {
                    ASSERT_EQ(sharp.at(x, y), reference.sharpen(x, y)) << x << "," << y;
                    ASSERT_EQ(emboss.at(x, y), reference.emboss(x, y)) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(ImageEffects, PointEffectsAndLightingMatchOverTheWholePicture) {
    for (const QSize size : {QSize(61, 40), QSize(300, 17), QSize(1, 1), QSize(17, 300)}) {
        Picture picture(size.width(), size.height());
        picture.noise(7);
        const int w = picture.width(), h = picture.height();
        const Picture grey = run(Grayscaling, picture), negative = run(Inverting, picture),
                      solar = run(Solarizing, picture), flip = run(FlipVertical, picture),
                      mirror = run(FlipHorizontal, picture), light = run(Lighting, picture);
        Picture expectedLight(w, h);
        Reference(picture).lighting(expectedLight);
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y) {
                const Rgb c = picture.at(x, y);
                const int g = (c.r + c.g + c.b) / 3;
                ASSERT_EQ(grey.at(x, y), (Rgb{g, g, g}));
                ASSERT_EQ(negative.at(x, y), (Rgb{255 - c.r, 255 - c.g, 255 - c.b}));
                ASSERT_EQ(solar.at(x, y), (Rgb{c.r < 128 ? 255 - c.r : c.r, c.g < 128 ? 255 - c.g : c.g,
                                               c.b == 128 ? c.b : 255 - c.b}));
                ASSERT_EQ(flip.at(w - 1 - x, y), c);    // left and right exchange
                ASSERT_EQ(mirror.at(x, h - 1 - y), c);  // top and bottom exchange
                ASSERT_EQ(light.at(x, y), expectedLight.at(x, y)) << x << "," << y;
            }
        }
        EXPECT_EQ(run(Inverting, negative).view().row(0)[0], picture.view().row(0)[0]);
    }
}

TEST_F(ImageEffects, DiffusingMovesPixelsAtMostTwoPlaces) {
    Picture picture(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) picture.set(x, y, {x + 1, y + 1, 7});  // every pixel tells where it was
    const Picture result = run(Diffusing, picture);
    int moved = 0, black = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const Rgb c = result.at(x, y);
            if (c == Rgb{0, 0, 0}) {
                ++black;
                EXPECT_TRUE(x < 2 || y < 2 || x >= 38 || y >= 28) << x << "," << y;
                continue;
            }
            EXPECT_LE(std::abs(c.r - 1 - x), 2);
            EXPECT_LE(std::abs(c.g - 1 - y), 2);
            moved += c.r - 1 != x || c.g - 1 != y;
        }
    }
    EXPECT_GT(moved, 40 * 30 / 2);
    EXPECT_GT(black, 0);
    EXPECT_EQ(run(Diffusing, picture).at(20, 20), result.at(20, 20));  // the same seed, the same picture
}

TEST_F(ImageEffects, ProgressFollowsTheColumnStep) {
    EXPECT_EQ(ProgressStep(41), 2);
    EXPECT_EQ(ProgressStep(61), 3);
    EXPECT_EQ(ProgressStep(2), 1);
    EXPECT_EQ(ProgressText("Softening...", 29, 101), "Softening...28%");
    QStringList texts;
    run(Softening, Picture(41, 3), &texts);
    ASSERT_EQ(texts.size(), 21);
    EXPECT_EQ(texts.front(), "Softening...0%");
    EXPECT_EQ(texts[1], "Softening...5%");
    EXPECT_EQ(texts.back(), "Softening...100%");
    texts.clear();
    run(Embossing, Picture(61, 3), &texts);
    ASSERT_EQ(texts.size(), 21);
    EXPECT_EQ(texts[1], "Embossing...5%");
    texts.clear();
    run(Grayscaling, Picture(62, 3), &texts);  // the last column, 61, is not a multiple of 3
    EXPECT_EQ(texts.back(), "Grayscaling...98%");
}

TEST_F(ImageEffects, MenuKeysAndTheInPlaceFrame) {
    ASSERT_EQ(FindEffect("flip")->run, &FlipVertical);  // "Flip Horizontal" exchanges left and right
    EXPECT_STREQ(FindEffect("flip")->caption, "Flip Horizontal");
    EXPECT_EQ(FindEffect("mirror")->run, &FlipHorizontal);
    EXPECT_EQ(FindEffect("nothing"), nullptr);
    EXPECT_EQ(kestrova::Effects().size(), 10u);
    Picture picture(8, 8, {100, 100, 100});
    ASSERT_TRUE(ApplyEffect(*FindEffect("soften"), picture.bits(), {}));
    EXPECT_EQ(picture.at(7, 7), (Rgb{43, 43, 43}));
    EXPECT_EQ(picture.at(0, 0), (Rgb{100, 100, 100}));  // left alone, so the picture shows through
}
