#include "audio_capture.h"

#include "ffmpeg_handles.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libswresample/swresample.h>
}

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include <pthread.h>

namespace kestrova::media {

namespace {

struct ResamplerDeleter {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
using Resampler = std::unique_ptr<SwrContext, ResamplerDeleter>;

constexpr int BufferSeconds = 4;

}  // namespace

struct AudioCapture::Shared {
    AudioDevice device;
    FormatInput input;
    CodecContext decoder;
    Resampler resampler;
    int stream = -1;
    int rate = 0;
    int channels = 0;
    int wantedRate = 0;
    int wantedChannels = 0;
    std::mutex mutex;
    std::deque<std::int16_t> samples;
    QString failure;
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    std::thread thread;

    // Interrupts a blocking read when the capture is closed.
    static int interrupted(void* opaque) { return static_cast<Shared*>(opaque)->stopping ? 1 : 0; }

    void add(const AVFrame& frame) {
        const int room = swr_get_out_samples(resampler.get(), frame.nb_samples);
        if (room <= 0) return;
        std::vector<std::int16_t> converted(size_t(room) * size_t(channels) + 64);
        std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(converted.data())};
        const int count = swr_convert(resampler.get(), out, int(converted.size()) / channels,
                                      const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
        if (count <= 0) return;
        std::lock_guard lock(mutex);
        samples.insert(samples.end(), converted.begin(), converted.begin() + count * channels);
        const std::size_t limit = size_t(BufferSeconds) * size_t(rate) * size_t(channels);
        if (samples.size() > limit) samples.erase(samples.begin(), samples.begin() + std::ptrdiff_t(samples.size() - limit));
    }

    void run() {
        pthread_setname_np(pthread_self(), "audio capture");
        Packet packet(av_packet_alloc());
        AvFrame frame(av_frame_alloc());
        QString reason;
        while (!stopping) {
            const int status = av_read_frame(input.get(), packet.get());
            if (status == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            if (status < 0) {
                reason = status == AVERROR_EOF ? QStringLiteral("the audio input ended") : AvErrorText(status);
                break;
            }
            if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0) {
                while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) add(*frame);
            }
            av_packet_unref(packet.get());
        }
        if (!stopping) {
            std::lock_guard lock(mutex);
            failure = QStringLiteral("the audio input was lost: %1").arg(reason);
        }
        finished = true;
    }
};

AudioCapture::AudioCapture(AudioDevice device, int rate, int channels) : shared_(std::make_shared<Shared>()) {
    shared_->device = std::move(device);
    shared_->wantedRate = rate > 0 ? rate : 0;
    shared_->wantedChannels = channels > 0 ? std::min(2, channels) : 0;
}

AudioCapture::~AudioCapture() {
    shared_->stopping = true;
    if (!shared_->thread.joinable()) return;
    // A driver read that ignores the interrupt must not hang the caller: after a second the thread
    // is left to finish on its own, keeping what it uses alive.
    for (int i = 0; i < 100 && !shared_->finished; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (shared_->finished) shared_->thread.join();
    else shared_->thread.detach();
}

QString AudioCapture::open() {
    static const bool registered = [] {
        avdevice_register_all();
        return true;
    }();
    (void)registered;
    QuietFfmpegLog();
    Shared& s = *shared_;
    const AVInputFormat* format = av_find_input_format(s.device.format.toLatin1().constData());
    if (!format) return QStringLiteral("no audio input of kind \"%1\"").arg(s.device.format);
    AVFormatContext* context = avformat_alloc_context();
    context->interrupt_callback = {&Shared::interrupted, &s};
    Options options;
    if (s.device.format != QLatin1String("lavfi")) {
        options.set("sample_rate", QStringLiteral("44100"));
        options.set("channels", QStringLiteral("2"));
    }
    int status = avformat_open_input(&context, s.device.address.toUtf8().constData(), format, options.get());
    if (status < 0) return QStringLiteral("cannot open %1: %2").arg(s.device.name, AvErrorText(status));
    s.input.reset(context);
    if (status = avformat_find_stream_info(context, nullptr); status < 0) return AvErrorText(status);
    s.stream = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (s.stream < 0) return QStringLiteral("%1 gives no sound").arg(s.device.name);
    const AVCodecParameters* parameters = context->streams[s.stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec) return QStringLiteral("no decoder for %1").arg(s.device.name);
    s.decoder.reset(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(s.decoder.get(), parameters);
    if (status = avcodec_open2(s.decoder.get(), codec, nullptr); status < 0) return AvErrorText(status);
    s.rate = s.wantedRate > 0 ? s.wantedRate : s.decoder->sample_rate;
    s.channels = s.wantedChannels > 0 ? s.wantedChannels : std::min(2, std::max(1, s.decoder->ch_layout.nb_channels));
    AVChannelLayout layout;
    av_channel_layout_default(&layout, s.channels);
    SwrContext* resampler = nullptr;
    status = swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_S16, s.rate, &s.decoder->ch_layout, s.decoder->sample_fmt,
                                 s.decoder->sample_rate, 0, nullptr);
    s.resampler.reset(resampler);
    if (status < 0 || swr_init(resampler) < 0) return QStringLiteral("cannot convert the sound of %1").arg(s.device.name);
    s.thread = std::thread([shared = shared_] { shared->run(); });
    return {};
}

int AudioCapture::sampleRate() const { return shared_->rate; }
int AudioCapture::channels() const { return shared_->channels; }

std::vector<std::int16_t> AudioCapture::take() {
    std::lock_guard lock(shared_->mutex);
    std::vector<std::int16_t> out(shared_->samples.begin(), shared_->samples.end());
    shared_->samples.clear();
    return out;
}

QString AudioCapture::failure() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->failure;
}

}  // namespace kestrova::media
