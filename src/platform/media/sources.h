#pragma once
// The factory of each source kind; CreateSource picks one by kind.

#include "source.h"

namespace kestrova::media {

std::unique_ptr<Source> NewTestPatternSource(const SourceSettings& settings, Interrupt& interrupt);
// V4L2 devices, filter graphs and streams: all through libavformat.
std::unique_ptr<Source> NewFfmpegSource(const SourceSettings& settings, Interrupt& interrupt);
std::unique_ptr<Source> NewIpCameraSource(const SourceSettings& settings, Interrupt& interrupt);

}  // namespace kestrova::media
