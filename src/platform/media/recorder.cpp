#include "recorder.h"

#include "audio_capture.h"
#include "engine_threads.h"
#include "ffmpeg_handles.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <QStringList>

#include <libyuv/convert.h>

#include <cmath>
#include <cstring>
#include <thread>

#include <pthread.h>

namespace kestrova::media {

namespace {

// A source that stalls longer than this is not bridged with repeated frames.
constexpr std::int64_t MaxRepeatedFrames = 60;

struct CompressorSetup {
    const char* key;
    const char* name;
    const char* encoder;
    AVPixelFormat format;
};

constexpr CompressorSetup Setups[] = {
    {"mjpeg", "MJPEG Compressor", "mjpeg", AV_PIX_FMT_YUVJ420P},
    {"bgr24", "Uncompressed (24-bit BGR)", "rawvideo", AV_PIX_FMT_BGR24},
    {"mpeg4", "MPEG-4 Video", "mpeg4", AV_PIX_FMT_YUV420P},
    {"ffv1", "FFV1 (lossless)", "ffv1", AV_PIX_FMT_BGR0},
    {"h264", "H.264", "libx264", AV_PIX_FMT_YUV420P},
};

const CompressorSetup* setupOf(const VideoCompressor& compressor) {
    for (const CompressorSetup& setup : Setups) {
        if (compressor.key == QLatin1String(setup.key)) return &setup;
    }
    return nullptr;
}

// BGR straight into the encoder's 4:2:0 picture of the same size; false for anything else.
bool ConvertWithLibyuv(const QImage& image, AVFrame& picture) {
    if (image.width() != picture.width || image.height() != picture.height) return false;
    const auto convert = picture.format == AV_PIX_FMT_YUVJ420P ? &libyuv::RGB24ToJ420
                         : picture.format == AV_PIX_FMT_YUV420P ? &libyuv::RGB24ToI420
                                                                : nullptr;
    return convert && convert(image.constBits(), int(image.bytesPerLine()), picture.data[0], picture.linesize[0], picture.data[1],
                              picture.linesize[1], picture.data[2], picture.linesize[2], picture.width, picture.height) == 0;
}

}  // namespace

const std::vector<VideoCompressor>& VideoCompressors() {
    static const std::vector<VideoCompressor> list = [] {
        std::vector<VideoCompressor> found;
        for (const CompressorSetup& setup : Setups) {
            if (avcodec_find_encoder_by_name(setup.encoder)) {
                found.push_back({QString::fromLatin1(setup.name), QString::fromLatin1(setup.key), QString::fromLatin1(setup.encoder)});
            }
        }
        return found;
    }();
    return list;
}

int VideoCompressorByKey(const QString& key) {
    const auto& list = VideoCompressors();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].key == key) return int(i);
    }
    return -1;
}

QStringList AudioCompressors() { return {QStringLiteral("PCM")}; }

struct Recorder::Thread {
    std::thread thread;
};

struct Recorder::Muxer {
    AVFormatContext* format = nullptr;
    bool ownsIo = false;
    CodecContext video;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AvFrame picture;  // the encoder's input, reused
    Scaler scaler;
    Packet packet{av_packet_alloc()};
    bool haveLast = false;
    std::shared_ptr<const QByteArray> lastJpeg;  // the last picture, when it was copied
    std::unique_ptr<AudioCapture> capture;  // the audio input; none for the Test Tone
    std::vector<std::int16_t> pending;      // its samples not yet written
    std::int64_t nextSlot = 0;
    std::int64_t nextSample = 0;
    std::int64_t videoPackets = 0;  // video packets that reached the file whole

    ~Muxer() {
        if (format) {
            if (ownsIo) avio_closep(&format->pb);
            else if (format->pb) {
                av_freep(&format->pb->buffer);
                avio_context_free(&format->pb);
            }
            avformat_free_context(format);
        }
    }

