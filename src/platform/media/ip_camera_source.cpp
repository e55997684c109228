// An IP camera over HTTP: an MJPEG stream (multipart/x-mixed-replace) played as it comes, or a JPEG
// snapshot URL fetched again at the poll rate. The reply's content type tells them apart; where a
// camera sends none or a generic one (application/octet-stream, text/plain), the first bytes do: a
// boundary line begins a stream, FF D8 a JPEG picture.

#include "demuxed_video.h"
#include "sources.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace kestrova::media {

namespace {

// A snapshot, or one part of a stream, larger than this is not a picture.
constexpr int MaxPictureBytes = 32 * 1024 * 1024;

enum class Reply { Stream, Picture, Unknown };

Reply KindOfReply(const QString& contentType, const QByteArray& start) {
    if (contentType.startsWith(QLatin1String("multipart/"))) return Reply::Stream;
    if (contentType.startsWith(QLatin1String("image/"))) return Reply::Picture;
    const QByteArray first = start.trimmed();
    if (first.startsWith("--")) return Reply::Stream;
    if (first.startsWith("\xFF\xD8") || first.startsWith("\x89PNG")) return Reply::Picture;
    return Reply::Unknown;
}

class IpCameraSource final : public Source {
public:
    IpCameraSource(const SourceSettings& settings, Interrupt& interrupt) : settings_(settings), interrupt_(interrupt) {}

    QString open() override {
        QString contentType;
        if (QString reason = connect(contentType); !reason.isEmpty()) return reason;
        // What the reply begins with, for a camera that does not name its content; avio keeps the
        // bytes for the reader after this look.
        QByteArray start(16, '\0');
        const int peeked = contentType.startsWith(QLatin1String("multipart/")) || contentType.startsWith(QLatin1String("image/"))
                               ? 0
                               : peek(start);
        start.truncate(std::max(0, peeked));
        switch (KindOfReply(contentType, start)) {
        case Reply::Stream: {
            stream_ = std::make_unique<DemuxedVideo>(interrupt_);
            FormatInput input;
            Options options;
            if (QString reason = OpenInput(input, settings_.address, av_find_input_format("mpjpeg"), options, interrupt_, io_.get(),
                                           AVFMT_FLAG_CUSTOM_IO);
                !reason.isEmpty()) {
                return why(reason);
            }
            return why(stream_->start(std::move(input), settings_.size, false));
        }
        case Reply::Picture:
            pollCodec_ = contentType.startsWith(QLatin1String("image/png")) || start.startsWith("\x89PNG") ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG;
            if (QString reason = fetchSnapshot(); !reason.isEmpty()) return reason;
            nextPoll_ = Interrupt::Clock::now();
            return {};
        case Reply::Unknown:
            break;
        }
        return QStringLiteral("the camera sent \"%1\", neither an MJPEG stream nor a picture")
            .arg(contentType.isEmpty() ? QStringLiteral("no content type") : contentType);
    }

    ReadStatus read(Frame& frame, QString& reason) override {
        if (stream_) {
            const ReadStatus status = stream_->read(frame, reason);
            if (status != ReadStatus::Frame) reason = why(reason);
            partStart_ = io_ ? io_->bytes_read : 0;
            return status;
        }
        if (pending_.isValid()) {
            frame = std::move(pending_);
            pending_ = Frame();
        } else {
            nextPoll_ += std::chrono::duration_cast<Interrupt::Clock::duration>(std::chrono::duration<double>(1.0 / std::max(0.1, settings_.pollRate)));
            const auto now = Interrupt::Clock::now();
            if (nextPoll_ < now) nextPoll_ = now;
            if (!interrupt_.sleepUntil(nextPoll_)) {
                reason = QStringLiteral("closed");
                return ReadStatus::Failed;
            }
            interrupt_.arm(settings_.readTimeout);
            QString contentType;
            reason = connect(contentType);
            if (reason.isEmpty()) reason = fetchSnapshot();
            if (!reason.isEmpty()) return ReadStatus::Failed;
            frame = std::move(pending_);
            pending_ = Frame();
        }
        frame.taken = Interrupt::Clock::now();
        return ReadStatus::Frame;
    }

