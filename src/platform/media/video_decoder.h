#pragma once
// Decodes the packets of one video stream and converts each picture to the frame format.

#include "ffmpeg_handles.h"
#include "frame.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace kestrova::media {

class VideoDecoder {
public:
    // Empty on success, else the reason.
    QString open(const AVCodecParameters& parameters);
    QString open(AVCodecID codec);

    // Sends one packet; nullptr starts draining. Negative FFmpeg code on a hard error.
    int send(const AVPacket* packet);
    // The next decoded picture as a frame converted to `wanted` (empty: the picture's own size), and its
    // time in seconds (NaN when unknown). 0 with `out` set, AVERROR(EAGAIN) when more packets are
    // needed, AVERROR_EOF when drained.
    int receive(Frame& out, QSize wanted, double& seconds);
    void setTimeBase(AVRational timeBase) { timeBase_ = timeBase; }

private:
    AVRational timeBase_{0, 1};
    CodecContext context_;
    AvFrame picture_;
};

// Converts one decoded picture to the frame format at `size`, reusing `scaler` between calls.
bool ConvertPicture(const AVFrame& picture, QSize size, Scaler& scaler, QImage& out);

}  // namespace kestrova::media
