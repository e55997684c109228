#include "dib.h"

#include "core/text_files.h"

#include <QFile>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace kestrova {

namespace {

// A file or a block of memory, read at offsets that are checked against its real length.
class Source {
public:
    virtual ~Source() = default;
    virtual long long length() const = 0;
    virtual bool read(long long offset, unsigned char* target, long long count) = 0;
};

class FileSource final : public Source {
public:
    explicit FileSource(QFile& file) : file_(file) {}
    long long length() const override { return file_.size(); }
    bool read(long long offset, unsigned char* target, long long count) override {
        return file_.seek(offset) && file_.read(reinterpret_cast<char*>(target), count) == count;
    }

private:
    QFile& file_;
};

class MemorySource final : public Source {
public:
    MemorySource(const unsigned char* data, std::size_t length) : data_(data), length_(static_cast<long long>(length)) {}
    long long length() const override { return length_; }
    bool read(long long offset, unsigned char* target, long long count) override {
        if (offset < 0 || count < 0 || offset > length_ || count > length_ - offset) return false;
        std::memcpy(target, data_ + offset, static_cast<size_t>(count));
        return true;
    }

private:
    const unsigned char* data_;
    long long length_;
};

bool uncompressedLayout(const BitmapInfoHeader& info) {
    // BI_RGB, and BI_BITFIELDS whose pixels are laid out the same way.
    return info.biCompression == 0 || (info.biCompression == 3 && (info.biBitCount == 16 || info.biBitCount == 32));
}

bool knownBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

struct Parsed {
    BitmapFileHeader file;
    BitmapInfoHeader info;
    std::vector<unsigned char> format;
    std::vector<unsigned char> pixels;
};

// Empty when the bitmap is whole, else what is wrong with it.
QString parse(Source& source, Parsed& out) {
    const long long length = source.length();
    unsigned char head[FileHeaderSize + InfoHeaderSize];
    if (length < FileHeaderSize || !source.read(0, head, FileHeaderSize)) return QStringLiteral("the file is too short for a bitmap");
    out.file = ReadFileHeader(head);
    if (out.file.bfType != BitmapMagic) return QStringLiteral("not a bitmap (it does not begin with \"BM\")");
    if (length < FileHeaderSize + InfoHeaderSize || !source.read(FileHeaderSize, head + FileHeaderSize, InfoHeaderSize)) {
        return QStringLiteral("the bitmap header is cut off");
    }
    out.info = ReadInfoHeader(head + FileHeaderSize);
    BitmapInfoHeader& info = out.info;
    const long long offBits = out.file.bfOffBits;
    if (info.biSize < InfoHeaderSize) return QStringLiteral("the bitmap header size %1 is too small").arg(info.biSize);
    if (offBits < FileHeaderSize + static_cast<long long>(info.biSize) || offBits > length) {
        return QStringLiteral("the pixel data offset %1 lies outside the file").arg(offBits);
    }
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN) {
        return QStringLiteral("the bitmap's dimensions %1 x %2 are not a picture").arg(info.biWidth).arg(info.biHeight);
    }
    if (info.biPlanes != 1) return QStringLiteral("the bitmap has %1 planes, not 1").arg(info.biPlanes);

    long long imageSize = info.biSizeImage;
    if (uncompressedLayout(info)) {
        if (!knownBitCount(info.biBitCount)) return QStringLiteral("the bit depth %1 is not one of 1, 4, 8, 16, 24, 32").arg(info.biBitCount);
        // Rows that could not fit in the file are refused before their size is multiplied out.
        const long long rowBytes = cDib::RowBytes(info.biWidth, info.biBitCount);
        const long long rows = std::llabs(info.biHeight);
        // Said as rows, not multiplied out: huge dimensions would overflow.
        if (rows > (length - offBits) / rowBytes) {
            return QStringLiteral("the pixel data is truncated (%1 bytes for %2 rows of %3)").arg(length - offBits).arg(rows).arg(rowBytes);
        }
        const long long needed = rowBytes * rows;
        if (imageSize == 0) imageSize = needed;
        if (imageSize < needed) return QStringLiteral("the image size %1 is smaller than its rows (%2 bytes)").arg(imageSize).arg(needed);
    } else if (imageSize == 0) {
        return QStringLiteral("the compressed bitmap (compression %1) does not say how long it is").arg(info.biCompression);
    }
    if (imageSize > length - offBits) return QStringLiteral("the pixel data is truncated (%1 bytes for %2)").arg(length - offBits).arg(imageSize);
    info.biSizeImage = static_cast<std::uint32_t>(imageSize);

