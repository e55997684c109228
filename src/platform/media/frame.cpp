#include "frame.h"

#include "ffmpeg_handles.h"
#include "video_decoder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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
    static constexpr std::size_t MaxKept = 16;
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

// A pooled image; `bytesPerPixel` 3 (BGR888) or 4 (RGB32).
QImage pooledImage(int width, int height, int bytesPerPixel, QImage::Format format) {
    // Slack after the last row: swscale's vector code stores whole blocks past a row's end.
    constexpr std::size_t Slack = 64;
    const qsizetype stride = (qsizetype(width) * bytesPerPixel + 3) & ~qsizetype(3);
    const std::size_t size = std::size_t(stride) * std::size_t(height) + Slack + sizeof(Buffer);
    auto* bytes = static_cast<unsigned char*>(pool().take(size));
    if (!bytes) return {};
    new (bytes) Buffer{size};
    return QImage(bytes + sizeof(Buffer), width, height, stride, format,
                  [](void* block) { pool().give(static_cast<Buffer*>(block)->size, block); }, bytes);
}

// Each thread that converts keeps its own swscale context between frames.
thread_local Scaler convertScaler;

thread_local Scaler previewScaler;
thread_local AvFrame decimated;

// Every k-th sample of each plane of an 8-bit planar YUV picture, into `decimated`; false for other
// layouts. A preview a fraction of the picture's size then converts a small picture, and for the
// common halving swscale's fast unscaled path does it.
bool decimate(const AVFrame& picture, int k) {
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(AVPixelFormat(picture.format));
    if (!layout || layout->nb_components != 3 || !(layout->flags & AV_PIX_FMT_FLAG_PLANAR) || (layout->flags & AV_PIX_FMT_FLAG_RGB) ||
        layout->comp[0].depth != 8) {
        return false;
    }
    const int width = picture.width / k;
    const int height = picture.height / k;
    if (!decimated) decimated.reset(av_frame_alloc());
    if (decimated->width != width || decimated->height != height || decimated->format != picture.format) {
        av_frame_unref(decimated.get());
        decimated->width = width;
        decimated->height = height;
        decimated->format = picture.format;
        if (av_frame_get_buffer(decimated.get(), 0) < 0) return false;
    }
    decimated->color_range = picture.color_range;
    for (int plane = 0; plane < 3; ++plane) {
        const int shiftW = plane == 0 ? 0 : layout->log2_chroma_w;
        const int shiftH = plane == 0 ? 0 : layout->log2_chroma_h;
        const int planeWidth = AV_CEIL_RSHIFT(width, shiftW);
        const int planeHeight = AV_CEIL_RSHIFT(height, shiftH);
        const int sourceWidth = AV_CEIL_RSHIFT(picture.width, shiftW);
        const int sourceHeight = AV_CEIL_RSHIFT(picture.height, shiftH);
        for (int y = 0; y < planeHeight; ++y) {
            const uint8_t* source = picture.data[plane] + qsizetype(std::min(y * k, sourceHeight - 1)) * picture.linesize[plane];
            uint8_t* target = decimated->data[plane] + qsizetype(y) * decimated->linesize[plane];
            const int columns = std::min(planeWidth, (sourceWidth + k - 1) / k);
            int x = 0;
#if defined(__SSE2__)
            // Halving, the common case: the even bytes of 32 in one go. Reads stay within the
            // plane's padded row.
            if (k == 2) {
                const __m128i low = _mm_set1_epi16(0x00FF);
                for (; x + 16 <= columns; x += 16) {
                    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * x));
                    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * x + 16));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low)));
                }
            }
#endif
            for (; x < columns; ++x) target[x] = source[x * k];
            for (int x = columns; x < planeWidth; ++x) target[x] = source[sourceWidth - 1];
        }
    }
    return true;
}

// A decoder's picture straight to a screen picture, without converting the whole picture first.
QImage decodedPreview(const AVFrame& whole, QSize size) {
    const int k = std::min(whole.width / size.width(), whole.height / size.height());
    const AVFrame& picture = k >= 2 && decimate(whole, k) ? *decimated : whole;
    SwsContext* context = sws_getCachedContext(previewScaler.release(), picture.width, picture.height, AVPixelFormat(picture.format),
                                               size.width(), size.height(), AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    previewScaler.reset(context);
    QImage out = context ? pooledImage(size.width(), size.height(), 4, QImage::Format_RGB32) : QImage();
    if (out.isNull()) return {};
    uint8_t* planes[4] = {out.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(out.bytesPerLine()), 0, 0, 0};
    sws_scale(context, picture.data, picture.linesize, 0, picture.height, planes, strides);
    return out;
}

}  // namespace

QImage NewFrameImage(int width, int height) { return pooledImage(width, height, 3, QImage::Format_BGR888); }

class FramePicture {
public:
    QSize size;
    AvFrame decoded;  // until the BGR image is made; null for a frame made as an image
    std::once_flag once;
    QImage image;
    QImage preview;
};

Frame Frame::fromImage(QImage image) {
    Frame frame;
    if (image.isNull()) return frame;
    frame.picture_ = std::make_shared<FramePicture>();
    frame.picture_->size = image.size();
    frame.picture_->image = std::move(image);
    return frame;
}

Frame Frame::fromDecoded(AVFrame* decoded, QSize size) {
    Frame frame;
    frame.picture_ = std::make_shared<FramePicture>();
    frame.picture_->size = size;
    frame.picture_->decoded.reset(av_frame_alloc());
    av_frame_move_ref(frame.picture_->decoded.get(), decoded);
    return frame;
}

QSize Frame::size() const { return picture_ ? picture_->size : QSize(); }

QImage Frame::image() const {
    if (!picture_) return {};
    std::call_once(picture_->once, [picture = picture_.get()] {
        if (picture->decoded) ConvertPicture(*picture->decoded, picture->size, convertScaler, picture->image);
    });
    return picture_->image;
}

QImage Frame::preview(QSize size) const {
    if (!picture_ || size.isEmpty()) return {};
    return picture_->preview.size() == size ? picture_->preview : PreviewPicture(image(), size);
}

void Frame::attachPreview(QSize size) {
    if (!picture_ || size.isEmpty()) return;
    if (picture_->decoded) picture_->preview = decodedPreview(*picture_->decoded, size);
    if (picture_->preview.isNull()) picture_->preview = PreviewPicture(image(), size);
}

QImage PreviewPicture(const QImage& image, QSize size) {
    if (image.isNull() || size.isEmpty()) return {};
    if (image.format() != QImage::Format_BGR888) return image.scaled(size).convertToFormat(QImage::Format_RGB32);
    QImage picture = pooledImage(size.width(), size.height(), 4, QImage::Format_RGB32);
    if (picture.isNull()) return {};
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