    QSize size() const override { return stream_ ? stream_->size() : size_; }

private:
    QString connect(QString& contentType) {
        static const bool initialised = [] {
            avformat_network_init();
            return true;
        }();
        (void)initialised;
        QuietFfmpegLog();
        io_.reset();
        partStart_ = 0;
        tooLarge_ = false;
        // The interrupt, and the end of a stream's part that grows past the limit (a camera that
        // announces a part of gigabytes would otherwise get the memory for it).
        AVIOInterruptCB callback{};
        callback.opaque = this;
        callback.callback = [](void* opaque) {
            auto* self = static_cast<IpCameraSource*>(opaque);
            if (self->stream_ && self->io_ && self->io_->bytes_read - self->partStart_ > MaxPictureBytes) self->tooLarge_ = true;
            return self->interrupt_.expired() || self->tooLarge_ ? 1 : 0;
        };
        Options options;
        const QString timeout = QString::number(qint64(settings_.readTimeout.count()) * 1000);
        options.set("rw_timeout", timeout);
        options.set("timeout", timeout);
        AVIOContext* io = nullptr;
        const int status = avio_open2(&io, settings_.address.toUtf8().constData(), AVIO_FLAG_READ, &callback, options.get());
        if (status < 0) {
            if (interrupt_.stopRequested()) return QStringLiteral("closed");
            return interrupt_.expired() ? QStringLiteral("no answer in time") : AvErrorText(status);
        }
        io_.reset(io);
        uint8_t* type = nullptr;
        if (av_opt_get(io, "mime_type", AV_OPT_SEARCH_CHILDREN, &type) >= 0 && type) {
            contentType = QString::fromLatin1(reinterpret_cast<const char*>(type)).trimmed().toLower();
        }
        av_free(type);
        return {};
    }

    // Reads the whole reply of the open connection and decodes it into pending_.
    QString fetchSnapshot() {
        QByteArray body;
        uint8_t chunk[64 * 1024];
        for (;;) {
            const int got = avio_read(io_.get(), chunk, sizeof chunk);
            if (got == AVERROR_EOF || got == 0) break;
            if (got < 0) {
                io_.reset();
                return interrupt_.expired() ? QStringLiteral("no answer in time") : AvErrorText(got);
            }
            body.append(reinterpret_cast<const char*>(chunk), got);
            if (body.size() > MaxPictureBytes) return QStringLiteral("the picture is larger than 32 MB");
        }
        io_.reset();
        // A fresh decoder per picture: one packet in, drained, nothing left behind for the next poll.
        VideoDecoder decoder;
        if (QString reason = decoder.open(pollCodec_); !reason.isEmpty()) return reason;
        Packet packet(av_packet_alloc());
        if (av_new_packet(packet.get(), int(body.size())) < 0) return QStringLiteral("out of memory");
        std::copy(body.cbegin(), body.cend(), packet->data);
        double seconds = 0;
        if (decoder.send(packet.get()) < 0 || decoder.send(nullptr) < 0 || decoder.receive(pending_, settings_.size, seconds) != 0) {
            return QStringLiteral("the camera's picture cannot be read");
        }
        size_ = pending_.size();
        return {};
    }

    // Reads the reply's first bytes without taking them from the reader: they are still in avio's
    // buffer, so the seek back goes nowhere near the server.
    int peek(QByteArray& into) {
        const int got = avio_read(io_.get(), reinterpret_cast<unsigned char*>(into.data()), int(into.size()));
        return avio_seek(io_.get(), 0, SEEK_SET) == 0 ? got : 0;
    }

    // The reason a read failed, naming a part that outgrew the limit.
    QString why(const QString& reason) const {
        return tooLarge_ && !reason.isEmpty() ? QStringLiteral("an MJPEG part is larger than 32 MB") : reason;
    }

    SourceSettings settings_;
    Interrupt& interrupt_;
    Avio io_;
    std::int64_t partStart_ = 0;  // the stream's bytes read when its last picture was complete
    bool tooLarge_ = false;
    std::unique_ptr<DemuxedVideo> stream_;  // declared after io_: the stream's input uses io_ and goes first
    AVCodecID pollCodec_ = AV_CODEC_ID_MJPEG;
    Frame pending_;
    QSize size_;
    Interrupt::Clock::time_point nextPoll_{};
};

}  // namespace

std::unique_ptr<Source> NewIpCameraSource(const SourceSettings& settings, Interrupt& interrupt) {
    return std::make_unique<IpCameraSource>(settings, interrupt);
}

}  // namespace kestrova::media
