#pragma once
// A 24-bit picture in memory as the platform layers exchange it: blue-green-red bytes, rows of `stride`
// bytes (at least 3 * width, a multiple of 4 for device-independent bitmaps), stored bottom row first
// when bottomUp is set. The view does not own the bytes.

namespace kestrova {

struct PictureView {
    const unsigned char* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool bottomUp = true;

    bool isValid() const { return bits != nullptr && width > 0 && height > 0 && stride >= 3 * width; }
    // The bytes of picture row y, counted from the top.
    const unsigned char* row(int y) const {
        return bits + static_cast<long long>(bottomUp ? height - 1 - y : y) * stride;
    }
};

}  // namespace kestrova
