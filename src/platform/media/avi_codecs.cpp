#include "avi_codecs.h"

#include "ffmpeg_handles.h"

#include <set>

namespace kestrova::media {

namespace {

QString signatureOf(unsigned tag, bool video) {
    if (!video) return QStringLiteral("0x%1").arg(tag, 4, 16, QLatin1Char('0'));
    QString code;
    for (int i = 0; i < 4; ++i) {
        const char c = char((tag >> (8 * i)) & 0xff);
        code += c >= 32 && c < 127 ? QChar::fromLatin1(c) : QLatin1Char('.');
    }
    return code;
}

}  // namespace

std::vector<AviCodec> InstalledAviCodecs() {
    const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    std::vector<AviCodec> codecs;
    if (!avi || !avi->codec_tag) return codecs;
    for (const bool video : {true, false}) {
        std::set<int> seen;
        for (const AVCodecDescriptor* descriptor = nullptr; (descriptor = avcodec_descriptor_next(descriptor));) {
            if (descriptor->type != (video ? AVMEDIA_TYPE_VIDEO : AVMEDIA_TYPE_AUDIO)) continue;
            const unsigned tag = av_codec_get_tag(avi->codec_tag, descriptor->id);
            const AVCodec* encoder = avcodec_find_encoder(descriptor->id);
            const AVCodec* decoder = avcodec_find_decoder(descriptor->id);
            if ((!tag && descriptor->id != AV_CODEC_ID_RAWVIDEO) || (!encoder && !decoder) || !seen.insert(descriptor->id).second) continue;
            codecs.push_back({video, QString::fromUtf8(descriptor->long_name ? descriptor->long_name : descriptor->name),
                              signatureOf(tag, video), encoder ? QString::fromLatin1(encoder->name) : QString(),
                              decoder ? QString::fromLatin1(decoder->name) : QString()});
        }
    }
    return codecs;
}

}  // namespace kestrova::media
