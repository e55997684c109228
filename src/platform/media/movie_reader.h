#pragma once
// The pictures of a movie file by frame number, for the movie viewer and frame extraction. A seek
// lands on the exact frame asked for: it decodes from the key frame before it, and a step forward
// goes on decoding from where the last picture left off.

#include "ffmpeg_handles.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

namespace kestrova::media {

class MovieReader {
public:
    // Empty on success, else the reason (no such file, no video stream, no decoder).
    QString open(const QString& path);
    bool isOpen() const { return input_ != nullptr; }

    std::int64_t frameCount() const { return frameCount_; }
    double frameRate() const { return fps_; }
    QSize size() const { return size_; }
    std::int64_t durationMs() const;

    // Picture n (0 is the first) as 24-bit BGR, top row first; null when the file cannot give it,
    // with the reason in `why`.
    QImage frame(std::int64_t n, QString* why = nullptr);

private:
    // Decodes on until picture n is out; false at the end of the file or on an error.
    bool decodeUpTo(std::int64_t n, QString& why);
    bool seekBefore(std::int64_t n, QString& why);

    FormatInput input_;
    CodecContext decoder_;
    AvFrame picture_{av_frame_alloc()};
    Packet packet_{av_packet_alloc()};
    Scaler scaler_;
    int stream_ = -1;
    std::int64_t start_ = 0;  // the stream's first time stamp
    std::int64_t frameCount_ = 0;
    double fps_ = 0;
    QSize size_;
    std::int64_t last_ = -1;  // the number of the picture in `current_`; -1 after a seek
    QImage current_;
    bool draining_ = false;
};

}  // namespace kestrova::media
