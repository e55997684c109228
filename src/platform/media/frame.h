#pragma once
// One picture from a source: 24-bit BGR, top row first, rows 4-byte aligned (QImage::Format_BGR888),
// with its number since the source opened and its time on the steady clock.

#include "platform/picture_view.h"

#include <QImage>

#include <chrono>
#include <cstdint>

namespace kestrova::media {

struct Frame {
    QImage image;  // Format_BGR888
    std::int64_t number = 0;
    std::chrono::steady_clock::time_point taken{};

    bool isValid() const { return !image.isNull(); }
};

// A blank picture in the frame format; every source draws or converts into one of these. The buffer
// has slack after the last row: swscale's vector code stores whole blocks past a row's end.
QImage NewFrameImage(int width, int height);

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