    // Empty on success. The packets come already interleaved (each slot's picture, then its sound),
    // and each goes to the file at once: a full disk or a killed process loses at most the packet
    // being written, and the count of pictures is what the file holds.
    QString write(AVPacket* out) {
        const bool video = out->stream_index == videoStream->index;
        const int result = av_write_frame(format, out);
        if (result < 0) return QStringLiteral("cannot write the movie: %1").arg(AvErrorText(result));
        avio_flush(format->pb);
        if (format->pb->error < 0) return QStringLiteral("cannot write the movie: %1").arg(AvErrorText(format->pb->error));
        if (video) ++videoPackets;
        return {};
    }

    QString drainVideo() {
        for (;;) {
            const int result = avcodec_receive_packet(video.get(), packet.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return {};
            if (result < 0) return QStringLiteral("cannot encode: %1").arg(AvErrorText(result));
            av_packet_rescale_ts(packet.get(), video->time_base, videoStream->time_base);
            packet->stream_index = videoStream->index;
            const QString failed = write(packet.get());
            if (!failed.isEmpty()) return failed;
        }
    }

    QString encode(const AVFrame* frame) {
        const int result = avcodec_send_frame(video.get(), frame);
        if (result < 0) return QStringLiteral("cannot encode: %1").arg(AvErrorText(result));
        return drainVideo();
    }

    // A picture into the encoder's input.
    QString convert(const QImage& image) {
        if (av_frame_make_writable(picture.get()) < 0) return QStringLiteral("out of memory");
        if (ConvertWithLibyuv(image, *picture)) return {};
        scaler.reset(sws_getCachedContext(scaler.release(), image.width(), image.height(), AV_PIX_FMT_BGR24, picture->width,
                                          picture->height, AVPixelFormat(picture->format), SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!scaler) return QStringLiteral("cannot convert the picture");
        const uint8_t* source[1] = {image.constBits()};
        const int stride[1] = {int(image.bytesPerLine())};
        sws_scale(scaler.get(), source, stride, 0, image.height(), picture->data, picture->linesize);
        return {};
    }

    QString copy(const QByteArray& jpeg, std::int64_t slot) {
        Packet out(av_packet_alloc());
        if (av_new_packet(out.get(), int(jpeg.size())) < 0) return QStringLiteral("out of memory");
        std::memcpy(out->data, jpeg.constData(), size_t(jpeg.size()));
        out->pts = out->dts = slot;
        out->duration = 1;
        out->flags |= AV_PKT_FLAG_KEY;
        out->stream_index = videoStream->index;
        av_packet_rescale_ts(out.get(), video->time_base, videoStream->time_base);
        return write(out.get());
    }

    // Sound up to `untilSample`, so that audio and video leave the muxer side by side. The Test Tone
    // is made to measure; an input's samples are written as they come, and where its clock drifts
    // from the video by more than a frame, silence fills in or the oldest samples go.
    QString sound(std::int64_t untilSample, std::int64_t frameSamples) {
        if (!audioStream) return {};
        const int channels = audioStream->codecpar->ch_layout.nb_channels;
        std::vector<std::int16_t> samples;
        if (capture) {
            std::vector<std::int16_t> more = capture->take();
            pending.insert(pending.end(), more.begin(), more.end());
            std::int64_t have = std::int64_t(pending.size()) / channels;
            const std::int64_t most = untilSample + frameSamples - nextSample;
            if (have > most) {
                pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t((have - most) * channels));
                have = most;
            }
            const std::int64_t least = untilSample - frameSamples - nextSample;
            samples.assign(pending.begin(), pending.begin() + std::ptrdiff_t(have * channels));
            pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(have * channels));
            if (have < least) samples.resize(size_t(least * channels), 0);
        } else if (untilSample > nextSample) {
            const int rate = audioStream->codecpar->sample_rate;
            const std::int64_t beepSamples = std::int64_t(rate) * TestToneBeepMs / 1000;
            samples.resize(size_t(untilSample - nextSample) * size_t(channels));
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const std::int64_t n = nextSample + std::int64_t(i) / channels;
                // A cosine: the beep starts at full level on the very sample of its second.
                const bool beep = n % rate < beepSamples;
                samples[i] = beep ? std::int16_t(std::lround(12000 * std::cos(2 * M_PI * TestToneHz * double(n) / rate))) : 0;
            }
        }
        if (samples.empty()) return {};
        const int count = int(samples.size()) / channels;
        Packet out(av_packet_alloc());
        if (audioStream->codecpar->codec_id == AV_CODEC_ID_PCM_U8) {
            if (av_new_packet(out.get(), int(samples.size())) < 0) return QStringLiteral("out of memory");
            for (std::size_t i = 0; i < samples.size(); ++i) out->data[i] = std::uint8_t((samples[i] >> 8) + 128);
        } else {
            if (av_new_packet(out.get(), int(samples.size() * 2)) < 0) return QStringLiteral("out of memory");
            std::memcpy(out->data, samples.data(), samples.size() * 2);
        }
        out->pts = out->dts = nextSample;
        out->duration = count;
        out->stream_index = audioStream->index;
        av_packet_rescale_ts(out.get(), AVRational{1, audioStream->codecpar->sample_rate}, audioStream->time_base);
        nextSample += count;
        return write(out.get());
    }
};

