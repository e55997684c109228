// An IP camera over HTTP: an MJPEG stream (multipart/x-mixed-replace) played as it comes, or a JPEG
// snapshot URL fetched again at the poll rate. The reply's content type tells them apart.

#include "demuxed_video.h"
#include "sources.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace kestrova::media {

namespace {

// A snapshot larger than this is not a picture.
constexpr int MaxSnapshotBytes = 32 * 1024 * 1024;

class IpCameraSource final : public Source {
public:
    IpCameraSource(const SourceSettings& settings, Interrupt& interrupt) : settings_(settings), interrupt_(interrupt) {}

    QString open() override {
        QString contentType;
        if (QString reason = connect(contentType); !reason.isEmpty()) return reason;
        if (contentType.startsWith(QLatin1String("multipart/"))) {
            stream_ = std::make_unique<DemuxedVideo>(interrupt_);
            FormatInput input;
            Options options;
            if (QString reason = OpenInput(input, settings_.address, av_find_input_format("mpjpeg"), options, interrupt_, io_.get(),
                                           AVFMT_FLAG_CUSTOM_IO);
                !reason.isEmpty()) {
                return reason;
            }
            return stream_->start(std::move(input), settings_.size, false);
        }
        if (contentType.startsWith(QLatin1String("image/"))) {
            pollCodec_ = contentType.startsWith(QLatin1String("image/png")) ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG;
            if (QString reason = fetchSnapshot(); !reason.isEmpty()) return reason;
            nextPoll_ = Interrupt::Clock::now();
            return {};
        }
        return QStringLiteral("the camera sent \"%1\", neither an MJPEG stream nor a picture")
            .arg(contentType.isEmpty() ? QStringLiteral("no content type") : contentType);
    }

    ReadStatus read(Frame& frame, QString& reason) override {
        if (stream_) return stream_->read(frame, reason);
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
        AVIOInterruptCB callback{};
        interrupt_.install(callback);
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
            if (body.size() > MaxSnapshotBytes) return QStringLiteral("the picture is too large");
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

    SourceSettings settings_;
    Interrupt& interrupt_;
    Avio io_;
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
