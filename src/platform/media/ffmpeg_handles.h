#pragma once
// Owners of FFmpeg handles, so that no error path has to remember which ones to free.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswscale/swscale.h>
}

#include <QString>

#include <memory>

namespace kestrova::media {

struct FormatInputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct AvFrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct SwsDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct AvioDeleter {
    void operator()(AVIOContext* context) const { avio_closep(&context); }
};

using FormatInput = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using AvFrame = std::unique_ptr<AVFrame, AvFrameDeleter>;
using Scaler = std::unique_ptr<SwsContext, SwsDeleter>;
using Avio = std::unique_ptr<AVIOContext, AvioDeleter>;

// Options handed to an FFmpeg open call; whatever the call leaves in it is freed here.
class Options {
public:
    Options() = default;
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ~Options() { av_dict_free(&dictionary_); }
    void set(const char* key, const QString& value) { av_dict_set(&dictionary_, key, value.toUtf8().constData(), 0); }
    AVDictionary** get() { return &dictionary_; }

private:
    AVDictionary* dictionary_ = nullptr;
};

// FFmpeg's text for an error code.
QString AvErrorText(int code);

// Keeps FFmpeg's own log off standard error once; reasons reach the user through our own messages.
void QuietFfmpegLog();

}  // namespace kestrova::media
