#pragma once

#include "platform/picture_view.h"

#include <QImage>

namespace kestrova {

// The bytes of a Format_BGR888 image (top-down rows) as the platform layers exchange them; valid
// while the image lives.
inline PictureView ViewOf(const QImage& bgr888) {
    return PictureView{bgr888.constBits(), bgr888.width(), bgr888.height(), int(bgr888.bytesPerLine()), false};
}

}  // namespace kestrova
