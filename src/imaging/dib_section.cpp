#include "dib_section.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kestrova {

void cDIBSection::ClearUp() {
    std::vector<unsigned char>().swap(bits_);
    header_ = BitmapInfoHeader{};
}

bool cDIBSection::Create(int width, int height) {
    ClearUp();
    if (width <= 0 || height <= 0 || width > (1 << 28)) return false;
    const long long size = static_cast<long long>(BytesPerScanLineOf(width)) * height;
    if (size > MaxBytes) return false;
    try {
        bits_.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    header_.biSize = InfoHeaderSize;
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biPlanes = 1;
    header_.biBitCount = 24;
    header_.biCompression = 0;
    header_.biSizeImage = static_cast<std::uint32_t>(size);
    return true;
}

bool cDIBSection::CreateFromPicture(const QImage& picture) {
    if (!Create(picture.width(), picture.height())) return false;
    LoadPictureBlt(picture);
    return true;
}

void cDIBSection::LoadPictureBlt(const QImage& source, int sourceLeft, int sourceTop, int width, int height) {
    if (bits_.empty() || source.isNull()) return;
    if (width < 0) width = Width();
    if (height < 0) height = Height();
    // Clip to both pictures.
    width = std::min({width, Width(), source.width() - sourceLeft});
    height = std::min({height, Height(), source.height() - sourceTop});
    if (sourceLeft < 0 || sourceTop < 0 || width <= 0 || height <= 0) return;
    const QImage bgr = source.format() == QImage::Format_BGR888 ? source : source.convertToFormat(QImage::Format_BGR888);
    const PictureBits target = bits();
    for (int y = 0; y < height; ++y) {
        std::memcpy(target.row(y), bgr.constScanLine(sourceTop + y) + 3 * sourceLeft, size_t(width) * 3);
    }
}

void cDIBSection::PaintPicture(QImage& target, int targetLeft, int targetTop, int width, int height, int sourceLeft,
                               int sourceTop) const {
    if (bits_.empty() || target.format() != QImage::Format_BGR888) return;
    if (width < 0) width = Width();
    if (height < 0) height = Height();
    if (targetLeft < 0 || targetTop < 0 || sourceLeft < 0 || sourceTop < 0) return;
    width = std::min({width, Width() - sourceLeft, target.width() - targetLeft});
    height = std::min({height, Height() - sourceTop, target.height() - targetTop});
    const PictureView source = view();
    for (int y = 0; y < height; ++y) {
        std::memcpy(target.scanLine(targetTop + y) + 3 * targetLeft, source.row(sourceTop + y) + 3 * sourceLeft,
                    size_t(std::max(width, 0)) * 3);
    }
}

QImage cDIBSection::ToImage() const {
    if (bits_.empty()) return {};
    QImage image(Width(), Height(), QImage::Format_BGR888);
    PaintPicture(image);
    return image;
}

}  // namespace kestrova
