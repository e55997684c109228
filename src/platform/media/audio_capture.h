#pragma once
// Sound from an audio input (PulseAudio, ALSA, or any libavdevice input) on its own thread, as 16-bit
// interleaved samples in a buffer the recorder empties. The buffer keeps the newest few seconds, so
// a consumer that stalls never makes it grow.

#include "devices.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace kestrova::media {

class AudioCapture {
public:
    // The sound comes out at `rate` with `channels` (1 or 2); 0 keeps the input's own.
    explicit AudioCapture(AudioDevice device, int rate = 0, int channels = 0);
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Opens the input and starts reading; empty on success, else the reason.
    QString open();
    int sampleRate() const;
    int channels() const;
    // Every sample read since the last call, channels interleaved.
    std::vector<std::int16_t> take();
    // Why reading stopped (the device was lost); empty while it runs.
    QString failure() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace kestrova::media
