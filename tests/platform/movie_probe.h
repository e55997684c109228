#pragma once
// What a test needs to know of a written movie, read back through libavformat.

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

#include <cstdint>
#include <vector>

namespace kestrova::test {

struct MovieProbe {
    QString error;      // empty when the file opened
    QString container;  // the demuxer's name
    QMap<QString, QString> metadata;  // the file's tags as libavformat reads them
    QString videoCodec;
    double frameRate = 0;
    std::int64_t videoPackets = 0;
    std::int64_t cutPackets = 0;  // video packets the file ends in the middle of
    std::vector<QByteArray> videoDigests;  // MD5 of each video packet
    std::int64_t decodedFrames = 0;  // frames the decoder gave back
    QImage firstPicture;  // the first decoded frame, as BGR
    std::vector<std::int64_t> counters;  // Test Pattern counters read from the decoded frames, in order
    bool audio = false;
    QString audioCodec;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    std::int64_t bytesPerSecond = 0;
    std::int64_t audioSamples = 0;  // per channel
    std::vector<std::int64_t> beepStarts;  // sample numbers where a beep starts
};

// Reads every packet; decodes the video when `decode` is set.
MovieProbe ProbeMovie(const QString& path, bool decode = false);

}  // namespace kestrova::test