    try {
        out.format.resize(static_cast<size_t>(offBits - FileHeaderSize));
        out.pixels.resize(static_cast<size_t>(imageSize));
    } catch (const std::bad_alloc&) {
        return QStringLiteral("not enough memory for the picture");
    }
    if (!source.read(FileHeaderSize, out.format.data(), static_cast<long long>(out.format.size()))) {
        return QStringLiteral("the bitmap header is cut off");
    }
    // The format block carries the header as read, with the computed size filled in.
    WriteInfoHeader(info, out.format.data());
    if (!source.read(offBits, out.pixels.data(), imageSize)) return QStringLiteral("the pixel data cannot be read");
    return {};
}

}  // namespace

template <typename BitmapSource>
bool cDib::load(BitmapSource& source) {
    Parsed parsed;
    loadError_ = parse(source, parsed);
    if (!loadError_.isEmpty()) return false;
    file_ = parsed.file;
    info_ = parsed.info;
    format_ = std::move(parsed.format);
    pixels_ = std::move(parsed.pixels);
    return true;
}

bool cDib::CreateFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loadError_ = file.errorString();
        return false;
    }
    FileSource source(file);
    return load(source);
}

bool cDib::CreateFromBytes(const unsigned char* data, std::size_t length) {
    MemorySource source(data, length);
    return load(source);
}

bool cDib::CreateFromPackedDIBPointer(const unsigned char* packed, std::size_t length) {
    if (packed == nullptr || length < InfoHeaderSize) return false;
    info_ = ReadInfoHeader(packed);
    if (info_.biBitCount < 16 || info_.biSizeImage < 1 || info_.biSizeImage > length - InfoHeaderSize) return false;
    pixels_.assign(packed + InfoHeaderSize, packed + InfoHeaderSize + info_.biSizeImage);
    format_.assign(packed, packed + InfoHeaderSize);
    file_ = BitmapFileHeader{BitmapMagic, FileHeaderSize + InfoHeaderSize + info_.biSizeImage, 0, 0,
                             FileHeaderSize + InfoHeaderSize};
    return true;
}

namespace {
// The headers of a bottom-up 24-bit bitmap of `size` pixel bytes.
BitmapInfoHeader TrueColourInfo(int width, int height, long long size) {
    return BitmapInfoHeader{InfoHeaderSize, width, height, 1, 24, 0, static_cast<std::uint32_t>(size), 0, 0, 0, 0};
}
BitmapFileHeader TrueColourFile(long long size) {
    return BitmapFileHeader{BitmapMagic, static_cast<std::uint32_t>(FileHeaderSize + InfoHeaderSize + size), 0, 0,
                            FileHeaderSize + InfoHeaderSize};
}
}  // namespace

