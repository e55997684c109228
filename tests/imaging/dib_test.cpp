#include "imaging/dib.h"
#include "imaging/dib_section.h"
#include "platform/image_view.h"

#include "kestrova_test.h"

#include <QFile>
#include <QImage>

#include <cstring>

using namespace kestrova;
using kestrova::test::KestrovaTest;

namespace {

struct FileLayout {
    int width = 4;
    int height = 2;
    int bitCount = 24;
    int colours = 0;       // entries of the colour table
    long long sizeImage = -1;  // -1: the right size
    long long offBits = -1;    // -1: right after the colour table
    int pixelBytes = -1;       // bytes of pixel data actually present; -1: sizeImage
    char magic[2] = {'B', 'M'};
};

void put(QByteArray& bytes, int offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// A bitmap file as a writer would lay it out, with any field overridden.
QByteArray bitmapFile(const FileLayout& layout) {
    const long long rowBytes = cDib::RowBytes(layout.width, layout.bitCount);
    const auto right = [&] { return rowBytes * std::abs(layout.height); };
    const long long sizeImage = layout.sizeImage < 0 ? right() : layout.sizeImage;
    const long long offBits = layout.offBits < 0 ? 54 + 4LL * layout.colours : layout.offBits;
    const long long present = layout.pixelBytes >= 0 ? layout.pixelBytes : sizeImage ? sizeImage : right();
    QByteArray bytes(54 + 4 * layout.colours, '\0');
    bytes[0] = layout.magic[0];
    bytes[1] = layout.magic[1];
    put(bytes, 2, std::uint32_t(offBits + present), 4);
    put(bytes, 10, std::uint32_t(offBits), 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, std::uint32_t(layout.width), 4);
    put(bytes, 22, std::uint32_t(layout.height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, std::uint32_t(layout.bitCount), 2);
    put(bytes, 34, std::uint32_t(sizeImage), 4);
    put(bytes, 46, std::uint32_t(layout.colours), 4);
    for (int i = 0; i < layout.colours; ++i) put(bytes, 54 + 4 * i, std::uint32_t(i * 0x010101), 4);
    bytes.resize(qsizetype(offBits), '\0');
    for (long long i = 0; i < present; ++i) bytes.append(char(i * 7));
    return bytes;
}

}  // namespace

class Bitmaps : public KestrovaTest {
protected:
    QString write(const QByteArray& bytes, const QString& name = "in.bmp") {
        const QString path = tempPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
};

TEST_F(Bitmaps, ScanLinesArePaddedToFourBytes) {
    const int widths[] = {1, 2, 3, 4, 320, 321};
    const int expected[] = {4, 8, 12, 12, 960, 964};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(cDIBSection::BytesPerScanLineOf(widths[i]), expected[i]) << widths[i];
}

TEST_F(Bitmaps, SectionStoresRowsBottomUpAndRoundTripsAPicture) {
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.setPixel(x, y, qRgb(10 * x, 50 * y, 7));
    cDIBSection dib;
    ASSERT_TRUE(dib.CreateFromPicture(picture));
    EXPECT_EQ(dib.Header().biSizeImage, 16u * 3);
    EXPECT_NE(dib.hdc(), 0u);
    // The first stored row is the bottom row; bytes are blue, green, red.
    const unsigned char* first = dib.DIBSectionBitsPtr();
    EXPECT_EQ(first[3 * 2 + 0], 7);
    EXPECT_EQ(first[3 * 2 + 1], 100);
    EXPECT_EQ(first[3 * 2 + 2], 20);
    const PictureView view = dib.view();
    EXPECT_EQ(view.bits, dib.DIBSectionBitsPtr());  // no copy
    EXPECT_EQ(view.stride, 16);
    EXPECT_EQ(dib.ToImage().convertToFormat(QImage::Format_RGB32), picture);

    dib.ClearUp();
    EXPECT_EQ(dib.hdc(), 0u);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_FALSE(dib.Create(0, 10));
    EXPECT_FALSE(dib.Create(100000, 100000));  // refused, not allocated
}

TEST_F(Bitmaps, PaintPictureCopiesARegion) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(4, 4));
    QImage white(4, 4, QImage::Format_BGR888);
    white.fill(Qt::white);
    dib.LoadPictureBlt(white);
    QImage target(6, 6, QImage::Format_BGR888);
    target.fill(Qt::black);
    dib.PaintPicture(target, 3, 3, 2, 2);
    EXPECT_EQ(target.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(4, 4), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(2, 2), qRgb(0, 0, 0));
}

TEST_F(Bitmaps, ReadsA24BitFile) {
    cDib dib;
    ASSERT_TRUE(dib.CreateFromFile(write(bitmapFile({}))));
    EXPECT_EQ(dib.FileType(), 0x4D42);
    EXPECT_EQ(dib.Width(), 4);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.SizeImage(), 24);
    EXPECT_EQ(dib.BitOffset(), 54);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_EQ(dib.PointerToBits()[1], 7);
    const PictureView view = dib.view();
    ASSERT_TRUE(view.isValid());
    EXPECT_EQ(view.row(1), dib.PointerToBits());  // bottom row first
}