Recorder::Recorder(RecorderSettings settings, EndedHandler ended)
    : settings_(std::move(settings)), ended_(std::move(ended)),
      queue_(std::make_shared<BoundedFrameQueue>(settings_.queueCapacity)) {}

Recorder::~Recorder() { stop(); }

QString Recorder::start() {
    if (begun_.exchange(true)) return QStringLiteral("the recorder has already started");
    QuietFfmpegLog();
    const auto& list = VideoCompressors();
    if (settings_.compressor < 0 || settings_.compressor >= int(list.size())) return QStringLiteral("no such compressor");
    if (settings_.size.isEmpty()) return QStringLiteral("no picture size");
    if (settings_.fps <= 0) return QStringLiteral("no frame rate");
    const VideoCompressor& compressor = list[size_t(settings_.compressor)];
    const CompressorSetup* setup = setupOf(compressor);

    auto muxer = std::make_unique<Muxer>();
    const QByteArray path = settings_.path.toUtf8();
    int result = avformat_alloc_output_context2(&muxer->format, nullptr, "avi", path.constData());
    if (result < 0) return QStringLiteral("cannot make an AVI file: %1").arg(AvErrorText(result));

    const AVCodec* codec = avcodec_find_encoder_by_name(compressor.encoder.toLatin1().constData());
    muxer->video.reset(avcodec_alloc_context3(codec));
    AVCodecContext* video = muxer->video.get();
    // The rate as a fraction close to the wanted one (29.97 stays 30000/1001).
    const AVRational rate = av_d2q(settings_.fps, 100000);
    video->width = settings_.size.width();
    video->height = settings_.size.height();
    video->pix_fmt = setup->format;
    video->time_base = av_inv_q(rate);
    video->framerate = rate;
    // AVI carries no presentation times: frames must leave the encoder in their own order.
    video->max_b_frames = 0;
    video->gop_size = int(std::lround(settings_.fps));
    video->thread_count = 2;
    if (compressor.key == QLatin1String("mjpeg") || compressor.key == QLatin1String("mpeg4")) {
        video->flags |= AV_CODEC_FLAG_QSCALE;
        video->global_quality = FF_QP2LAMBDA * 3;
    }
    if (muxer->format->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Options options;
    if (compressor.key == QLatin1String("h264")) {
        options.set("preset", QStringLiteral("veryfast"));
        options.set("bf", QStringLiteral("0"));
    }
    result = avcodec_open2(video, codec, options.get());
    if (result < 0) return QStringLiteral("cannot open the %1 encoder: %2").arg(compressor.name, AvErrorText(result));

    muxer->videoStream = avformat_new_stream(muxer->format, nullptr);
    avcodec_parameters_from_context(muxer->videoStream->codecpar, video);
    muxer->videoStream->time_base = video->time_base;
    muxer->videoStream->avg_frame_rate = rate;

    if (settings_.audio) {
        int rate = settings_.audioRate > 0 ? settings_.audioRate : TestToneRate;
        int channels = settings_.audioChannels > 0 ? std::min(2, settings_.audioChannels) : 1;
        if (!settings_.audio->format.isEmpty()) {
            muxer->capture = std::make_unique<AudioCapture>(*settings_.audio, settings_.audioRate, settings_.audioChannels);
            if (const QString failed = muxer->capture->open(); !failed.isEmpty()) return failed;
            rate = muxer->capture->sampleRate();
            channels = muxer->capture->channels();
        }
        muxer->audioStream = avformat_new_stream(muxer->format, nullptr);
        AVCodecParameters* audio = muxer->audioStream->codecpar;
        audio->codec_type = AVMEDIA_TYPE_AUDIO;
        const int bits = settings_.audioBits == 8 ? 8 : 16;
        audio->codec_id = bits == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
        audio->sample_rate = rate;
        av_channel_layout_default(&audio->ch_layout, channels);
        audio->bits_per_coded_sample = bits;
        audio->block_align = bits / 8 * channels;
        audio->bit_rate = std::int64_t(rate) * bits * channels;
        muxer->audioStream->time_base = AVRational{1, rate};
    }

    if (settings_.openOutput) {
        muxer->format->pb = settings_.openOutput();
        if (!muxer->format->pb) return QStringLiteral("cannot open the output");
    } else {
        result = avio_open(&muxer->format->pb, path.constData(), AVIO_FLAG_WRITE);
        if (result < 0) return QStringLiteral("cannot create %1: %2").arg(settings_.path, AvErrorText(result));
        muxer->ownsIo = true;
    }
    result = avformat_write_header(muxer->format, nullptr);
    if (result < 0) return QStringLiteral("cannot write the movie: %1").arg(AvErrorText(result));
    avio_flush(muxer->format->pb);

    muxer->picture.reset(av_frame_alloc());
    muxer->picture->format = video->pix_fmt;
    muxer->picture->width = video->width;
    muxer->picture->height = video->height;
    if (av_frame_get_buffer(muxer->picture.get(), 0) < 0) return QStringLiteral("out of memory");

    muxer_ = std::move(muxer);
    started_ = std::chrono::steady_clock::now();
    running_ = true;
    thread_ = std::make_unique<Thread>();
    thread_->thread = std::thread([this] { run(); });
    return {};
}

void Recorder::run() {
    pthread_setname_np(pthread_self(), "recorder");
    Muxer& m = *muxer_;
    AVCodecContext* video = m.video.get();
    const double frameSeconds = 1.0 / settings_.fps;
    QString failure;
    bool limitReached = false;
    std::chrono::steady_clock::time_point origin = started_;
    double shifted = 0;  // frames the origin was moved back
    // An MJPEG source into an MJPEG movie without overlays is never encoded again.
    const int audioRate = m.audioStream ? m.audioStream->codecpar->sample_rate : 0;
    const std::int64_t frameSamples = std::int64_t(std::llround(audioRate * frameSeconds));
    const bool copiesJpeg = video->codec_id == AV_CODEC_ID_MJPEG && !settings_.overlay;

    // The last picture into `slot`: the source's JPEG as it came, or the converted picture encoded.
    auto putSlot = [&](std::int64_t slot) -> QString {
        QString failed;
        if (m.lastJpeg) {
            failed = m.copy(*m.lastJpeg, slot);
        } else {
            m.picture->pts = slot;
            if (video->flags & AV_CODEC_FLAG_QSCALE) m.picture->quality = video->global_quality;
            failed = m.encode(m.picture.get());
        }
        frames_ = m.videoPackets;
        if (failed.isEmpty()) {
            failed = m.sound(std::int64_t(std::llround(double(slot + 1) * frameSeconds * audioRate)), frameSamples);
            samples_ = m.nextSample;
        }
        return failed;
    };

    while (failure.isEmpty() && !limitReached) {
        std::optional<Frame> frame = queue_->pop(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
        if (!frame) {
            if (stopping_) break;
        } else if (frame->taken >= started_ || settings_.frameByFrame) {
            // The movie's clock starts with its first frame, so that the source's own rhythm falls
            // in the middle of the slots rather than on their edges.
            if (!m.haveLast) {
                origin = frame->taken;
                if (m.capture) m.capture->take();  // sound from before the movie
            }
            std::int64_t slot = m.nextSlot;
            if (!settings_.frameByFrame) {
                const double position = std::chrono::duration<double>(frame->taken - origin).count() / frameSeconds;
                slot = std::int64_t(std::floor(position + 0.5));
                // A late first frame put the origin too late: move it back, by half a frame at most,
                // rather than drop the frame of a source that runs at the movie's rate.
                const double early = double(m.nextSlot) - position;
                if (slot < m.nextSlot && early < 1 && shifted + early <= 0.5) {
                    shifted += early;
                    origin -= std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(early * frameSeconds));
                    slot = m.nextSlot;
                }
            }
            // Two frames in one slot: the source runs ahead of the movie's rate, and the second one is
            // left out; that is no loss. A slot the source missed is: the previous picture fills it.
            if (slot >= m.nextSlot) {
                missedSlots_ += slot - m.nextSlot;
                if (m.haveLast && slot - m.nextSlot <= MaxRepeatedFrames) {
                    for (std::int64_t s = m.nextSlot; s < slot && failure.isEmpty(); ++s) failure = putSlot(s);
                }
                m.lastJpeg.reset();
                if (failure.isEmpty() && copiesJpeg && frame->jpeg && frame->size() == settings_.size) {
                    m.lastJpeg = frame->jpeg;
                    m.haveLast = true;
                    failure = putSlot(slot);
                } else if (failure.isEmpty()) {
                    QImage image = frame->image();
                    if (settings_.overlay) {
                        image.detach();
                        settings_.overlay(image, std::int64_t(std::llround(double(slot) * frameSeconds * 1000)));
                    }
                    failure = m.convert(image);
                    if (failure.isEmpty()) {
                        m.haveLast = true;
                        failure = putSlot(slot);
                    }
                }
                m.nextSlot = std::max(m.nextSlot, slot + 1);
                if (settings_.frameLimit > 0 && m.nextSlot >= settings_.frameLimit) limitReached = true;
            }
        }
        if (failure.isEmpty() && m.capture) failure = m.capture->failure();
        bytes_ = avio_tell(m.format->pb);
    }
    failure_ = failure;
    finish();
    if ((limitReached || !failure.isEmpty()) && !stopping_ && ended_) ended_(failure);
}

void Recorder::finish() {
    Muxer& m = *muxer_;
    queueDropped_ = queue_->dropped();
    endedMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count();
    queue_->close();
    if (failure_.isEmpty()) failure_ = m.encode(nullptr);
    frames_ = m.videoPackets;  // the encoder's last pictures
    // After a write failure the index may not fit either; what reached the file still plays.
    const int result = av_write_trailer(m.format);
    if (failure_.isEmpty() && result < 0) failure_ = QStringLiteral("cannot finish the movie: %1").arg(AvErrorText(result));
    avio_flush(m.format->pb);
    bytes_ = avio_tell(m.format->pb);
    running_ = false;
}

QString Recorder::stop() {
    if (!thread_) return failure_;
    stopping_ = true;
    queue_->close();
    if (thread_->thread.joinable()) thread_->thread.join();
    thread_.reset();
    muxer_.reset();
    return failure_;
}

RecorderStatistics Recorder::statistics() const {
    RecorderStatistics statistics;
    const std::int64_t ended = endedMs_;
    statistics.elapsedMs = ended >= 0 ? ended
                                      : std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count();
    if (!running_ && ended < 0) statistics.elapsedMs = 0;
    statistics.frames = frames_;
    statistics.dropped = (ended >= 0 ? queueDropped_.load() : queue_->dropped()) + missedSlots_;
    statistics.bytes = bytes_;
    statistics.audioSamples = samples_;
    return statistics;
}

void FinishInBackground(std::unique_ptr<Recorder> recorder, std::function<void(QString, RecorderStatistics)> done) {
    std::shared_ptr<Recorder> finishing(std::move(recorder));
    RunDetached("finishing", [finishing, done = std::move(done)] {
        const QString failure = finishing->stop();
        if (done) done(failure, finishing->statistics());
    });
}

}  // namespace kestrova::media
