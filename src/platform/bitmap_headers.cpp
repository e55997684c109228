#include "bitmap_headers.h"

namespace kestrova {

namespace {

std::uint16_t get16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

BitmapFileHeader ReadFileHeader(const unsigned char* b) {
    return BitmapFileHeader{get16(b), get32(b + 2), get16(b + 6), get16(b + 8), get32(b + 10)};
}

BitmapInfoHeader ReadInfoHeader(const unsigned char* b) {
    BitmapInfoHeader h;
    h.biSize = get32(b);
    h.biWidth = std::int32_t(get32(b + 4));
    h.biHeight = std::int32_t(get32(b + 8));
    h.biPlanes = get16(b + 12);
    h.biBitCount = get16(b + 14);
    h.biCompression = get32(b + 16);
    h.biSizeImage = get32(b + 20);
    h.biXPelsPerMeter = std::int32_t(get32(b + 24));
    h.biYPelsPerMeter = std::int32_t(get32(b + 28));
    h.biClrUsed = get32(b + 32);
    h.biClrImportant = get32(b + 36);
    return h;
}

void WriteFileHeader(const BitmapFileHeader& h, unsigned char* b) {
    put16(b, h.bfType);
    put32(b + 2, h.bfSize);
    put16(b + 6, h.bfReserved1);
    put16(b + 8, h.bfReserved2);
    put32(b + 10, h.bfOffBits);
}

void WriteInfoHeader(const BitmapInfoHeader& h, unsigned char* b) {
    put32(b, h.biSize);
    put32(b + 4, std::uint32_t(h.biWidth));
    put32(b + 8, std::uint32_t(h.biHeight));
    put16(b + 12, h.biPlanes);
    put16(b + 14, h.biBitCount);
    put32(b + 16, h.biCompression);
    put32(b + 20, h.biSizeImage);
    put32(b + 24, std::uint32_t(h.biXPelsPerMeter));
    put32(b + 28, std::uint32_t(h.biYPelsPerMeter));
    put32(b + 32, h.biClrUsed);
    put32(b + 36, h.biClrImportant);
}

}  // namespace kestrova
