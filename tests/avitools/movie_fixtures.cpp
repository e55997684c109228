#include "movie_fixtures.h"

#include "platform/media/recorder.h"
#include "platform/media/test_pattern.h"

#include <QTime>

namespace kestrova::test {

using namespace media;

QString MakePatternMovie(const QString& path, int frames, QSize size, const QString& codec, double fps) {
    RecorderSettings settings;
    settings.path = path;
    settings.compressor = VideoCompressorByKey(codec);
    settings.size = size;
    settings.fps = fps;
    settings.frameByFrame = true;
    settings.queueCapacity = std::size_t(frames) + 1;  // nothing is dropped
    Recorder recorder(settings, {});
    if (const QString failed = recorder.start(); !failed.isEmpty()) return failed;
    for (int n = 0; n < frames; ++n) {
        QImage image = NewFrameImage(size.width(), size.height());
        DrawTestPattern(image, n, 30, QTime(12, 0));
        Frame frame = Frame::fromImage(image);
        frame.number = n;
        frame.taken = std::chrono::steady_clock::now();
        recorder.queue()->push(frame);
    }
    return recorder.stop();
}

}  // namespace kestrova::test
