// The recorder on frames with chosen times: every compressor into AVI, the constant frame rate on the
// source's clock, the Test Tone in step with the video, a write failure at the muxer's I/O, and an
// MJPEG source copied rather than encoded again.

#include "platform/media/ffmpeg_handles.h"
#include "platform/media/media_session.h"
#include "platform/media/recorder.h"
#include "platform/media/test_pattern.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"
#include "test_http_server.h"

#include <QDir>
#include <QFile>
#include <QTime>

#include <atomic>
#include <cerrno>

using namespace kestrova;
using namespace kestrova::media;
using kestrova::test::ProbeMovie;
using Clock = std::chrono::steady_clock;

namespace {

Frame patternFrame(std::int64_t number, QSize size, Clock::time_point taken) {
    QImage image = NewFrameImage(size.width(), size.height());
    DrawTestPattern(image, number, 30, QTime(12, 0));
    Frame frame = Frame::fromImage(image);
    frame.number = number;
    frame.taken = taken;
    return frame;
}

class RecorderTest : public kestrova::test::KestrovaTest {
protected:
    QString path(const char* name) const { return QDir(QString::fromLocal8Bit(qgetenv("KESTROVA_HOME"))).filePath(QString::fromLatin1(name)); }

    // Pushes the pattern frame `n` at the time `times[n]` frame periods after now; waits for the
    // recorder between frames so that the queue never overflows.
    RecorderStatistics record(RecorderSettings settings, const std::vector<double>& times, QString* ended = nullptr) {
        std::atomic<bool> done{false};
        Recorder recorder(settings, [&](QString reason) {
            if (ended) *ended = reason;
            done = true;
        });
        EXPECT_EQ(recorder.start(), QString());
        const Clock::time_point origin = Clock::now() + std::chrono::milliseconds(50);
        const auto period = std::chrono::duration<double>(1.0 / settings.fps);
        for (std::size_t n = 0; n < times.size() && !done; ++n) {
            recorder.queue()->push(patternFrame(std::int64_t(n), settings.size,
                                                origin + std::chrono::duration_cast<Clock::duration>(period * times[n])));
            QThread::msleep(3);
        }
        kestrova::test::WaitUntil([&] { return done.load(); }, ended ? 3000 : 300);
        recorder.stop();
        return recorder.statistics();
    }

    // Records the live Test Pattern, with the settings' sound, until the frame limit ends the movie.
    static void recordLive(const RecorderSettings& settings) {
        std::atomic<bool> done{false};
        Recorder recorder(settings, [&](const QString&) { done = true; });
        ASSERT_EQ(recorder.start(), QString());
        SourceSettings pattern;
        pattern.kind = QString::fromLatin1(KindTestPattern);
        pattern.size = settings.size;
        MediaSession session(pattern);
        session.runner().attach(recorder.queue());
        session.start();
        ASSERT_TRUE(kestrova::test::WaitUntil([&] { return done.load(); }, 4000));
        session.stop();
        recorder.stop();
    }

    // A sound input through libavdevice that exists on every machine, delivered in real time.
    static AudioDevice liveSine() {
        return AudioDevice{QStringLiteral("sine"), QStringLiteral("lavfi"), QStringLiteral("sine=frequency=440:sample_rate=48000,arealtime")};
    }
};

}  // namespace

TEST_F(RecorderTest, EveryCompressorWritesAnAviWithEveryFrameAtTheRate) {
    const std::map<QString, QString> codecs = {
        {"mjpeg", "mjpeg"}, {"bgr24", "rawvideo"}, {"mpeg4", "mpeg4"}, {"ffv1", "ffv1"}, {"h264", "h264"}};
    ASSERT_GE(VideoCompressors().size(), 4u);
    EXPECT_EQ(VideoCompressors().front().key, QStringLiteral("mjpeg"));
    for (std::size_t i = 0; i < VideoCompressors().size(); ++i) {
        const VideoCompressor& compressor = VideoCompressors()[i];
        SCOPED_TRACE(compressor.key.toStdString());
        RecorderSettings settings;
        settings.path = path("codec.avi");
        settings.compressor = int(i);
        settings.size = QSize(320, 240);
        settings.fps = 25;
        std::vector<double> times;
        for (int n = 0; n < 12; ++n) times.push_back(n);
        const RecorderStatistics statistics = record(settings, times);
        EXPECT_EQ(statistics.frames, 12);
        EXPECT_EQ(statistics.dropped, 0);
        const test::MovieProbe probe = ProbeMovie(settings.path, true);
        ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
        EXPECT_EQ(probe.container, QStringLiteral("avi"));
        EXPECT_EQ(probe.videoCodec, codecs.at(compressor.key));
        EXPECT_EQ(probe.videoPackets, 12);
        EXPECT_DOUBLE_EQ(probe.frameRate, 25);
        EXPECT_FALSE(probe.audio);
        std::vector<std::int64_t> expected(12);
        for (int n = 0; n < 12; ++n) expected[size_t(n)] = n;
        EXPECT_EQ(probe.counters, expected);
    }
}

