#include "audio_format.h"

#include <algorithm>

namespace kestrova {

void ApplyAudioFormat(int bitsPos, int channelsPos, int ratePos, WAVEFORMATEX& format) {
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.wBitsPerSample = bitsPos == 0 ? 8 : 16;
    format.nChannels = channelsPos == 0 ? 1 : 2;
    if (ratePos >= 0 && ratePos < int(AudioRates.size())) format.nSamplesPerSec = AudioRates[size_t(ratePos)];
    format.nBlockAlign = uint16_t(format.wBitsPerSample / 8 * format.nChannels);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
}

AudioListPositions AudioPositionsOf(const WAVEFORMATEX& format) {
    AudioListPositions positions;
    positions.channels = format.nChannels == 1 ? 0 : 1;
    positions.bits = format.wBitsPerSample == 8 ? 0 : 1;
    const auto found = std::find(AudioRates.begin(), AudioRates.end(), format.nSamplesPerSec);
    if (found != AudioRates.end()) positions.rate = int(found - AudioRates.begin());
    return positions;
}

}  // namespace kestrova
