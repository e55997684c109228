#pragma once
// One picture from a source, with its number since the source opened and its time on the steady
// clock. Copies share the picture. A source thread may attach the preview at the screen's size, made
// while the picture is still in its cache.

#include "platform/picture_view.h"

#include <QImage>

#include <chrono>
#include <cstdint>
#include <memory>

namespace kestrova::media {

class FramePicture;

class Frame {
public:
    Frame() = default;
    // A picture in the frame format (Format_BGR888).
    static Frame fromImage(QImage image);

    bool isValid() const { return picture_ != nullptr; }
    QSize size() const;
    // 24-bit BGR, top row first, rows 4-byte aligned (QImage::Format_BGR888).
    QImage image() const;
    // The picture at `size` as RGB32 for a screen: the attached one when it has that size.
    QImage preview(QSize size) const;
    // Only before the frame is handed over: other threads may read it afterwards.
    void attachPreview(QSize size);

    std::int64_t number = 0;
    std::chrono::steady_clock::time_point taken{};

private:
    std::shared_ptr<FramePicture> picture_;
};

// A blank picture in the frame format, its buffer reused from released frames.
QImage NewFrameImage(int width, int height);

// A BGR888 image at `size` as RGB32, by nearest pixel. Qt draws BGR888 through a slow generic path;
// this is several times faster, and its result blits.
QImage PreviewPicture(const QImage& image, QSize size);

// The frame's bytes as the platform layers exchange them; valid while the image lives.
inline PictureView ViewOf(const QImage& image) {
    PictureView view;
    view.bits = image.constBits();
    view.width = image.width();
    view.height = image.height();
    view.stride = int(image.bytesPerLine());
    view.bottomUp = false;
    return view;
}

}  // namespace kestrova::media
