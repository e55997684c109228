#pragma once
// cDIBSection: a 24-bit device-independent bitmap in memory, rows stored bottom-up, each padded to a
// multiple of 4 bytes. The platform layers read its bits in place through view().

#include "platform/bitmap_headers.h"
#include "imaging/picture_bits.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace kestrova {

class cDIBSection {
public:
    cDIBSection() = default;
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Empties the section and makes a new picture of width x height (contents undefined).
    bool Create(int width, int height);
    // Creates the section at the picture's size and copies the picture into it.
    bool CreateFromPicture(const QImage& picture);
    // Copies from source into the section at (0, 0); a negative width or height means the section's own.
    void LoadPictureBlt(const QImage& source, int sourceLeft = 0, int sourceTop = 0, int width = -1, int height = -1);
    // Copies from the section into target at (targetLeft, targetTop); a negative width or height means
    // the section's own. target must be Format_BGR888 (ToImage makes one).
    void PaintPicture(QImage& target, int targetLeft = 0, int targetTop = 0, int width = -1, int height = -1,
                      int sourceLeft = 0, int sourceTop = 0) const;
    // The whole picture as a new image.
    QImage ToImage() const;

    int Width() const { return header_.biWidth; }
    int Height() const { return header_.biHeight; }
    int BytesPerScanLine() const { return BytesPerScanLineOf(Width()); }
    static int BytesPerScanLineOf(int width) { return (width * 3 + 3) & ~3; }

    // Non-zero while the section holds a picture.
    std::uintptr_t hdc() const { return reinterpret_cast<std::uintptr_t>(bits_.empty() ? nullptr : this); }
    std::uintptr_t hdib() const { return reinterpret_cast<std::uintptr_t>(DIBSectionBitsPtr()); }
    unsigned char* DIBSectionBitsPtr() { return bits_.empty() ? nullptr : bits_.data(); }
    const unsigned char* DIBSectionBitsPtr() const { return bits_.empty() ? nullptr : bits_.data(); }
    const BitmapInfoHeader& Header() const { return header_; }

    void ClearUp();

    PictureView view() const { return PictureView{DIBSectionBitsPtr(), Width(), Height(), BytesPerScanLine(), true}; }
    PictureBits bits() { return PictureBits{DIBSectionBitsPtr(), Width(), Height(), BytesPerScanLine(), true}; }

    // Largest picture the section accepts, so that a bad size never becomes a huge allocation.
    static constexpr long long MaxBytes = 1LL << 30;

private:
    BitmapInfoHeader header_{};
    std::vector<unsigned char> bits_;
};

}  // namespace kestrova
