#include "movie_probe.h"

#include "platform/media/ffmpeg_handles.h"
#include "platform/media/test_pattern.h"

#include <QCryptographicHash>
#include <QImage>

#include <cstdlib>

namespace kestrova::test {

using namespace media;

MovieProbe ProbeMovie(const QString& path, bool decode) {
    QuietFfmpegLog();
    MovieProbe probe;
    AVFormatContext* raw = nullptr;
    int result = avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr);
    if (result < 0) {
        probe.error = AvErrorText(result);
        return probe;
    }
    FormatInput input(raw);
    avformat_find_stream_info(raw, nullptr);
    probe.container = QString::fromLatin1(raw->iformat->name);
    for (const AVDictionaryEntry* tag = nullptr; (tag = av_dict_get(raw->metadata, "", tag, AV_DICT_IGNORE_SUFFIX));) {
        probe.metadata.insert(QString::fromUtf8(tag->key), QString::fromUtf8(tag->value));
    }
    const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audio = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (video < 0) {
        probe.error = QStringLiteral("no video stream");
        return probe;
    }
    AVStream* videoStream = raw->streams[video];
    probe.videoCodec = QString::fromLatin1(avcodec_get_name(videoStream->codecpar->codec_id));
    probe.frameRate = av_q2d(videoStream->avg_frame_rate.num ? videoStream->avg_frame_rate : videoStream->r_frame_rate);
    if (audio >= 0) {
        probe.audio = true;
        probe.audioCodec = QString::fromLatin1(avcodec_get_name(raw->streams[audio]->codecpar->codec_id));
        const AVCodecParameters* sound = raw->streams[audio]->codecpar;
        probe.sampleRate = sound->sample_rate;
        probe.channels = sound->ch_layout.nb_channels;
        probe.bitsPerSample = sound->bits_per_coded_sample;
        probe.blockAlign = sound->block_align;
        probe.bytesPerSecond = sound->bit_rate / 8;
    }
    CodecContext decoder;
    if (decode) {
        const AVCodec* codec = avcodec_find_decoder(videoStream->codecpar->codec_id);
        decoder.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(decoder.get(), videoStream->codecpar);
        avcodec_open2(decoder.get(), codec, nullptr);
    }
    AvFrame picture(av_frame_alloc());
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), picture.get()) >= 0) {
            ++probe.decodedFrames;
            QImage image(picture->width, picture->height, QImage::Format_BGR888);
            Scaler scaler(sws_getContext(picture->width, picture->height, AVPixelFormat(picture->format), picture->width,
                                         picture->height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
            uint8_t* target[1] = {image.bits()};
            const int stride[1] = {int(image.bytesPerLine())};
            sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height, target, stride);
            probe.counters.push_back(ReadTestPatternCounter(image).value_or(-1));
            if (probe.firstPicture.isNull()) probe.firstPicture = image;
        }
    };
    Packet packet(av_packet_alloc());
    bool loud = false;
    std::int64_t quiet = 0;
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == video) {
            ++probe.videoPackets;
            if (packet->flags & AV_PKT_FLAG_CORRUPT) ++probe.cutPackets;
            probe.videoDigests.push_back(QCryptographicHash::hash(QByteArrayView(packet->data, packet->size), QCryptographicHash::Md5));
            if (decoder && avcodec_send_packet(decoder.get(), packet.get()) >= 0) drain();
        } else if (packet->stream_index == audio) {
            const auto* samples = reinterpret_cast<const std::int16_t*>(packet->data);
            const int count = probe.blockAlign > 0 ? packet->size / probe.blockAlign : 0;
            // Beeps are looked for in the first channel of 16-bit sound.
            const int step = probe.bitsPerSample == 16 ? probe.channels : 0;
            for (int i = 0; step > 0 && i < count; ++i) {
                const bool now = std::abs(samples[i * step]) > 1000;
                if (now) quiet = 0;
                else ++quiet;
                // A sine crosses zero inside a beep: only a long silence ends it.
                if (now && !loud) probe.beepStarts.push_back(probe.audioSamples + i);
                if (now) loud = true;
                else if (quiet > 100) loud = false;
            }
            probe.audioSamples += count;
        }
        av_packet_unref(packet.get());
    }
    if (decoder) {
        avcodec_send_packet(decoder.get(), nullptr);
        drain();
    }
    return probe;
}

}  // namespace kestrova::test
