#pragma once
// The codecs of the installed FFmpeg that AVI files can carry, with what FFmpeg can do with each.

#include <QString>

#include <vector>

namespace kestrova::media {

struct AviCodec {
    bool video = true;  // else audio
    QString name;       // FFmpeg's long name
    QString signature;  // the code AVI files carry: a four-character code for video, a format tag for audio
    QString encoder;    // FFmpeg's encoder for it; empty when it can only be read
    QString decoder;    // and its decoder; empty when it can only be written
};

// Video codecs first, each kind in FFmpeg's order of codec ids.
std::vector<AviCodec> InstalledAviCodecs();

}  // namespace kestrova::media
