#include "demuxed_video.h"

#include <cerrno>
#include <cmath>

namespace kestrova::media {

QString OpenInput(FormatInput& input, const QString& url, const AVInputFormat* format, Options& options,
                  Interrupt& interrupt, AVIOContext* io, int flags) {
    QuietFfmpegLog();
    AVFormatContext* context = avformat_alloc_context();
    if (!context) return QStringLiteral("out of memory");
    interrupt.install(context->interrupt_callback);
    context->flags |= flags;
    context->pb = io;
    // avformat_open_input frees the context when it fails.
    const int status = avformat_open_input(&context, url.toUtf8().constData(), format, options.get());
    if (status < 0) {
        if (interrupt.stopRequested()) return QStringLiteral("closed");
        if (status == AVERROR_EXIT || interrupt.expired()) return QStringLiteral("no answer in time");
        return OpenFailureText(status, url);
    }
    input.reset(context);
    return {};
}

QString OpenFailureText(int status, const QString& url) {
    if (status == AVERROR(EACCES) && url.startsWith(QLatin1String("/dev/video"))) {
        return QStringLiteral("%1: permission denied; cameras belong to the \"video\" group: add yourself to it "
                              "(sudo usermod -aG video $USER) and log in again")
            .arg(url);
    }
    return AvErrorText(status);
}

QString DemuxedVideo::start(FormatInput input, QSize wanted, bool realTime) {
    input_ = std::move(input);
    wanted_ = wanted;
    realTime_ = realTime;
    if (const int status = avformat_find_stream_info(input_.get(), nullptr); status < 0) {
        return interrupt_.expired() ? QStringLiteral("no answer in time") : AvErrorText(status);
    }
    stream_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream_ < 0) return QStringLiteral("no video in this source");
    const AVStream* stream = input_->streams[stream_];
    for (unsigned i = 0; i < input_->nb_streams; ++i) {
        if (int(i) != stream_) input_->streams[i]->discard = AVDISCARD_ALL;
    }
    if (QString reason = decoder_.open(*stream->codecpar); !reason.isEmpty()) return reason;
    decoder_.setTimeBase(stream->time_base);
    packet_.reset(av_packet_alloc());
    const QSize native(stream->codecpar->width, stream->codecpar->height);
    size_ = wanted.isEmpty() ? native : wanted;
    keepJpeg_ = stream->codecpar->codec_id == AV_CODEC_ID_MJPEG && size_ == native;
    if (!size_.isEmpty()) return {};
    // A first picture that does not decode leaves the stream without a size.
    return stream->codecpar->codec_id == AV_CODEC_ID_MJPEG ? QStringLiteral("a corrupt MJPEG frame: the picture cannot be decoded")
                                                            : QStringLiteral("the video has no picture size");
}

bool DemuxedVideo::waitUntilDue(double seconds) {
    if (!realTime_ || std::isnan(seconds)) return true;
    const auto now = Interrupt::Clock::now();
    const auto due = anchorTime_ + std::chrono::duration_cast<Interrupt::Clock::duration>(
                                       std::chrono::duration<double>(seconds - anchorSeconds_));
    // A first picture, a jump in the time stamps or a stall of more than a second starts the clock anew.
    if (!anchored_ || due < now - std::chrono::seconds(1) || due > now + std::chrono::seconds(5)) {
        anchored_ = true;
        anchorSeconds_ = seconds;
        anchorTime_ = now;
        return true;
    }
    return interrupt_.sleepUntil(due);
}

ReadStatus DemuxedVideo::read(Frame& frame, QString& reason) {
    for (;;) {
        double seconds = 0;
        const int received = decoder_.receive(frame, wanted_, seconds);
        if (received == 0) {
            if (wanted_.isEmpty()) size_ = frame.size();
            // An intra-only decoder gives back the picture of the packet just sent.
            frame.jpeg = std::move(jpeg_);
            if (!waitUntilDue(seconds)) {
                reason = QStringLiteral("closed");
                return ReadStatus::Failed;
            }
            frame.taken = Interrupt::Clock::now();
            return ReadStatus::Frame;
        }
        if (received == AVERROR_EOF) {
            reason = QStringLiteral("the stream ended");
            return ReadStatus::Ended;
        }
        if (received != AVERROR(EAGAIN)) {
            reason = AvErrorText(received);
            return ReadStatus::Failed;
        }
        if (draining_) {
            reason = QStringLiteral("the stream ended");
            return ReadStatus::Ended;
        }
        const int status = av_read_frame(input_.get(), packet_.get());
        if (status == AVERROR(EAGAIN)) {
            // A non-blocking device has nothing yet: wait a little, within the read deadline.
            if (interrupt_.expired() || !interrupt_.sleepUntil(Interrupt::Clock::now() + std::chrono::milliseconds(5))) {
                reason = interrupt_.stopRequested() ? QStringLiteral("closed") : QStringLiteral("no picture in time");
                return ReadStatus::Failed;
            }
            continue;
        }
        if (status == AVERROR_EOF) {
            draining_ = true;
            decoder_.send(nullptr);
            continue;
        }
        if (status < 0) {
            reason = interrupt_.stopRequested() ? QStringLiteral("closed")
                     : interrupt_.expired()     ? QStringLiteral("no picture in time")
                                                : AvErrorText(status);
            return ReadStatus::Failed;
        }
        int sent = 0;
        if (packet_->stream_index == stream_) {
            if (keepJpeg_) jpeg_ = std::make_shared<const QByteArray>(reinterpret_cast<const char*>(packet_->data), packet_->size);
            sent = decoder_.send(packet_.get());
        }
        av_packet_unref(packet_.get());
        if (sent < 0 && sent != AVERROR(EAGAIN)) {
            reason = AvErrorText(sent);
            return ReadStatus::Failed;
        }
    }
}

}  // namespace kestrova::media
