#include "frame.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace kestrova::media {

namespace {

// Frame buffers are megabytes each: fresh ones come from mmap and cost a page fault per 4 KiB on the
// first write, so released buffers are kept for the next frames of the same size.
class BufferPool {
public:
    void* take(std::size_t size) {
        {
            std::lock_guard lock(mutex_);
            for (auto it = free_.begin(); it != free_.end(); ++it) {
                if (it->first == size) {
                    void* bytes = it->second;
                    free_.erase(it);
                    return bytes;
                }
            }
        }
        return std::malloc(size);
    }
    void give(std::size_t size, void* bytes) {
        {
            std::lock_guard lock(mutex_);
            if (free_.size() < MaxKept) {
                free_.emplace_back(size, bytes);
                return;
            }
            // Full of buffers of another size (the picture size changed): drop the oldest.
            std::free(free_.front().second);
            free_.erase(free_.begin());
            free_.emplace_back(size, bytes);
        }
    }

private:
    static constexpr std::size_t MaxKept = 8;
    std::mutex mutex_;
    std::vector<std::pair<std::size_t, void*>> free_;
};

BufferPool& pool() {
    // Never destroyed: frames may be released by threads that outlive static destruction.
    static BufferPool* instance = new BufferPool;
    return *instance;
}

struct alignas(16) Buffer {
    std::size_t size;
};

}  // namespace

QImage NewFrameImage(int width, int height) {
    // Slack after the last row: swscale's vector code stores whole blocks past a row's end.
    constexpr std::size_t Slack = 64;
    const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    const std::size_t size = std::size_t(stride) * std::size_t(height) + Slack + sizeof(Buffer);
    auto* bytes = static_cast<unsigned char*>(pool().take(size));
    if (!bytes) return {};
    new (bytes) Buffer{size};
    return QImage(bytes + sizeof(Buffer), width, height, stride, QImage::Format_BGR888,
                  [](void* block) { pool().give(static_cast<Buffer*>(block)->size, block); }, bytes);
}

class FramePicture {
public:
    QImage image;
    QImage preview;
};

Frame Frame::fromImage(QImage image) {
    Frame frame;
    if (image.isNull()) return frame;
    frame.picture_ = std::make_shared<FramePicture>();
    frame.picture_->image = std::move(image);
    return frame;
}

QSize Frame::size() const { return picture_ ? picture_->image.size() : QSize(); }

QImage Frame::image() const { return picture_ ? picture_->image : QImage(); }

QImage Frame::preview(QSize size) const {
    if (!picture_ || size.isEmpty()) return {};
    return picture_->preview.size() == size ? picture_->preview : PreviewPicture(picture_->image, size);
}

void Frame::attachPreview(QSize size) {
    if (picture_ && !size.isEmpty()) picture_->preview = PreviewPicture(picture_->image, size);
}

QImage PreviewPicture(const QImage& image, QSize size) {
    if (image.isNull() || size.isEmpty()) return {};
    if (image.format() != QImage::Format_BGR888) return image.scaled(size).convertToFormat(QImage::Format_RGB32);
    QImage picture(size, QImage::Format_RGB32);
    std::vector<int> columns(size_t(size.width()));
    for (int x = 0; x < size.width(); ++x) columns[size_t(x)] = 3 * int(qint64(x) * image.width() / size.width());
    for (int y = 0; y < size.height(); ++y) {
        const uchar* source = image.constScanLine(int(qint64(y) * image.height() / size.height()));
        auto* target = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const uchar* pixel = source + columns[size_t(x)];
            target[x] = 0xFF000000u | (QRgb(pixel[2]) << 16) | (QRgb(pixel[1]) << 8) | pixel[0];
        }
    }
    return picture;
}

}  // namespace kestrova::media
