// V4L2 devices (opened non-blocking at the chosen format, size and rate), FFmpeg filter graphs and
// network streams or files, all read through libavformat.

#include "demuxed_video.h"
#include "sources.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace kestrova::media {

namespace {

class FfmpegSource final : public Source {
public:
    FfmpegSource(const SourceSettings& settings, Interrupt& interrupt) : settings_(settings), interrupt_(interrupt), video_(interrupt) {}

    QString open() override {
        static const bool registered = [] {
            avdevice_register_all();
            avformat_network_init();
            return true;
        }();
        (void)registered;
        Options options;
        const AVInputFormat* format = nullptr;
        int flags = 0;
        const bool camera = settings_.kind == QLatin1String(KindCamera);
        if (camera) {
            format = av_find_input_format("video4linux2");
            flags = AVFMT_FLAG_NONBLOCK;
            if (!settings_.size.isEmpty()) options.set("video_size", QStringLiteral("%1x%2").arg(settings_.size.width()).arg(settings_.size.height()));
            if (settings_.fps > 0) options.set("framerate", QString::number(settings_.fps));
            if (!settings_.pixelFormat.isEmpty()) options.set("input_format", settings_.pixelFormat);
            if (settings_.input >= 0) options.set("channel", QString::number(settings_.input));
        } else if (settings_.kind == QLatin1String(KindLavfi)) {
            format = av_find_input_format("lavfi");
        } else {
            const QString timeout = QString::number(qint64(settings_.readTimeout.count()) * 1000);
            options.set("rw_timeout", timeout);
            options.set("timeout", timeout);
        }
        if (!format && settings_.kind != QLatin1String(KindStream)) return QStringLiteral("this FFmpeg has no input for %1").arg(settings_.kind);
        FormatInput input;
        if (QString reason = OpenInput(input, settings_.address, format, options, interrupt_, nullptr, flags); !reason.isEmpty()) {
            return reason;
        }
        // A camera keeps its own pace; the driver already scales. Files and graphs play in real time.
        return video_.start(std::move(input), camera ? QSize() : settings_.size, !camera);
    }

    ReadStatus read(Frame& frame, QString& reason) override { return video_.read(frame, reason); }
    QSize size() const override { return video_.size(); }

private:
    SourceSettings settings_;
    Interrupt& interrupt_;
    DemuxedVideo video_;
};

}  // namespace

std::unique_ptr<Source> NewFfmpegSource(const SourceSettings& settings, Interrupt& interrupt) {
    return std::make_unique<FfmpegSource>(settings, interrupt);
}

}  // namespace kestrova::media
