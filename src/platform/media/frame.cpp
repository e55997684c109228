#include "frame.h"

#include <cstdlib>

namespace kestrova::media {

QImage NewFrameImage(int width, int height) {
    constexpr qsizetype Slack = 64;
    const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    void* bytes = std::malloc(size_t(stride * height + Slack));
    if (!bytes) return {};
    return QImage(static_cast<uchar*>(bytes), width, height, stride, QImage::Format_BGR888, [](void* data) { std::free(data); }, bytes);
}

}  // namespace kestrova::media
