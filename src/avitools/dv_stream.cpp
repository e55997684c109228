#include "dv_stream.h"

#include "platform/media/ffmpeg_handles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>

namespace kestrova {

using namespace media;

struct DvStreamWriter::Encoder {
    AVFormatContext* format = nullptr;
    CodecContext codec;
    AVStream* stream = nullptr;
    AvFrame picture{av_frame_alloc()};
    Packet packet{av_packet_alloc()};
    Scaler scaler;
    bool pal = true;

    ~Encoder() {
        if (format) {
            avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    QString drain() {
        for (;;) {
            const int result = avcodec_receive_packet(codec.get(), packet.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return {};
            if (result < 0) return QStringLiteral("cannot encode DV: %1").arg(AvErrorText(result));
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = av_write_frame(format, packet.get());
            av_packet_unref(packet.get());
            if (written < 0 || format->pb->error < 0) return QStringLiteral("cannot write the DV file: %1").arg(AvErrorText(written < 0 ? written : format->pb->error));
        }
    }
};

DvStreamWriter::DvStreamWriter() = default;

DvStreamWriter::~DvStreamWriter() {
    encoder_.reset();
    if (!partial_.isEmpty()) QFile::remove(partial_);
}

QString DvStreamWriter::open(const QString& movie, const QString& out) {
    QuietFfmpegLog();
    if (const QString failed = reader_.open(movie); !failed.isEmpty()) return failed;
    out_ = out;
    auto encoder = std::make_unique<Encoder>();
    encoder->pal = std::abs(reader_.frameRate() - 25) <= std::abs(reader_.frameRate() - 30000.0 / 1001);
    pal_ = encoder->pal;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
    if (!codec) return QStringLiteral("this FFmpeg has no DV encoder");
    {
        QTemporaryFile partial(QFileInfo(out).absolutePath() + QStringLiteral("/.") + QFileInfo(out).fileName() + QStringLiteral(".XXXXXX"));
        partial.setAutoRemove(false);
        if (!partial.open()) return QStringLiteral("cannot write %1: %2").arg(out, partial.errorString());
        partial_ = partial.fileName();
    }
    int result = avformat_alloc_output_context2(&encoder->format, nullptr, "dv", partial_.toUtf8().constData());
    if (result < 0) return QStringLiteral("cannot make a DV file: %1").arg(AvErrorText(result));
    encoder->codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext* context = encoder->codec.get();
    context->width = 720;
    context->height = encoder->pal ? 576 : 480;
    context->pix_fmt = encoder->pal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
    context->time_base = encoder->pal ? AVRational{1, 25} : AVRational{1001, 30000};
    context->framerate = av_inv_q(context->time_base);
    context->sample_aspect_ratio = encoder->pal ? AVRational{16, 15} : AVRational{8, 9};
    result = avcodec_open2(context, codec, nullptr);
    if (result < 0) return QStringLiteral("cannot open the DV encoder: %1").arg(AvErrorText(result));
    encoder->stream = avformat_new_stream(encoder->format, nullptr);
    avcodec_parameters_from_context(encoder->stream->codecpar, context);
    encoder->stream->time_base = context->time_base;
    result = avio_open(&encoder->format->pb, partial_.toUtf8().constData(), AVIO_FLAG_WRITE);
    if (result < 0) return QStringLiteral("cannot write %1: %2").arg(out, AvErrorText(result));
    result = avformat_write_header(encoder->format, nullptr);
    if (result < 0) return QStringLiteral("cannot write the DV file: %1").arg(AvErrorText(result));
    encoder->picture->format = context->pix_fmt;
    encoder->picture->width = context->width;
    encoder->picture->height = context->height;
    if (av_frame_get_buffer(encoder->picture.get(), 0) < 0) return QStringLiteral("out of memory");
    encoder_ = std::move(encoder);
    return {};
}

bool DvStreamWriter::step() {
    if (!encoder_ || !failure_.isEmpty() || next_ >= reader_.frameCount()) return false;
    QString why;
    const QImage frame = reader_.frame(next_, &why);
    if (frame.isNull()) {
        failure_ = QStringLiteral("picture %1 of the movie cannot be read: %2").arg(next_).arg(why);
        return false;
    }
    Encoder& e = *encoder_;
    e.scaler.reset(sws_getCachedContext(e.scaler.release(), frame.width(), frame.height(), AV_PIX_FMT_BGR24, e.picture->width,
                                        e.picture->height, AVPixelFormat(e.picture->format), SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!e.scaler || av_frame_make_writable(e.picture.get()) < 0) {
        failure_ = QStringLiteral("cannot convert the picture");
        return false;
    }
    const uint8_t* source[1] = {frame.constBits()};
    const int stride[1] = {int(frame.bytesPerLine())};
    sws_scale(e.scaler.get(), source, stride, 0, frame.height(), e.picture->data, e.picture->linesize);
    e.picture->pts = next_;
    const int sent = avcodec_send_frame(e.codec.get(), e.picture.get());
    failure_ = sent < 0 ? QStringLiteral("cannot encode DV: %1").arg(AvErrorText(sent)) : e.drain();
    if (!failure_.isEmpty()) return false;
    ++next_;
    return true;
}

QString DvStreamWriter::finish() {
    if (!encoder_) return failure_.isEmpty() ? QStringLiteral("nothing is open") : failure_;
    if (failure_.isEmpty() && next_ < reader_.frameCount()) failure_ = QStringLiteral("the movie is not written whole");
    if (failure_.isEmpty()) {
        avcodec_send_frame(encoder_->codec.get(), nullptr);
        failure_ = encoder_->drain();
    }
    if (failure_.isEmpty()) {
        const int result = av_write_trailer(encoder_->format);
        if (result < 0) failure_ = QStringLiteral("cannot finish the DV file: %1").arg(AvErrorText(result));
    }
    encoder_.reset();  // closes the file
    if (failure_.isEmpty()) {
        QFile::remove(out_);
        if (!QFile::rename(partial_, out_)) failure_ = QStringLiteral("cannot write %1").arg(out_);
    }
    if (!failure_.isEmpty()) QFile::remove(partial_);
    partial_.clear();
    return failure_;
}

}  // namespace kestrova
