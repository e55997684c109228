#pragma once
// The two headers of a bitmap file, as they lie in the file (little-endian).

#include <cstdint>

namespace kestrova {

struct BitmapFileHeader {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

inline constexpr int FileHeaderSize = 14;
inline constexpr int InfoHeaderSize = 40;
inline constexpr std::uint16_t BitmapMagic = 0x4D42;  // "BM"

BitmapFileHeader ReadFileHeader(const unsigned char* bytes);  // 14 bytes
BitmapInfoHeader ReadInfoHeader(const unsigned char* bytes);  // 40 bytes
void WriteFileHeader(const BitmapFileHeader& header, unsigned char* bytes);
void WriteInfoHeader(const BitmapInfoHeader& header, unsigned char* bytes);

}  // namespace kestrova