TEST_F(Bitmaps, ColourTableIsPartOfTheFormatBlock) {
    FileLayout layout;
    layout.bitCount = 8;
    layout.colours = 256;
    cDib dib;
    ASSERT_TRUE(dib.CreateFromFile(write(bitmapFile(layout))));
    EXPECT_EQ(dib.BitOffset(), 1078);
    EXPECT_EQ(dib.SizeBitmapInfo(), 1064);
    EXPECT_EQ(dib.PointerToBitmapInfo()[40 + 4 * 3], 3);  // blue of colour 3
    EXPECT_FALSE(dib.view().isValid());                 // not a 24-bit picture
}

TEST_F(Bitmaps, PalettePicturesBecomeTrueColour) {
    FileLayout layout;
    layout.bitCount = 8;
    layout.colours = 256;
    cDib file, picture;
    ASSERT_TRUE(file.CreateFromFile(write(bitmapFile(layout))));
    ASSERT_TRUE(ToTrueColour(file, picture));
    ASSERT_TRUE(picture.view().isValid());
    // Pixel bytes are i * 7 and colour i is (i, i, i); the first stored row is the bottom one.
    EXPECT_EQ(picture.view().row(1)[3 * 2], 14);
    EXPECT_EQ(picture.view().row(0)[3 * 3 + 1], 7 * 7);

    layout.bitCount = 1;
    layout.colours = 2;
    ASSERT_TRUE(file.CreateFromFile(write(bitmapFile(layout))));
    ASSERT_TRUE(ToTrueColour(file, picture));
    // First byte 0 (black), row of the top: byte 4 * 7 = 28 = 0b00011100, pixels 3 and 4 are colour 1.
    EXPECT_EQ(picture.view().row(0)[3 * 3], 1);
    EXPECT_EQ(picture.view().row(0)[3 * 2], 0);
}

TEST_F(Bitmaps, ZeroSizeImageIsComputedForUncompressedPictures) {
    FileLayout layout;
    layout.width = 3;
    layout.height = -5;  // top-down
    layout.sizeImage = 0;
    cDib dib;
    ASSERT_TRUE(dib.CreateFromFile(write(bitmapFile(layout))));
    EXPECT_EQ(dib.SizeImage(), 60);
    EXPECT_EQ(dib.PixelBytes(), 60u);
    EXPECT_FALSE(dib.view().bottomUp);
}

