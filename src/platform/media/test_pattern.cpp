#include "test_pattern.h"

#include "sources.h"

#include <array>
#include <cstring>

namespace kestrova::media {

namespace {

// Bars in the order of the broadcast test card, as BGR.
constexpr std::array<std::array<unsigned char, 3>, 8> Bars = {{
    {255, 255, 255}, {0, 255, 255}, {255, 255, 0}, {0, 255, 0}, {255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {0, 0, 0}}};

// Rows of the glyphs 0-9 and ':' in a 5 x 7 grid, high bit left.
constexpr std::array<std::array<unsigned char, 7>, 11> Glyphs = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}};

void fill(QImage& image, int x0, int y0, int width, int height, const std::array<unsigned char, 3>& colour) {
    const int x1 = std::min(image.width(), x0 + width);
    const int y1 = std::min(image.height(), y0 + height);
    for (int y = std::max(0, y0); y < y1; ++y) {
        unsigned char* row = image.scanLine(y);
        for (int x = std::max(0, x0); x < x1; ++x) std::memcpy(row + 3 * x, colour.data(), 3);
    }
}

// Draws "0"-"9" and ":" at `scale` pixels per grid cell; returns the x after the text.
int drawText(QImage& image, int x, int y, const QByteArray& text, int scale) {
    constexpr std::array<unsigned char, 3> white = {255, 255, 255};
    for (char c : text) {
        const int glyph = c == ':' ? 10 : c - '0';
        if (glyph < 0 || glyph > 10) continue;
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 5; ++column) {
                if (Glyphs[size_t(glyph)][size_t(row)] & (0x10 >> column)) fill(image, x + column * scale, y + row * scale, scale, scale, white);
            }
        }
        x += 6 * scale;
    }
    return x;
}

int stripHeight(int height) { return std::max(2, height / 16); }

}  // namespace

void DrawTestPattern(QImage& image, std::int64_t number, double fps, QTime clock) {
    const int width = image.width();
    const int height = image.height();
    const int strip = stripHeight(height);
    const int barsHeight = std::max(1, (height - strip) * 2 / 3);
    // The bars travel one picture width every four seconds.
    const int shift = fps > 0 ? int(static_cast<long long>(double(number) * width / std::max(1.0, fps * 4)) % std::max(1, width)) : 0;
    unsigned char* first = image.scanLine(0);
    for (int x = 0; x < width; ++x) {
        const int bar = int((long long)((x + width - shift) % width) * 8 / width);
        std::memcpy(first + 3 * x, Bars[size_t(bar)].data(), 3);
    }
    for (int y = 1; y < barsHeight; ++y) std::memcpy(image.scanLine(y), first, size_t(3 * width));
    fill(image, 0, barsHeight, width, height - barsHeight, {40, 40, 40});

    const int scale = std::max(1, (height - strip - barsHeight) / 20);
    const int textY = barsHeight + scale * 2;
    const int after = drawText(image, scale * 2, textY, clock.toString(QStringLiteral("HH:mm:ss")).toLatin1(), scale);
    drawText(image, after + scale * 6, textY, QByteArray::number(qlonglong(number)), scale);

    const int cell = width / TestPatternCounterBits;
    if (cell < 1) return;
    for (int bit = 0; bit < TestPatternCounterBits; ++bit) {
        const bool on = (number >> bit) & 1;
        fill(image, bit * cell, height - strip, cell, strip, on ? std::array<unsigned char, 3>{255, 255, 255} : std::array<unsigned char, 3>{0, 0, 0});
    }
}

std::optional<std::int64_t> ReadTestPatternCounter(const QImage& image) {
    if (image.isNull()) return std::nullopt;
    const QImage picture = image.convertToFormat(QImage::Format_BGR888);
    const int cell = picture.width() / TestPatternCounterBits;
    if (cell < 1 || picture.height() < 8) return std::nullopt;
    const int y = picture.height() - stripHeight(picture.height()) / 2 - 1;
    std::int64_t number = 0;
    for (int bit = 0; bit < TestPatternCounterBits; ++bit) {
        const unsigned char* pixel = picture.constScanLine(y) + 3 * (bit * cell + cell / 2);
        const int level = (pixel[0] + pixel[1] + pixel[2]) / 3;
        if (level > 64 && level < 192) return std::nullopt;  // grey: a scaled or foreign picture
        if (level >= 192) number |= std::int64_t(1) << bit;
    }
    return number;
}

namespace {

class TestPatternSource final : public Source {
public:
    TestPatternSource(const SourceSettings& settings, Interrupt& interrupt)
        : size_(settings.size.isEmpty() ? QSize(TestPatternWidth, TestPatternHeight) : settings.size),
          fps_(settings.fps > 0 ? settings.fps : TestPatternRate),
          interrupt_(interrupt) {}

    QString open() override {
        if (size_.width() > 8192 || size_.height() > 8192) return QStringLiteral("picture size too large");
        start_ = Interrupt::Clock::now();
        return {};
    }

    ReadStatus read(Frame& frame, QString& reason) override {
        const auto period = std::chrono::duration<double>(1.0 / fps_);
        auto due = start_ + std::chrono::duration_cast<Interrupt::Clock::duration>(period * double(slot_));
        const auto now = Interrupt::Clock::now();
        // Behind by more than a few frames (a suspended machine): keep to the clock, not to the count.
        if (now - due > std::chrono::duration_cast<Interrupt::Clock::duration>(period * 3.0)) {
            slot_ = std::int64_t(std::chrono::duration<double>(now - start_) / period);
            due = now;
        }
        if (!interrupt_.sleepUntil(due)) {
            reason = QStringLiteral("closed");
            return ReadStatus::Failed;
        }
        ++slot_;
        QImage image = NewFrameImage(size_.width(), size_.height());
        DrawTestPattern(image, number_++, fps_, QTime::currentTime());
        frame = Frame::fromImage(std::move(image));
        // The pattern's clock is its schedule: a frame drawn late, on a busy machine, still belongs
        // to the instant it was due, so that a movie does not count it twice.
        frame.taken = due;
        return ReadStatus::Frame;
    }

    QSize size() const override { return size_; }

private:
    QSize size_;
    double fps_;
    Interrupt& interrupt_;
    Interrupt::Clock::time_point start_{};
    std::int64_t slot_ = 0;
    std::int64_t number_ = 0;
};

}  // namespace

std::unique_ptr<Source> NewTestPatternSource(const SourceSettings& settings, Interrupt& interrupt) {
    return std::make_unique<TestPatternSource>(settings, interrupt);
}

}  // namespace kestrova::media