bool cDib::CreateTrueColour(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const long long size = RowBytes(width, 24) * height;
    if (size > (1LL << 30)) return false;
    try {
        pixels_.assign(static_cast<size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    info_ = TrueColourInfo(width, height, size);
    file_ = TrueColourFile(size);
    format_.assign(InfoHeaderSize, 0);
    WriteInfoHeader(info_, format_.data());
    return true;
}

bool cDib::CreateFromView(const PictureView& picture) {
    if (!picture.isValid() || !CreateTrueColour(picture.width, picture.height)) return false;
    const PictureBits target = bits();
    for (int y = 0; y < picture.height; ++y) std::memcpy(target.row(y), picture.row(y), size_t(picture.width) * 3);
    return true;
}

bool cDib::WriteToFile(const QString& path, QString* why) const {
    // Written beside the old file and renamed over it (or straight into a pipe), from the buffers.
    OutputFile file(path);
    unsigned char header[FileHeaderSize];
    WriteFileHeader(file_, header);
    const auto write = [&file](const void* data, size_t size) { return file.write(static_cast<const char*>(data), qint64(size)); };
    const bool written = file.open() && write(header, sizeof header) && write(format_.data(), format_.size()) &&
                         write(pixels_.data(), pixels_.size()) && file.commit();
    if (!written && why) *why = file.errorString();
    return written;
}

bool WriteBitmapFile(const PictureView& picture, const QString& path, QString* why, Durability durability) {
    const long long rowBytes = cDib::RowBytes(picture.width, 24);
    const long long size = rowBytes * picture.height;
    if (!picture.isValid() || size > (1LL << 30)) {
        if (why) *why = QStringLiteral("not a picture that a bitmap can hold");
        return false;
    }
    // The whole file in one buffer, rows bottom first and padded to four bytes, and one write.
    const size_t total = size_t(FileHeaderSize + InfoHeaderSize + size);
    const auto bytes = std::make_unique_for_overwrite<unsigned char[]>(total);
    WriteFileHeader(TrueColourFile(size), bytes.get());
    WriteInfoHeader(TrueColourInfo(picture.width, picture.height, size), bytes.get() + FileHeaderSize);
    const size_t used = size_t(picture.width) * 3;
    unsigned char* row = bytes.get() + FileHeaderSize + InfoHeaderSize;
    for (int y = picture.height - 1; y >= 0; --y, row += rowBytes) {
        std::memcpy(row, picture.row(y), used);
        std::memset(row + used, 0, size_t(rowBytes) - used);
    }
    OutputFile file(path, false, durability);
    const bool written = file.open() && file.write(reinterpret_cast<const char*>(bytes.get()), qint64(total)) && file.commit();
    if (!written && why) *why = file.errorString();
    return written;
}

PictureView cDib::view() const {
    if (info_.biBitCount != 24 || info_.biCompression != 0 || info_.biWidth <= 0 || info_.biHeight == 0 ||
        static_cast<long long>(pixels_.size()) < RowBytes(info_.biWidth, 24) * std::llabs(info_.biHeight)) {
        return {};
    }
    return PictureView{pixels_.data(), info_.biWidth, std::abs(info_.biHeight), int(RowBytes(info_.biWidth, 24)),
                       info_.biHeight > 0};
}

PictureBits cDib::bits() {
    const PictureView v = view();
    return PictureBits{const_cast<unsigned char*>(v.bits), v.width, v.height, v.stride, v.bottomUp};
}

namespace {

struct Mask {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
    explicit Mask(std::uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
    }
    unsigned char operator()(std::uint32_t pixel) const {
        return max ? static_cast<unsigned char>(((pixel & mask) >> shift) * 255 / max) : 0;
    }
};

std::uint32_t readLe32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

}  // namespace

bool ToTrueColour(const cDib& source, cDib& target) {
    const int bits = source.BitCount();
    const bool bitFields = source.Compression() == 3 && (bits == 16 || bits == 32);
    if ((source.Compression() != 0 && !bitFields) || source.Width() <= 0 || source.Height() == 0) return false;
    const int width = source.Width(), height = std::abs(source.Height());
    const long long rowBytes = cDib::RowBytes(width, bits);
    if (static_cast<long long>(source.PixelBytes()) < rowBytes * height) return false;
    if (bits == 24) {
        target = source;
        return true;
    }
    // The colour table, or the three masks of a bit-field picture, follow the info header.
    const unsigned char* info = source.PointerToBitmapInfo();
    const int infoSize = source.SizeBitmapInfo();
    const int headerSize = std::min(source.SizeInfoHeader(), infoSize);
    std::vector<std::uint32_t> palette;
    Mask red(bits == 16 ? 0x7C00 : 0xFF0000), green(bits == 16 ? 0x03E0 : 0xFF00), blue(bits == 16 ? 0x001F : 0xFF);
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits) && headerSize + 4 * (i + 1) <= infoSize; ++i) {
            palette.push_back(readLe32(info + headerSize + 4 * i));
        }
        palette.resize(size_t(1) << bits, 0);
    } else if (bitFields) {
        if (infoSize < InfoHeaderSize + 12) return false;
        red = Mask(readLe32(info + 40));
        green = Mask(readLe32(info + 44));
        blue = Mask(readLe32(info + 48));
    } else if (bits != 16 && bits != 32) {
        return false;
    }
    if (!target.CreateTrueColour(width, height)) return false;
    const PictureBits out = target.bits();
    for (int y = 0; y < height; ++y) {
        // Stored row order: bottom-up unless the height is negative.
        const unsigned char* in = source.PointerToBits() + rowBytes * (source.Height() > 0 ? height - 1 - y : y);
        unsigned char* o = out.row(y);
        for (int x = 0; x < width; ++x, o += 3) {
            if (bits <= 8) {
                const int perByte = 8 / bits;
                const int index = (in[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) & ((1 << bits) - 1);
                const std::uint32_t bgr = palette[size_t(index)];
                o[0] = static_cast<unsigned char>(bgr), o[1] = static_cast<unsigned char>(bgr >> 8),
                o[2] = static_cast<unsigned char>(bgr >> 16);
                continue;
            }
            const std::uint32_t pixel = bits == 16 ? std::uint32_t(in[2 * x] | (in[2 * x + 1] << 8)) : readLe32(in + 4 * x);
            o[0] = blue(pixel), o[1] = green(pixel), o[2] = red(pixel);
        }
    }
    return true;
}

}  // namespace kestrova
