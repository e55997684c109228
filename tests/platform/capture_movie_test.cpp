// The capture control's movie members: a movie of the Test Pattern through StartCapture and
// StopCapture, the time limit, a lost source, and frame-by-frame movies.

#include "platform/capture_control.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"
#include "test_http_server.h"

#include <QDir>

using namespace kestrova;
using kestrova::test::ProbeMovie;
using kestrova::test::WaitUntil;

namespace {

class CaptureMovieTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        control = std::make_unique<CaptureControl>();
        QObject::connect(control.get(), &CaptureControl::opened, [this] { ++opened; });
        QObject::connect(control.get(), &CaptureControl::captureStarted, [this] { ++started; });
        QObject::connect(control.get(), &CaptureControl::captureEnded, [this](const QString& reason) { ended << reason; });
        control->setVideoDeviceIndex(control->VideoDeviceCount() - 1);
        control->setConnected(true);
        ASSERT_TRUE(WaitUntil([&] { return opened > 0; }, 3000));
        file = QDir(QString::fromLocal8Bit(qgetenv("KESTROVA_HOME"))).filePath(QStringLiteral("movie.avi"));
        control->setCaptureFile(file);
    }

    // True once the movie holds at least `count` frames, within 3 seconds.
    bool waitForFrames(qint64 count) {
        return WaitUntil([&] {
            qint64 elapsed, frames, dropped, bytes, samples;
            double rate;
            control->CaptureStatistics(elapsed, frames, dropped, bytes, samples, rate);
            return frames >= count;
        }, 3000);
    }

    // True once the movie that was ended is whole (its end notice has come), within 5 seconds.
    bool waitForEnd() {
        return WaitUntil([&] { return !ended.isEmpty(); }, 5000);
    }
    // Waits for a frame newer than the one the source last delivered.
    bool waitForNewFrame() {
        const std::int64_t seen = control->session()->runner().latest().take().number;
        return WaitUntil([&] { return control->session()->runner().latest().take().number > seen; }, 2000);
    }

    std::unique_ptr<CaptureControl> control;
    QString file;
    int opened = 0;
    int started = 0;
    QStringList ended;
};

}  // namespace

TEST_F(CaptureMovieTest, StartAndStopWriteAnMjpegMovieWithTheToneWhenAsked) {
    EXPECT_EQ(control->VideoCompressorName(control->VideoCompressorIndex()), QStringLiteral("MJPEG Compressor"));
    EXPECT_EQ(control->AudioCompressorName(0), QStringLiteral("PCM"));
    control->setCaptureAudio(true);
    ASSERT_TRUE(control->StartCapture());
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(control->Capturing());
    EXPECT_FALSE(control->StartCapture());  // one movie at a time
    EXPECT_FALSE(control->CaptureError().isEmpty());
    ASSERT_TRUE(waitForFrames(15));
    control->StopCapture();
    EXPECT_FALSE(control->Capturing());
    EXPECT_FALSE(control->StartCapture()) << "not before the last movie is whole";
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(ended, QStringList{QString()});

    qint64 elapsed, frames, dropped, bytes, samples;
    double rate;
    control->CaptureStatistics(elapsed, frames, dropped, bytes, samples, rate);
    EXPECT_EQ(rate, 30);
    EXPECT_EQ(dropped, 0);
    EXPECT_GE(elapsed, 400);
    const test::MovieProbe probe = ProbeMovie(file);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_EQ(probe.container, QStringLiteral("avi"));
    EXPECT_EQ(probe.videoCodec, QStringLiteral("mjpeg"));
    EXPECT_EQ(probe.videoPackets, frames);
    EXPECT_DOUBLE_EQ(probe.frameRate, 30);
    EXPECT_TRUE(probe.audio);
    EXPECT_EQ(probe.audioSamples, samples);
    EXPECT_EQ(probe.audioSamples, frames * 44100 / 30);
}

// A 30 fps source into a 10 fps movie: two frames of three are left out, and none is lost.
TEST_F(CaptureMovieTest, AMovieSlowerThanItsSourceDropsNothing) {
    control->setCaptureFrameRate(10);
    ASSERT_TRUE(control->StartCapture());
    ASSERT_TRUE(waitForFrames(12));
    control->StopCapture();
    ASSERT_TRUE(waitForEnd());
    qint64 elapsed, frames, dropped, bytes, samples;
    double rate;
    control->CaptureStatistics(elapsed, frames, dropped, bytes, samples, rate);
    EXPECT_EQ(rate, 10);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(ProbeMovie(file).videoPackets, frames);
}

