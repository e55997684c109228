#include "video_decoder.h"

#include <cmath>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace kestrova::media {

QString AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

void QuietFfmpegLog() {
    static const bool once = [] {
        av_log_set_level(qEnvironmentVariableIsSet("KESTROVA_FFMPEG_LOG") ? AV_LOG_INFO : AV_LOG_QUIET);
        return true;
    }();
    (void)once;
}

namespace {
QString openContext(CodecContext& context, AvFrame& picture, const AVCodec* codec, const AVCodecParameters* parameters) {
    if (!codec) return QStringLiteral("no decoder for this video");
    context.reset(avcodec_alloc_context3(codec));
    if (!context) return QStringLiteral("out of memory");
    if (parameters && avcodec_parameters_to_context(context.get(), parameters) < 0) {
        return QStringLiteral("bad video parameters");
    }
    // MJPEG pictures are small and independent: threads cost more in hand-overs than they save.
    context->thread_count = codec->id == AV_CODEC_ID_MJPEG ? 1 : 0;
    if (const int status = avcodec_open2(context.get(), codec, nullptr); status < 0) {
        return QStringLiteral("cannot open the %1 decoder: %2").arg(QString::fromLatin1(codec->name), AvErrorText(status));
    }
    picture.reset(av_frame_alloc());
    return {};
}
}  // namespace

QString VideoDecoder::open(const AVCodecParameters& parameters) {
    return openContext(context_, picture_, avcodec_find_decoder(parameters.codec_id), &parameters);
}

QString VideoDecoder::open(AVCodecID codec) { return openContext(context_, picture_, avcodec_find_decoder(codec), nullptr); }

int VideoDecoder::send(const AVPacket* packet) {
    const int status = avcodec_send_packet(context_.get(), packet);
    // A damaged packet costs one picture, not the stream.
    return status == AVERROR_INVALIDDATA ? 0 : status;
}

int VideoDecoder::receive(Frame& out, QSize wanted, double& seconds) {
    const int status = avcodec_receive_frame(context_.get(), picture_.get());
    if (status < 0) return status;
    const int64_t stamp = picture_->best_effort_timestamp;
    seconds = stamp == AV_NOPTS_VALUE || timeBase_.num == 0 ? std::nan("") : double(stamp) * av_q2d(timeBase_);
    if (picture_->width <= 0 || picture_->height <= 0) {
        av_frame_unref(picture_.get());
        return AVERROR(EAGAIN);
    }
    out = Frame::fromDecoded(picture_.get(), wanted.isEmpty() ? QSize(picture_->width, picture_->height) : wanted);
    return 0;
}

bool ConvertPicture(const AVFrame& picture, QSize size, Scaler& scaler, QImage& out) {
    if (picture.width <= 0 || picture.height <= 0 || size.isEmpty()) return false;
    SwsContext* context = sws_getCachedContext(scaler.release(), picture.width, picture.height, AVPixelFormat(picture.format),
                                               size.width(), size.height(), AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr,
                                               nullptr);
    scaler.reset(context);
    if (!context) return false;
    out = NewFrameImage(size.width(), size.height());
    uint8_t* planes[4] = {out.bits(), nullptr, nullptr, nullptr};
    int strides[4] = {int(out.bytesPerLine()), 0, 0, 0};
    sws_scale(context, picture.data, picture.linesize, 0, picture.height, planes, strides);
    return true;
}

}  // namespace kestrova::media