TEST_F(RecorderTest, TheMovieKeepsToTheSourceClockRepeatingAndDroppingFrames) {
    RecorderSettings settings;
    settings.path = path("clock.avi");
    settings.size = QSize(320, 240);
    settings.fps = 30;
    // Frame 1 arrives a little late and 2 a little early (jitter); 3 is missing; 5 comes in the same
    // slot as 4; 6 arrives after a pause of two frames. The slot of 3 and the two of the pause were
    // lost; the extra frame in 4's slot is left out, which is no loss.
    const RecorderStatistics statistics = record(settings, {0, 1.3, 1.8, 4, 4.2, 7});
    EXPECT_EQ(statistics.frames, 8);
    EXPECT_EQ(statistics.dropped, 3);
    const test::MovieProbe probe = ProbeMovie(settings.path, true);
    EXPECT_EQ(probe.counters, (std::vector<std::int64_t>{0, 1, 2, 2, 3, 3, 3, 5}));
}

TEST_F(RecorderTest, TheTestToneBeepsOnEverySecondOfTheVideo) {
    RecorderSettings settings;
    settings.path = path("tone.avi");
    settings.size = QSize(320, 240);
    settings.fps = 30;
    settings.audio = AudioDevice{QString::fromLatin1(TestToneName), {}, {}};
    settings.frameLimit = 75;
    std::vector<double> times;
    for (int n = 0; n < 80; ++n) times.push_back(n);
    QString ended = QStringLiteral("not ended");
    const RecorderStatistics statistics = record(settings, times, &ended);
    EXPECT_EQ(ended, QString());
    EXPECT_EQ(statistics.frames, 75);
    const test::MovieProbe probe = ProbeMovie(settings.path);
    EXPECT_TRUE(probe.audio);
    EXPECT_EQ(probe.audioCodec, QStringLiteral("pcm_s16le"));
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_EQ(probe.videoPackets, 75);
    EXPECT_EQ(probe.audioSamples, 75 * 44100 / 30);
    EXPECT_EQ(probe.beepStarts, (std::vector<std::int64_t>{0, 44100, 88200}));
}

namespace {

// A disk that fills up: writes go to a real file until `room` bytes are used, then fail.
struct FillingDisk {
    QFile file;
    std::int64_t room = 0;
    std::int64_t position = 0;

    static int write(void* opaque, std::uint8_t* data, int size) {
        auto* disk = static_cast<FillingDisk*>(opaque);
        if (disk->position + size > disk->room) return AVERROR(ENOSPC);
        disk->file.seek(disk->position);
        disk->file.write(reinterpret_cast<const char*>(data), size);
        disk->position += size;
        return size;
    }
    static std::int64_t seek(void* opaque, std::int64_t offset, int whence) {
        auto* disk = static_cast<FillingDisk*>(opaque);
        if (whence == AVSEEK_SIZE) return disk->file.size();
        if (whence == SEEK_CUR) offset += disk->position;
        else if (whence == SEEK_END) offset += disk->file.size();
        disk->position = offset;
        return offset;
    }
};

}  // namespace

TEST_F(RecorderTest, AFullDiskEndsTheMovieWithTheReasonAndWhatWasWrittenPlays) {
    FillingDisk disk;
    disk.file.setFileName(path("full.avi"));
    ASSERT_TRUE(disk.file.open(QIODevice::ReadWrite | QIODevice::Truncate));
    disk.room = 400 * 1000;
    RecorderSettings settings;
    settings.path = disk.file.fileName();
    settings.size = QSize(320, 240);
    settings.fps = 30;
    settings.compressor = VideoCompressorByKey(QStringLiteral("bgr24"));  // 230 kB a frame: the disk fills at once
    settings.openOutput = [&disk] {
        auto* buffer = static_cast<unsigned char*>(av_malloc(4096));
        return avio_alloc_context(buffer, 4096, 1, &disk, nullptr, &FillingDisk::write, &FillingDisk::seek);
    };
    std::vector<double> times;
    for (int n = 0; n < 40; ++n) times.push_back(n);
    QString ended;
    const RecorderStatistics done = record(settings, times, &ended);
    EXPECT_TRUE(ended.contains(QStringLiteral("space"))) << ended.toStdString();
    disk.file.close();
    const test::MovieProbe probe = ProbeMovie(settings.path, true);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_GE(probe.decodedFrames, 1);
    EXPECT_EQ(done.frames, probe.decodedFrames) << "the count is what the file holds";
}

