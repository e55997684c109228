#pragma once
// cDib: a packed device-independent bitmap together with the header of its bitmap file. The readers
// trust nothing in the file: sizes and offsets are checked against the bytes actually there.

#include "core/text_files.h"
#include "imaging/picture_bits.h"
#include "platform/bitmap_headers.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrova {

class cDib {
public:
    // Reads a bitmap file. False for a missing or unreadable file, a type other than "BM", a
    // truncated file, offsets or sizes beyond the file, and dimensions the pixel data cannot hold.
    bool CreateFromFile(const QString& path);
    // Why the last CreateFromFile or CreateFromBytes refused: which part of the bitmap is wrong,
    // or the system's reason the file cannot be read.
    QString LoadError() const { return loadError_; }
    // The same checks on a file already in memory.
    bool CreateFromBytes(const unsigned char* data, std::size_t length);
    // A 40-byte info header followed directly by the pixel bytes, length bytes in all. Only pictures
    // of 16 bits or more, without a colour table.
    bool CreateFromPackedDIBPointer(const unsigned char* packed, std::size_t length);
    // Replaces the file whole (a pipe or device is written straight through); false when it could
    // not be written, with the system's reason in `why` when given.
    bool WriteToFile(const QString& path, QString* why = nullptr) const;
    // A black 24-bit bottom-up picture.
    bool CreateTrueColour(int width, int height);
    // A 24-bit bottom-up copy of a picture.
    bool CreateFromView(const PictureView& picture);

    int BitCount() const { return std::int16_t(info_.biBitCount); }
    int Planes() const { return std::int16_t(info_.biPlanes); }
    int Width() const { return info_.biWidth; }
    int Height() const { return info_.biHeight; }
    int Compression() const { return int(info_.biCompression); }
    int SizeInfoHeader() const { return int(info_.biSize); }
    int SizeImage() const { return int(info_.biSizeImage); }
    int XPPM() const { return info_.biXPelsPerMeter; }
    int YPPM() const { return info_.biYPelsPerMeter; }
    int ClrUsed() const { return int(info_.biClrUsed); }
    int ClrImportant() const { return int(info_.biClrImportant); }
    int FileType() const { return std::int16_t(file_.bfType); }
    int SizeFileHeader() const { return int(file_.bfSize); }
    int BitOffset() const { return int(file_.bfOffBits); }
    const unsigned char* PointerToBits() const { return pixels_.data(); }
    unsigned char* PointerToBits() { return pixels_.data(); }
    const unsigned char* PointerToBitmapInfo() const { return format_.data(); }
    int SizeBitmapInfo() const { return int(format_.size()); }
    // Bytes actually held (SizeImage unless a read failed).
    std::size_t PixelBytes() const { return pixels_.size(); }

    // The pixels of a 24-bit uncompressed picture, in place; an invalid view for any other picture.
    PictureView view() const;
    PictureBits bits();

    // Bytes of one stored row of an uncompressed picture of this width and bit count.
    static long long RowBytes(long long width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

private:
    // Takes the parsed file whole, or leaves the bitmap as it was.
    template <typename BitmapSource>
    bool load(BitmapSource& source);

    BitmapInfoHeader info_{};
    BitmapFileHeader file_{};
    std::vector<unsigned char> format_;
    std::vector<unsigned char> pixels_;
    QString loadError_;
};

// An uncompressed picture of 1, 4, 8, 16, 24 or 32 bits (or 16 and 32 with bit fields) as a 24-bit
// one, bottom-up; false for anything else.
bool ToTrueColour(const cDib& source, cDib& target);

// A 24-bit picture written as a bitmap file straight from its rows, without a cDib of its own.
bool WriteBitmapFile(const PictureView& picture, const QString& path, QString* why = nullptr,
                     Durability durability = Durability::Synced);

}  // namespace kestrova
