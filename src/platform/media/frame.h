#pragma once
// One picture from a source, with its number since the source opened and its time on the steady
// clock. Copies share the picture. A decoded picture is converted to BGR only when someone asks; the
// source thread attaches the preview at the screen's size straight from the decoder's picture, so a
// plain preview never converts the whole picture.

#include "platform/image_view.h"

#include <QByteArray>
#include <QImage>

#include <chrono>
#include <cstdint>
#include <memory>

struct AVFrame;

namespace kestrova::media {

class FramePicture;

class Frame {
public:
    Frame() = default;
    // A picture in the frame format (Format_BGR888).
    static Frame fromImage(QImage image);
    // A decoder's picture, to be shown at `size`; takes over the reference in `decoded`. The BGR
    // image is made on the first call of image(), on the thread that asks.
    static Frame fromDecoded(AVFrame* decoded, QSize size);

    bool isValid() const { return picture_ != nullptr; }
    QSize size() const;
    // 24-bit BGR, top row first, rows 4-byte aligned (QImage::Format_BGR888). Any thread may call it.
    QImage image() const;
    // The picture at `size` as RGB32 for a screen: the attached one when it has that size.
    QImage preview(QSize size) const;
    // Only before the frame is handed over: other threads may read it afterwards.
    void attachPreview(QSize size);

    std::int64_t number = 0;
    std::chrono::steady_clock::time_point taken{};
    // The source's own JPEG of this picture at its size, when the source delivers MJPEG: an MJPEG
    // movie copies it instead of encoding the picture again.
    std::shared_ptr<const QByteArray> jpeg;

private:
    std::shared_ptr<FramePicture> picture_;
};

// A blank picture in the frame format, its buffer reused from released frames.
QImage NewFrameImage(int width, int height);

// A BGR888 image at `size` as RGB32, by nearest pixel. Qt draws BGR888 through a slow generic path;
// this is several times faster, and its result blits.
QImage PreviewPicture(const QImage& image, QSize size);

}  // namespace kestrova::media
