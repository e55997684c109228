// Exact seeks of the movie viewer's reader against the floor: libavcodec decoding from the key frame
// before each target up to the target, without the reader's bookkeeping or its picture conversion.
//
//   kestrova-bench-seek MOVIE.avi [COUNT]
//
// Prints the median milliseconds per seek of both and their ratio.

#include "platform/media/ffmpeg_handles.h"
#include "platform/media/movie_reader.h"
#include "platform/media/test_pattern.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace kestrova::media;
using Clock = std::chrono::steady_clock;

namespace {

struct Floor {
    FormatInput input;
    CodecContext codec;
    AvFrame frame{av_frame_alloc()};
    Packet packet{av_packet_alloc()};
    int stream = -1;

    bool open(const char* path) {
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, path, nullptr, nullptr) < 0) return false;
        input.reset(raw);
        avformat_find_stream_info(raw, nullptr);
        stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (stream < 0) return false;
        const AVCodec* decoder = avcodec_find_decoder(raw->streams[stream]->codecpar->codec_id);
        codec.reset(avcodec_alloc_context3(decoder));
        avcodec_parameters_to_context(codec.get(), raw->streams[stream]->codecpar);
        codec->thread_count = 1;
        return avcodec_open2(codec.get(), decoder, nullptr) >= 0;
    }

    // Decodes from the key frame before n up to picture n; false when it does not get there.
    bool seek(std::int64_t n) {
        if (av_seek_frame(input.get(), stream, n, AVSEEK_FLAG_BACKWARD) < 0) return false;
        avcodec_flush_buffers(codec.get());
        while (av_read_frame(input.get(), packet.get()) >= 0) {
            const bool ours = packet->stream_index == stream;
            if (ours) avcodec_send_packet(codec.get(), packet.get());
            av_packet_unref(packet.get());
            while (ours && avcodec_receive_frame(codec.get(), frame.get()) == 0) {
                const std::int64_t at = frame->best_effort_timestamp;
                av_frame_unref(frame.get());
                if (at >= n) return at == n;
            }
        }
        return false;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrova-bench-seek MOVIE.avi [COUNT]\n");
        return 1;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 100;
    QuietFfmpegLog();
    MovieReader reader;
    if (!reader.open(QString::fromLocal8Bit(argv[1])).isEmpty()) return 2;
    Floor floor;
    if (!floor.open(argv[1])) return 2;
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::int64_t> pick(0, reader.frameCount() - 1);
    std::vector<double> ours, reference;
    int wrong = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t target = pick(random);
        auto started = Clock::now();
        if (!floor.seek(target)) ++wrong;
        reference.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
        started = Clock::now();
        const QImage picture = reader.frame(target);
        ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - started).count());
        if (picture.isNull()) ++wrong;
        // Test Pattern movies say which frame they show; others are taken on trust.
        const auto shown = ReadTestPatternCounter(picture);
        if (shown && *shown != target) ++wrong;
    }
    const double ratio = median(ours) / median(reference);
    std::printf("%d seeks in %lld frames: ours median %.2f ms, floor %.2f ms, ratio %.2f (goal <= 1.5), wrong frames %d\n", count,
                static_cast<long long>(reader.frameCount()), median(ours), median(reference), ratio, wrong);
    return ratio <= 1.5 && wrong == 0 ? 0 : 1;
}
