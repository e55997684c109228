// The capture-window sound format from the three list positions, and back.

#include "capture/audio_format.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrova;

TEST(AudioFormat, ListPositionsGiveTheWaveFormat) {
    struct Case {
        int bits, channels, rate;
        uint16_t wBits, nChannels;
        uint32_t nRate;
        uint16_t align;
        uint32_t perSecond;
    };
    const std::vector<Case> cases = {
        {1, 1, 3, 16, 2, 44100, 4, 176400},
        {0, 0, 0, 8, 1, 8000, 1, 8000},
        {1, 0, 1, 16, 1, 11025, 2, 22050},
        {0, 1, 2, 8, 2, 22050, 2, 44100},
        // A rate the list does not hold keeps the format's own (the 11025 Hz default).
        {1, 1, 4, 16, 2, 11025, 4, 44100},
        {1, 1, -1, 16, 2, 11025, 4, 44100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << c.channels << c.rate);
        WAVEFORMATEX format;
        ApplyAudioFormat(c.bits, c.channels, c.rate, format);
        EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(format.wBitsPerSample, c.wBits);
        EXPECT_EQ(format.nChannels, c.nChannels);
        EXPECT_EQ(format.nSamplesPerSec, c.nRate);
        EXPECT_EQ(format.nBlockAlign, c.align);
        EXPECT_EQ(format.nAvgBytesPerSec, c.perSecond);

        const AudioListPositions back = AudioPositionsOf(format);
        EXPECT_EQ(back.bits, c.bits);
        EXPECT_EQ(back.channels, c.channels);
        EXPECT_EQ(back.rate, c.rate >= 0 && c.rate <= 3 ? c.rate : 1);
    }
    WAVEFORMATEX odd;
    odd.nSamplesPerSec = 48000;
    odd.nChannels = 6;
    EXPECT_EQ(AudioPositionsOf(odd).rate, -1);
    EXPECT_EQ(AudioPositionsOf(odd).channels, 1);
}
