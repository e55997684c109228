#pragma once
// Waiting for an engine's signals and comparing colours in a test.

#include "wait_until.h"

#include <cstdlib>

namespace kestrova::test {

// Blue, green and red of a pixel, for comparing with a tolerance (JPEG and MPEG move colours a little).
inline bool NearColour(const unsigned char* bgr, int blue, int green, int red, int tolerance = 12) {
    return std::abs(bgr[0] - blue) <= tolerance && std::abs(bgr[1] - green) <= tolerance && std::abs(bgr[2] - red) <= tolerance;
}

}  // namespace kestrova::test