TEST_F(RecorderTest, AnMjpegSourceIsCopiedIntoAnMjpegMovieUnlessAnOverlayIsDrawn) {
    const QString clip = path("camera.avi");
    ASSERT_FALSE(kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=1", "-c:v", "mjpeg", "-q:v", "6"}, clip)
                     .isEmpty());
    const test::MovieProbe source = ProbeMovie(clip);
    ASSERT_EQ(source.videoPackets, 25);
    for (const bool overlay : {false, true}) {
        SCOPED_TRACE(overlay ? "overlay" : "copy");
        RecorderSettings settings;
        settings.path = path("copied.avi");
        settings.size = QSize(320, 240);
        settings.fps = 25;
        if (overlay) settings.overlay = [](QImage& image, std::int64_t) { image.fill(Qt::red); };
        Recorder recorder(settings, {});
        ASSERT_EQ(recorder.start(), QString());
        SourceSettings camera;
        camera.kind = QString::fromLatin1(KindStream);
        camera.address = clip;
        MediaSession session(camera);
        bool lost = false;
        QObject::connect(&session, &MediaSession::lost, [&] { lost = true; });
        session.runner().attach(recorder.queue());
        session.start();
        ASSERT_TRUE(kestrova::test::WaitUntil([&] { return lost; }, 4000));
        session.stop();
        recorder.stop();
        const test::MovieProbe movie = ProbeMovie(settings.path);
        EXPECT_EQ(movie.videoCodec, QStringLiteral("mjpeg"));
        EXPECT_GE(movie.videoPackets, 20);
        int copied = 0;
        for (const QByteArray& digest : movie.videoDigests) {
            copied += std::find(source.videoDigests.begin(), source.videoDigests.end(), digest) != source.videoDigests.end();
        }
        EXPECT_EQ(copied, overlay ? 0 : int(movie.videoPackets));
    }
}

TEST_F(RecorderTest, SoundOfAnInputStaysWithinAFrameOfTheVideo) {
    RecorderSettings settings;
    settings.path = path("input.avi");
    settings.size = QSize(320, 240);
    settings.fps = 30;
    settings.frameLimit = 45;
    settings.audio = liveSine();
    ASSERT_NO_FATAL_FAILURE(recordLive(settings));
    const test::MovieProbe probe = ProbeMovie(settings.path);
    EXPECT_EQ(probe.videoPackets, 45);
    EXPECT_EQ(probe.sampleRate, 48000);
    EXPECT_NEAR(double(probe.audioSamples), 1.5 * 48000, 48000.0 / 30);
}

TEST_F(RecorderTest, TheSoundTakesTheAskedRateChannelsAndBits) {
    struct Case {
        int rate, channels, bits;
        const char* codec;
        int blockAlign;
    };
    const std::vector<Case> cases = {
        {22050, 2, 16, "pcm_s16le", 4}, {8000, 1, 8, "pcm_u8", 1}, {44100, 2, 8, "pcm_u8", 2}, {11025, 1, 16, "pcm_s16le", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.channels << " ch " << c.bits << " bits");
        RecorderSettings settings;
        settings.path = path("format.avi");
        settings.size = QSize(160, 120);
        settings.fps = 30;
        settings.audio = AudioDevice{QString::fromLatin1(TestToneName), {}, {}};
        settings.audioRate = c.rate;
        settings.audioChannels = c.channels;
        settings.audioBits = c.bits;
        settings.frameLimit = 30;
        std::vector<double> times;
        for (int n = 0; n < 32; ++n) times.push_back(n);
        QString ended = QStringLiteral("not ended");
        record(settings, times, &ended);
        const test::MovieProbe probe = ProbeMovie(settings.path);
        EXPECT_EQ(probe.audioCodec, c.codec);
        EXPECT_EQ(probe.sampleRate, c.rate);
        EXPECT_EQ(probe.channels, c.channels);
        EXPECT_EQ(probe.blockAlign, c.blockAlign);
        EXPECT_EQ(probe.bytesPerSecond, std::int64_t(c.rate) * c.blockAlign);
        EXPECT_EQ(probe.audioSamples, c.rate);  // one second of sound for one second of video
        if (c.bits == 16) {
            EXPECT_EQ(probe.beepStarts, std::vector<std::int64_t>{0});
        }
    }
}

TEST_F(RecorderTest, AnInputIsConvertedToTheAskedFormat) {
    RecorderSettings settings;
    settings.path = path("converted.avi");
    settings.size = QSize(160, 120);
    settings.fps = 30;
    settings.frameLimit = 30;
    settings.audio = liveSine();
    settings.audioRate = 22050;
    settings.audioChannels = 2;
    ASSERT_NO_FATAL_FAILURE(recordLive(settings));
    const test::MovieProbe probe = ProbeMovie(settings.path);
    EXPECT_EQ(probe.sampleRate, 22050);
    EXPECT_EQ(probe.channels, 2);
    EXPECT_EQ(probe.blockAlign, 4);
    EXPECT_NEAR(double(probe.audioSamples), 22050, 22050.0 / 30);
}
