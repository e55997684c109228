#pragma once
// A writable 24-bit picture: the same layout as PictureView, for the code that fills pictures.

#include "platform/picture_view.h"

namespace kestrova {

struct PictureBits {
    unsigned char* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool bottomUp = true;

    bool isValid() const { return bits != nullptr && width > 0 && height > 0 && stride >= 3 * width; }
    // The bytes of picture row y, counted from the top.
    unsigned char* row(int y) const {
        return bits + static_cast<long long>(bottomUp ? height - 1 - y : y) * stride;
    }
    PictureView view() const { return PictureView{bits, width, height, stride, bottomUp}; }
};

}  // namespace kestrova