TEST_F(Bitmaps, RejectsBadFiles) {
    struct Case {
        const char* what;
        FileLayout layout;
        int cut = 0;  // bytes taken off the end
        const char* reason = "";  // part of the message that names what is wrong
    };
    FileLayout badMagic;
    badMagic.magic[0] = 'M';
    FileLayout lowOffset;
    lowOffset.offBits = 20;
    FileLayout offsetPastEnd;
    offsetPastEnd.offBits = 5000;
    offsetPastEnd.pixelBytes = 0;
    FileLayout hugeSize;
    hugeSize.sizeImage = 0xFFFFFFF0;
    hugeSize.pixelBytes = 24;
    FileLayout hugeDimensions;
    hugeDimensions.width = 1 << 30;
    hugeDimensions.height = 1 << 30;
    hugeDimensions.sizeImage = 24;
    hugeDimensions.pixelBytes = 24;
    FileLayout overflowingDimensions;  // width x height overflows 64 bits
    overflowingDimensions.width = 0x78787878;
    overflowingDimensions.height = 0x78787878;
    overflowingDimensions.sizeImage = 24;
    overflowingDimensions.pixelBytes = 24;
    FileLayout smallSize;  // width x height need more than biSizeImage says
    smallSize.sizeImage = 12;
    smallSize.pixelBytes = 24;
    FileLayout oddBits;
    oddBits.bitCount = 7;
    const Case cases[] = {
        {"bad magic", badMagic, 0, "does not begin with \"BM\""},
        {"bfOffBits below the headers", lowOffset, 0, "cut off"},
        {"bfOffBits past the end", offsetPastEnd, 0, "truncated"},
        {"huge biSizeImage", hugeSize, 0, "truncated"},
        {"dimensions beyond the data", hugeDimensions, 0, "truncated"},
        {"overflowing dimensions", overflowingDimensions, 0, "truncated"},
        {"biSizeImage too small for the dimensions", smallSize, 0, "image size 12"},
        {"unknown bit count", oddBits, 0, "bit depth 7"},
        {"zero width", FileLayout{0}, 0, "dimensions 0 x 2"},
        {"truncated pixels", FileLayout{}, 1, "truncated"},
        {"truncated header", FileLayout{}, 40, "header is cut off"},
        {"file header only", FileLayout{}, 50, "header is cut off"},
    };
    for (const Case& c : cases) {
        QByteArray bytes = bitmapFile(c.layout);
        bytes.chop(c.cut);
        cDib dib;
        EXPECT_FALSE(dib.CreateFromFile(write(bytes))) << c.what;
        EXPECT_TRUE(dib.LoadError().contains(QLatin1String(c.reason))) << c.what << ": " << dib.LoadError().toStdString();
        EXPECT_FALSE(dib.CreateFromBytes(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                         size_t(bytes.size())))
            << c.what;
    }
    FileLayout compressed;
    compressed.sizeImage = 0;
    QByteArray bytes = bitmapFile(compressed);
    bytes[30] = 1;  // run-length encoded, without saying how long
    cDib rle;
    EXPECT_FALSE(rle.CreateFromBytes(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size())));
    EXPECT_TRUE(rle.LoadError().contains("compressed bitmap (compression 1)")) << rle.LoadError().toStdString();
    cDib dib;
    EXPECT_FALSE(dib.CreateFromFile(tempPath("missing.bmp")));
    EXPECT_FALSE(dib.LoadError().isEmpty()) << "the system's reason";
    EXPECT_FALSE(dib.CreateFromFile(write(QByteArray(), "empty.bmp")));
    EXPECT_TRUE(dib.LoadError().contains("too short")) << dib.LoadError().toStdString();
}

TEST_F(Bitmaps, PackedDibOf24BitsBecomesAFile) {
    QByteArray packed(40 + 230400, '\0');
    put(packed, 0, 40, 4);
    put(packed, 4, 320, 4);
    put(packed, 8, 240, 4);
    put(packed, 12, 1, 2);
    put(packed, 14, 24, 2);
    put(packed, 20, 230400, 4);
    const auto* data = reinterpret_cast<const unsigned char*>(packed.constData());
    cDib dib;
    ASSERT_TRUE(dib.CreateFromPackedDIBPointer(data, size_t(packed.size())));
    EXPECT_EQ(dib.SizeFileHeader(), 230454);
    EXPECT_EQ(dib.BitOffset(), 54);
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(data, size_t(packed.size()) - 1));  // shorter than it claims

    // WriteToFile replaces a longer file whole.
    const QString path = write(QByteArray(300000, 'x'), "out.bmp");
    ASSERT_TRUE(dib.WriteToFile(path));
    EXPECT_EQ(QFile(path).size(), 230454);
    cDib back;
    ASSERT_TRUE(back.CreateFromFile(path));
    EXPECT_EQ(back.Width(), 320);

    put(packed, 14, 8, 2);
    EXPECT_FALSE(dib.CreateFromPackedDIBPointer(data, size_t(packed.size())));
    EXPECT_EQ(dib.BitCount(), 8);  // the header was taken, the buffers kept
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_FALSE(dib.WriteToFile(tempPath("no/such/folder/out.bmp")));
}

TEST_F(Bitmaps, APictureIsWrittenStraightFromItsRows) {
    // Five pixels a row need a byte of padding; the picture is top-down, the file bottom-up.
    QImage picture(5, 3, QImage::Format_BGR888);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) picture.setPixelColor(x, y, QColor(40 * x, 80 * y, 7));
    }
    for (const Durability durability : {Durability::Synced, Durability::Unsynced}) {
        const QString path = tempPath("frame.bmp");
        QString why;
        ASSERT_TRUE(WriteBitmapFile(ViewOf(picture), path, &why, durability)) << why.toStdString();
        EXPECT_EQ(QFile(path).size(), 54 + 16 * 3);
        cDib back;
        ASSERT_TRUE(back.CreateFromFile(path)) << back.LoadError().toStdString();
        const PictureView read = back.view();
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(std::memcmp(read.row(y), ViewOf(picture).row(y), 15), 0) << "row " << y;
        }
    }
    QString why;
    EXPECT_FALSE(WriteBitmapFile(ViewOf(picture), tempPath("no/such/folder/frame.bmp"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(WriteBitmapFile(PictureView{}, tempPath("empty.bmp"), &why));
    EXPECT_FALSE(QFile::exists(tempPath("empty.bmp")));
}
