#pragma once
// The sound format of a capture-window movie, from the positions of the three audio format lists
// (bits: 0 "8 bit", 1 "16 bit"; channels: 0 "Mono", 1 "Stereo"; rate: 0..3 for 8000, 11025, 22050,
// 44100 Hz), and the positions that show a driver's format.

#include "core/capture_records.h"

#include <array>
#include <cstdint>

namespace kestrova {

inline constexpr std::array<uint32_t, 4> AudioRates = {8000, 11025, 22050, 44100};

// A rate position outside 0..3 leaves the rate as it is; block alignment and bytes per second
// follow whatever the format then holds.
void ApplyAudioFormat(int bitsPos, int channelsPos, int ratePos, WAVEFORMATEX& format);

struct AudioListPositions {
    int bits = 0;
    int channels = 0;
    int rate = -1;  // -1: a rate the list does not hold, which leaves the list as it is
};
AudioListPositions AudioPositionsOf(const WAVEFORMATEX& format);

}  // namespace kestrova
