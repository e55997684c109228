#include "movie_reader.h"

#include "video_decoder.h"

#include <cmath>

namespace kestrova::media {

QString MovieReader::open(const QString& path) {
    QuietFfmpegLog();
    AVFormatContext* raw = nullptr;
    const int result = avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr);
    if (result < 0) return QStringLiteral("cannot open %1: %2").arg(path, AvErrorText(result));
    FormatInput input(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return QStringLiteral("%1 is damaged").arg(path);
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) return QStringLiteral("%1 has no video").arg(path);
    AVStream* video = raw->streams[stream];
    const AVCodec* codec = avcodec_find_decoder(video->codecpar->codec_id);
    if (!codec) return QStringLiteral("%1: no decoder for its video").arg(path);
    CodecContext context(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(context.get(), video->codecpar);
    context->thread_count = 1;  // frame threads would hold pictures back across a seek
    if (avcodec_open2(context.get(), codec, nullptr) < 0) return QStringLiteral("%1: cannot open its decoder").arg(path);
    // Each picture of an AVI stream is one tick of its time base.
    frameCount_ = video->nb_frames > 0 ? video->nb_frames : avformat_index_get_entries_count(video);
    if (frameCount_ <= 0) return QStringLiteral("%1 has no pictures").arg(path);
    const AVRational rate = video->avg_frame_rate.num ? video->avg_frame_rate : av_inv_q(video->time_base);
    fps_ = av_q2d(rate);
    start_ = video->start_time == AV_NOPTS_VALUE ? 0 : video->start_time;
    size_ = QSize(video->codecpar->width, video->codecpar->height);
    if (size_.isEmpty()) return QStringLiteral("%1: its video has no size").arg(path);
    stream_ = stream;
    input_ = std::move(input);
    decoder_ = std::move(context);
    last_ = -1;
    return {};
}

std::int64_t MovieReader::durationMs() const { return fps_ > 0 ? std::llround(double(frameCount_) * 1000.0 / fps_) : 0; }

bool MovieReader::seekBefore(std::int64_t n, QString& why) {
    const int result = av_seek_frame(input_.get(), stream_, start_ + n, AVSEEK_FLAG_BACKWARD);
    if (result < 0) {
        why = QStringLiteral("cannot seek: %1").arg(AvErrorText(result));
        return false;
    }
    avcodec_flush_buffers(decoder_.get());
    draining_ = false;
    last_ = -1;
    return true;
}

bool MovieReader::decodeUpTo(std::int64_t n, QString& why) {
    for (;;) {
        const int received = avcodec_receive_frame(decoder_.get(), picture_.get());
        if (received == 0) {
            const std::int64_t stamp = picture_->best_effort_timestamp;
            const std::int64_t number = stamp == AV_NOPTS_VALUE ? last_ + 1 : stamp - start_;
            // A picture before the one wanted is only decoded, never converted.
            if (number >= n) {
                if (!ConvertPicture(*picture_, size_, scaler_, current_)) {
                    av_frame_unref(picture_.get());
                    why = QStringLiteral("cannot convert the picture");
                    return false;
                }
                last_ = number;
                av_frame_unref(picture_.get());
                return true;
            }
            last_ = number;
            av_frame_unref(picture_.get());
            continue;
        }
        if (received == AVERROR_EOF) {
            why = QStringLiteral("the movie ends before picture %1").arg(n);
            return false;
        }
        if (received != AVERROR(EAGAIN)) {
            why = QStringLiteral("cannot decode: %1").arg(AvErrorText(received));
            return false;
        }
        if (draining_) {
            why = QStringLiteral("the movie ends before picture %1").arg(n);
            return false;
        }
        const int read = av_read_frame(input_.get(), packet_.get());
        if (read < 0) {
            draining_ = true;
            avcodec_send_packet(decoder_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index == stream_) {
            const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
            // A damaged packet loses its picture, not the movie.
            if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
                av_packet_unref(packet_.get());
                why = QStringLiteral("cannot decode: %1").arg(AvErrorText(sent));
                return false;
            }
        }
        av_packet_unref(packet_.get());
    }
}

QImage MovieReader::frame(std::int64_t n, QString* why) {
    QString reason;
    QImage result;
    if (!input_) {
        reason = QStringLiteral("no movie is open");
    } else if (n < 0 || n >= frameCount_) {
        reason = QStringLiteral("no picture %1 (the movie has %2)").arg(n).arg(frameCount_);
    } else if (n == last_) {
        result = current_;
    } else {
        // Going on from the current picture beats a seek when no key frame lies between.
        const AVStream* video = input_->streams[stream_];
        const int key = av_index_search_timestamp(const_cast<AVStream*>(video), start_ + n, AVSEEK_FLAG_BACKWARD);
        const AVIndexEntry* entry = key >= 0 ? avformat_index_get_entry(const_cast<AVStream*>(video), key) : nullptr;
        const std::int64_t keyFrame = entry ? entry->timestamp - start_ : 0;
        const bool forward = last_ >= 0 && n > last_ && keyFrame <= last_ && !draining_;
        if ((forward || seekBefore(n, reason)) && decodeUpTo(n, reason)) {
            if (last_ == n) result = current_;
            else reason = QStringLiteral("picture %1 is missing from the movie").arg(n);
        }
    }
    if (why) *why = reason;
    return result;
}

}  // namespace kestrova::media