TEST_F(CaptureMovieTest, AMovieThatCannotBeMadeDoesNotStart) {
    control->setCaptureFile(QStringLiteral("/no/such/folder/movie.avi"));
    EXPECT_FALSE(control->StartCapture());
    EXPECT_TRUE(control->CaptureError().contains(QStringLiteral("/no/such/folder"))) << control->CaptureError().toStdString();
    EXPECT_FALSE(control->Capturing());
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(ended.isEmpty());
    control->setConnected(false);
    control->setCaptureFile(file);
    EXPECT_FALSE(control->StartCapture());
    EXPECT_FALSE(control->OpenFrameCapture(5));
}

TEST_F(CaptureMovieTest, TheTimeLimitEndsTheMovieByItself) {
    control->setTimeLimitEnabled(true);
    control->setTimeLimit(1);
    ASSERT_TRUE(control->StartCapture());
    ASSERT_TRUE(WaitUntil([&] { return !ended.isEmpty(); }, 4000));
    EXPECT_EQ(ended, QStringList{QString()});
    EXPECT_FALSE(control->Capturing());
    const test::MovieProbe probe = ProbeMovie(file);
    EXPECT_EQ(probe.videoPackets, 30);
    EXPECT_FALSE(probe.audio);
}

TEST_F(CaptureMovieTest, ClosingTheSourceEndsTheMovieWithAReasonAndKeepsItPlayable) {
    ASSERT_TRUE(control->StartCapture());
    ASSERT_TRUE(waitForFrames(5));
    control->setConnected(false);
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(ended.size(), 1);
    EXPECT_FALSE(ended.front().isEmpty());
    EXPECT_GE(ProbeMovie(file).videoPackets, 5);
}

TEST_F(CaptureMovieTest, FrameByFrameMovieHasOneFramePerCallAtItsRate) {
    EXPECT_FALSE(control->CaptureFrame());
    ASSERT_TRUE(WaitUntil([&] { return !control->CurrentPicture().isNull(); }, 2000));
    ASSERT_TRUE(control->OpenFrameCapture(5));
    EXPECT_FALSE(control->Capturing());
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(waitForNewFrame());
        EXPECT_TRUE(control->CaptureFrame());
    }
    control->CloseFrameCapture();
    ASSERT_TRUE(waitForEnd());
    const test::MovieProbe probe = ProbeMovie(file, true);
    EXPECT_EQ(probe.videoPackets, 7);
    EXPECT_DOUBLE_EQ(probe.frameRate, 5);
    ASSERT_EQ(probe.counters.size(), 7u);
    for (std::size_t i = 1; i < probe.counters.size(); ++i) EXPECT_GT(probe.counters[i], probe.counters[i - 1]);
}

TEST_F(CaptureMovieTest, ASourceThatEndsEndsTheMovieWithTheReason) {
    const QString clip = QDir(QString::fromLocal8Bit(qgetenv("KESTROVA_HOME"))).filePath(QStringLiteral("clip.ts"));
    ASSERT_FALSE(kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=1", "-c:v", "mpeg2video", "-f", "mpegts"}, clip)
                     .isEmpty());
    control->setConnected(false);
    ASSERT_TRUE(control->OpenStream(clip));
    ASSERT_TRUE(WaitUntil([&] { return opened == 2; }, 4000));
    ASSERT_TRUE(control->StartCapture());
    ASSERT_TRUE(WaitUntil([&] { return !ended.isEmpty(); }, 4000));
    EXPECT_FALSE(ended.front().isEmpty());
    EXPECT_FALSE(control->Capturing());
    const test::MovieProbe probe = ProbeMovie(file, true);
    EXPECT_GE(probe.decodedFrames, 10);
    EXPECT_EQ(probe.decodedFrames, probe.videoPackets);
}

TEST_F(CaptureMovieTest, OverlaysAreDrawnIntoTheMovie) {
    QImage square(40, 40, QImage::Format_RGB32);
    square.fill(QColor(200, 100, 30));  // a colour none of the pattern's bars has
    control->ImageOverlay(square, 10, 10, QColor(0, 255, 0), 0);
    ASSERT_TRUE(control->StartCapture());
    ASSERT_TRUE(waitForFrames(3));
    control->StopCapture();
    ASSERT_TRUE(waitForEnd());
    const test::MovieProbe probe = ProbeMovie(file, true);
    ASSERT_FALSE(probe.firstPicture.isNull());
    EXPECT_TRUE(kestrova::test::NearColour(probe.firstPicture.constScanLine(30) + 3 * 30, 30, 100, 200, 25));
}
