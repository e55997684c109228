#pragma once
// The video stream of an opened libavformat input, decoded, converted and (for files and generated
// inputs) paced to real time. Shared by the FFmpeg sources and the IP camera's MJPEG stream.

#include "ffmpeg_handles.h"
#include "source.h"
#include "video_decoder.h"

namespace kestrova::media {

// Opens `url` with the interrupt installed and a dictionary of options. Empty on success.
QString OpenInput(FormatInput& input, const QString& url, const AVInputFormat* format, Options& options,
                  Interrupt& interrupt, AVIOContext* io = nullptr, int flags = 0);

// Why an input would not open, from libavformat's status: a device the user may not open names the
// group that may.
QString OpenFailureText(int status, const QString& url);

class DemuxedVideo {
public:
    explicit DemuxedVideo(Interrupt& interrupt) : interrupt_(interrupt) {}

    // Takes an opened input; finds its video stream and opens the decoder. Empty on success.
    QString start(FormatInput input, QSize wanted, bool realTime);
    ReadStatus read(Frame& frame, QString& reason);
    QSize size() const { return size_; }

private:
    bool waitUntilDue(double seconds);

    Interrupt& interrupt_;
    FormatInput input_;
    int stream_ = -1;
    VideoDecoder decoder_;
    Packet packet_;
    QSize wanted_;
    QSize size_;
    bool realTime_ = false;
    bool draining_ = false;
    bool keepJpeg_ = false;  // MJPEG delivered at its own size
    std::shared_ptr<const QByteArray> jpeg_;  // of the packet last sent to the decoder
    bool anchored_ = false;
    double anchorSeconds_ = 0;
    Interrupt::Clock::time_point anchorTime_{};
};

}  // namespace kestrova::media
