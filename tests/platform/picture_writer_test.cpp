#include "platform/bitmap_headers.h"
#include "platform/jpeg_encoder.h"
#include "platform/picture_writer.h"

#include "kestrova_test.h"

#include <QFile>
#include <QImage>

#include <cmath>
#include <vector>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

// A bottom-up, padded picture like a bitmap's: smooth gradients with some detail.
struct TestPicture {
    int width, height, stride;
    std::vector<unsigned char> bytes;
    TestPicture(int w, int h, bool fewColours = false) : width(w), height(h), stride((w * 3 + 3) & ~3) {
        bytes.assign(size_t(stride) * h, 0xEE);  // pad bytes must not leak into the picture
        for (int y = 0; y < h; ++y) {
            unsigned char* row = bytes.data() + size_t(h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                const int b = fewColours ? (x / 8 % 2) * 255 : (x * 255) / w;
                const int g = fewColours ? (y / 8 % 2) * 200 : (y * 255) / h;
                const int r = fewColours ? 40 : int(128 + 100 * std::sin(x / 9.0) * std::cos(y / 7.0));
                row[3 * x] = static_cast<unsigned char>(b);
                row[3 * x + 1] = static_cast<unsigned char>(g);
                row[3 * x + 2] = static_cast<unsigned char>(r);
            }
        }
    }
    PictureView view() const { return PictureView{bytes.data(), width, height, stride, true}; }
    QRgb pixel(int x, int y) const {
        const unsigned char* p = view().row(y) + 3 * x;
        return qRgb(p[2], p[1], p[0]);
    }
};

double psnr(const TestPicture& source, const QImage& decoded) {
    double squares = 0;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const QRgb a = source.pixel(x, y), b = decoded.pixel(x, y);
            const int d[3] = {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)};
            for (int c : d) squares += c * c;
        }
    }
    const double mse = squares / (3.0 * source.width * source.height);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

using PictureWriter = KestrovaTest;

TEST_F(PictureWriter, JpegDecodesCloseToTheSourceAndShrinksWithQuality) {
    const TestPicture picture(161, 97);  // odd width: rows carry pad bytes
    long long previousSize = 0;
    for (int quality : {100, 75, 10}) {
        const QString path = tempPath(QString("q%1.jpg").arg(quality));
        ASSERT_EQ(EncodeJpegFile(picture.view(), path, quality).status, JpegResult::Ok);
        const QImage decoded(path);
        ASSERT_EQ(decoded.size(), QSize(161, 97));
        const double quality100Psnr = 38;  // 4:2:0 chroma keeps the best quality below lossless
        if (quality == 100) {
            EXPECT_GT(psnr(picture, decoded), quality100Psnr);
        } else if (quality == 10) {
            EXPECT_GT(psnr(picture, decoded), 22);
        }
        const long long size = QFile(path).size();
        if (previousSize) {
            EXPECT_LT(size, previousSize) << quality;
        }
        previousSize = size;
    }
    // Out-of-range qualities are clamped, not refused.
    EXPECT_EQ(EncodeJpeg(picture.view(), 0), EncodeJpeg(picture.view(), 1));
    EXPECT_EQ(EncodeJpeg(picture.view(), 500), EncodeJpeg(picture.view(), 100));
    EXPECT_EQ(EncodeJpegFile(picture.view(), tempPath("missing/a.jpg"), 90).status, JpegResult::WriteFailed);
}

TEST_F(PictureWriter, EveryFormatReadsBack) {
    struct Case {
        const char* suffix;
        bool lossless;
    };
    const Case cases[] = {{"jpg", false}, {"jp2", false}, {"bmp", true}, {"gif", true}, {"dib", true},
                          {"tif", true},  {"png", true},  {"pcx", true}, {"tga", true}, {"tmp", true}};
    const TestPicture picture(37, 21, true);  // few colours, so that even GIF is exact
    for (const Case& c : cases) {
        const QString path = tempPath(QString("out.") + c.suffix);
        ASSERT_TRUE(WritePicture(picture.view(), path, 95)) << c.suffix;
        const QImage back = ReadPicture(path);
        ASSERT_EQ(back.size(), QSize(37, 21)) << c.suffix;
        if (c.lossless) {
            EXPECT_EQ(psnr(picture, back), 99) << c.suffix;
        } else {
            EXPECT_GT(psnr(picture, back), 20) << c.suffix;  // hard edges; JPEG quality is checked above
        }
    }
    EXPECT_FALSE(WritePicture(picture.view(), tempPath("missing/out.png"), 90));
}

TEST_F(PictureWriter, BitmapsHaveThePlainHeaderAtEveryDepth) {
    const TestPicture picture(37, 21, true);
    for (int depth : {1, 8, 24, 32}) {
        for (const char* suffix : {"bmp", "dib"}) {
            const QString path = tempPath(QString("d%1.%2").arg(depth).arg(suffix));
            ASSERT_TRUE(WritePicture(picture.view(), path, 90, depth));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
            const BitmapInfoHeader info = ReadInfoHeader(data + FileHeaderSize);
            EXPECT_EQ(info.biSize, 40u);
            EXPECT_EQ(info.biBitCount, depth);
            EXPECT_EQ(ReadFileHeader(data).bfSize, std::uint32_t(bytes.size()));
            const QImage back = ReadPicture(path);
            ASSERT_FALSE(back.isNull()) << depth;
            if (depth >= 24) {
                EXPECT_EQ(psnr(picture, back), 99) << depth;
            }
        }
    }
    // The unknown extension is a 24-bit bitmap whatever the depth asked for.
    ASSERT_TRUE(WritePicture(picture.view(), tempPath("still.tmp"), 90, 8));
    QFile file(tempPath("still.tmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadInfoHeader(reinterpret_cast<const unsigned char*>(file.readAll().constData()) + 14).biBitCount, 24);
}

TEST_F(PictureWriter, ColourDepthConversions) {
    const TestPicture picture(37, 21, true);
    QImage image(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x) image.setPixel(x, y, picture.pixel(x, y));
    const QImage mono = ConvertColourDepth(image, 1);
    EXPECT_EQ(mono.depth(), 1);
    for (QRgb c : mono.colorTable()) EXPECT_TRUE(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255));
    EXPECT_EQ(ConvertColourDepth(image, 8).depth(), 8);
    EXPECT_LE(ConvertColourDepth(image, 8).colorCount(), 256);
    EXPECT_EQ(ConvertColourDepth(image, 24).format(), QImage::Format_RGB888);
    EXPECT_TRUE(ConvertColourDepth(image, 32).hasAlphaChannel());
    EXPECT_EQ(ConvertColourDepth(image, 24).pixel(9, 9), image.pixel(9, 9));
}
