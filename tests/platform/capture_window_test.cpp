// The capture window's procedures on the Test Pattern driver: enumeration, records, movies that end
// by their limit or a click, single frames and stills.

#include "platform/capture_window.h"

#include "kestrova_test.h"
#include "sanitizers.h"
#include "media_test_support.h"
#include "movie_probe.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QWidget>

#include <thread>

using namespace kestrova;
using kestrova::test::ProbeMovie;

namespace {

class CaptureWindowTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        parent.resize(800, 600);
        parent.show();
        window = capCreateCaptureWindow("VIDEO WINDOW", &parent, 0, 0, 160, 120);
        capSetCallbackOnStatus(window, [this](quintptr, int id, const QString& text) {
            ids.push_back(id);
            texts << text;
            return true;
        });
    }
    void TearDown() override {
        capDriverDisconnect(window);
        SetCapDriverDescriber({});
        KestrovaTest::TearDown();
    }

    void connectTestPattern() { ASSERT_TRUE(capDriverConnect(window, capDriverCount() - 1)); }

    // A movie of `seconds` (0: no limit) with the sequence in the foreground.
    void setUpMovie(const QString& file, unsigned seconds) {
        CAPTUREPARMS parms;
        ASSERT_TRUE(capCaptureGetSetup(window, parms));
        parms.dwRequestMicroSecPerFrame = FrameInterval(30);
        parms.fYield = 0;
        parms.fLimitEnabled = seconds > 0;
        parms.wTimeLimit = seconds;
        ASSERT_TRUE(capCaptureSetSetup(window, parms));
        ASSERT_TRUE(capFileSetCaptureFile(window, file));
    }

    QWidget parent;
    quintptr window = 0;
    std::vector<int> ids;
    QStringList texts;
};

}  // namespace

TEST(CaptureDrivers, AreCountedUpToTheFirstIndexWithoutOne) {
    struct Case {
        std::vector<int> present;
        int count;
    };
    for (const Case& c : {Case{{}, 0}, Case{{0}, 1}, Case{{0, 2}, 1}, Case{{1}, 0}}) {
        SetCapDriverDescriber([&](int index, QString& description, QString& version) {
            if (std::find(c.present.begin(), c.present.end(), index) == c.present.end()) return false;
            description = QStringLiteral("Driver %1").arg(index) + QChar(0) + "left over";
            version = "1.0";
            return true;
        });
        EXPECT_EQ(capDriverCount(), c.count);
        EXPECT_EQ(capDriversPresent(), c.count > 0);
        EXPECT_EQ(capDriverName(c.count), "Error!");
        EXPECT_EQ(capDriverVersion(c.count), "Error!");
        if (c.count > 0) {
            EXPECT_EQ(capDriverName(0), "Driver 0");
        }
    }
    SetCapDriverDescriber({});
    // The engine's drivers end with the built-in camera.
    EXPECT_EQ(capDriverName(capDriverCount() - 1), "Test Pattern");
}

TEST(CaptureDrivers, FrameRatesAndIntervals) {
    const std::pair<double, unsigned> intervals[] = {{15, 66667}, {29.97, 33367}, {30, 33333}, {0, 0}};
    for (const auto& [fps, interval] : intervals) EXPECT_EQ(FrameInterval(fps), interval) << fps;
    const std::pair<int, int> previews[] = {{15, 67}, {30, 33}, {1, 1000}, {0, 0}, {-3, 0}};
    for (const auto& [fps, ms] : previews) EXPECT_EQ(PreviewInterval(fps), ms) << fps;
    // Below 2 frames per second (an interval above 500000 us) the rate shows 12.
    const std::pair<unsigned, int> rates[] = {{66667, 15}, {33367, 30}, {500000, 2}, {500001, 12}, {2000000, 12}, {0, 12}};
    for (const auto& [interval, fps] : rates) EXPECT_EQ(FramesPerSecondOfInterval(interval), fps) << interval;
}

TEST_F(CaptureWindowTest, ADriverThatDoesNotConnectAnswersNothing) {
    EXPECT_FALSE(capDriverConnect(window, 99));
    CAPSTATUS status;
    CAPDRIVERCAPS caps;
    EXPECT_FALSE(capGetStatus(window, status));
    EXPECT_FALSE(capDriverGetCaps(window, caps));
    EXPECT_FALSE(capCaptureSequence(window));
    EXPECT_FALSE(capPreview(window, 15));
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, "Torvik: Cannot set preview mode.");
    // A destroyed window's handle is refused rather than followed.
    const quintptr gone = window;
    EXPECT_TRUE(capDriverDisconnect(window));
    EXPECT_FALSE(capDriverDisconnect(gone));
    EXPECT_EQ(capFileGetCaptureFile(gone), "");
}

TEST_F(CaptureWindowTest, TheTestPatternDriverReportsItsPictureAndDialogs) {
    connectTestPattern();
    CAPDRIVERCAPS caps;
    ASSERT_TRUE(capDriverGetCaps(window, caps));
    EXPECT_EQ(caps.wDeviceIndex, unsigned(capDriverCount() - 1));
    EXPECT_EQ(caps.fHasDlgVideoFormat, 1);
    EXPECT_EQ(caps.fHasDlgVideoDisplay, 0);
    CAPSTATUS status;
    ASSERT_TRUE(capGetStatus(window, status));
    EXPECT_EQ(status.uiImageWidth, 640u);
    EXPECT_EQ(status.uiImageHeight, 480u);
    EXPECT_EQ(status.fCapturingNow, 0);

    ASSERT_TRUE(capPreview(window, 15));
    ASSERT_TRUE(capGetStatus(window, status));
    EXPECT_EQ(status.fLiveWindow, 1);
    EXPECT_FALSE(capOverlay(window));  // no overlay hardware

    QWidget* capture = CaptureWindow::find(window);
    ASSERT_TRUE(capSetWindowPos(window, 0, 0, 0, 0));
    EXPECT_EQ(capture->geometry(), QRect(0, 0, 640, 480));
    ASSERT_TRUE(capSetWindowPos(window, 10, 20, 0, 0));
    EXPECT_EQ(capture->geometry(), QRect(10, 20, 640, 480));
    ASSERT_TRUE(capSetWindowPos(window, 1, 2, 30, 40));
    EXPECT_EQ(capture->geometry(), QRect(1, 2, 30, 40));

    EXPECT_FALSE(capDlgVideoDisplay(window));
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, "Torvik: Cannot show Video Display Dialog.");

    WAVEFORMATEX wave;
    wave.nChannels = 2;
    wave.wBitsPerSample = 16;
    wave.nSamplesPerSec = 22050;
    ASSERT_TRUE(capSetAudioFormat(window, wave, capGetAudioFormatSize(window)));
    WAVEFORMATEX back;
    ASSERT_TRUE(capGetAudioFormat(window, back, 22));
    EXPECT_EQ(back.nChannels, 2);
    EXPECT_EQ(back.nSamplesPerSec, 22050u);
    wave.nChannels = 3;
    EXPECT_FALSE(capSetAudioFormat(window, wave, 18));
}

TEST_F(CaptureWindowTest, AnExclusiveMovieEndsAtItsLimitAndPlaysWithTheSoundFormatAskedFor) {
    connectTestPattern();
    const QString file = tempPath("limit.avi");
    setUpMovie(file, 1);
    CAPTUREPARMS parms;
    capCaptureGetSetup(window, parms);
    parms.fCaptureAudio = 1;
    capCaptureSetSetup(window, parms);
    WAVEFORMATEX wave;
    wave.nChannels = 2;
    wave.wBitsPerSample = 8;
    wave.nSamplesPerSec = 22050;
    ASSERT_TRUE(capSetAudioFormat(window, wave, capGetAudioFormatSize(window)));
    ASSERT_TRUE(capCaptureSequence(window));  // returns when the movie has ended
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), IDS_CAP_BEGIN);
    EXPECT_EQ(ids.back(), IDS_CAP_END);
    EXPECT_EQ(texts.back(), "Capture End");
    CAPSTATUS status;
    ASSERT_TRUE(capGetStatus(window, status));
    EXPECT_EQ(status.fCapturingNow, 0);
    EXPECT_EQ(status.dwCurrentVideoFrame, 30u);
    if (!test::UnderThreadSanitizer) {
        EXPECT_EQ(status.dwCurrentVideoFramesDropped, 0u) << "a source that keeps up";
    }
    EXPECT_EQ(status.fCapFileExists, 1);
    const test::MovieProbe movie = ProbeMovie(file);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    EXPECT_EQ(movie.container, "avi");
    EXPECT_EQ(movie.videoPackets, 30);
    EXPECT_NEAR(movie.frameRate, 30, 0.01);
    EXPECT_EQ(movie.audioCodec, "pcm_u8");
    EXPECT_EQ(movie.sampleRate, 22050);
    EXPECT_NEAR(double(movie.audioSamples), 22050, 22050 / 30.0);
}

TEST_F(CaptureWindowTest, AClickInTheCaptureWindowEndsAnExclusiveMovieWhileOtherInputWaits) {
    connectTestPattern();
    const QString file = tempPath("click.avi");
    setUpMovie(file, 0);
    QWidget* capture = CaptureWindow::find(window);
    int otherClicks = 0;
    struct Counter : QWidget {
        int* clicks;
        explicit Counter(int* c) : clicks(c) {}
        void mousePressEvent(QMouseEvent*) override { ++*clicks; }
    } other(&otherClicks);
    other.show();
    // Posted from another thread: the capture holds the UI thread until it ends.
    std::thread clicker([capture, &other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const QPointF at(5, 5);
        QCoreApplication::postEvent(&other, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {}));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QCoreApplication::postEvent(capture, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {}));
    });
    ASSERT_TRUE(capCaptureSequence(window));
    clicker.join();
    EXPECT_EQ(otherClicks, 0);
    EXPECT_EQ(ids.back(), IDS_CAP_END);
    const test::MovieProbe movie = ProbeMovie(file);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    EXPECT_GE(movie.videoPackets, 10);
    EXPECT_LE(movie.videoPackets, 60);
}

TEST_F(CaptureWindowTest, ABackgroundMovieStopsOnRequestAndSingleFramesMakeAMovieOfTheirOwn) {
    connectTestPattern();
    const QString file = tempPath("background.avi");
    setUpMovie(file, 0);
    CAPTUREPARMS parms;
    capCaptureGetSetup(window, parms);
    parms.fYield = 1;
    capCaptureSetSetup(window, parms);
    ASSERT_TRUE(capCaptureSequence(window));
    CAPSTATUS status;
    capGetStatus(window, status);
    EXPECT_EQ(status.fCapturingNow, 1);
    ASSERT_TRUE(test::WaitUntil([&] { return capGetStatus(window, status) && status.dwCurrentVideoFrame >= 5; }, 3000));
    EXPECT_FALSE(capCaptureSingleFrameOpen(window));  // one recording at a time
    ASSERT_TRUE(capCaptureStop(window));
    EXPECT_FALSE(capCaptureStop(window));
    // The movie is finished off the UI thread; its end is reported once it is whole.
    ASSERT_TRUE(test::WaitUntil([&] { return !ids.empty() && ids.back() == IDS_CAP_END; }, 5000));
    EXPECT_GE(ProbeMovie(file).videoPackets, 5);

    ids.clear();
    const QString frames = tempPath("frames.avi");
    ASSERT_TRUE(capFileSetCaptureFile(window, frames));
    ASSERT_TRUE(capCaptureSingleFrameOpen(window));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(capCaptureSingleFrame(window));
    ASSERT_TRUE(capCaptureSingleFrameClose(window));
    ASSERT_TRUE(test::WaitUntil([&] { return ProbeMovie(frames).videoPackets == 3; }, 5000));
    EXPECT_TRUE(ids.empty()) << "single frames report no end";
}

TEST_F(CaptureWindowTest, StillsGoToABitmapOrTheProgramsClipboard) {
    connectTestPattern();
    ASSERT_TRUE(test::WaitUntil([&] {
        QImage copied;
        return capEditCopy(window, copied);
    }, 3000));
    QImage copied;
    ASSERT_TRUE(capEditCopy(window, copied));
    EXPECT_EQ(copied.size(), QSize(640, 480));
    const QString file = tempPath("still.tmp");
    ASSERT_TRUE(capFileSaveDIB(window, file));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray head = written.read(54);
    EXPECT_EQ(head.left(2), "BM");
    EXPECT_EQ(quint8(head[14]), 40);  // the plain bitmap header
    EXPECT_EQ(capFileGetCaptureFile(window), "");
    capFileSetCaptureFile(window, QString(200, u'x'));
    EXPECT_EQ(capFileGetCaptureFile(window).size(), 128);
}

// Scaled to a window of other proportions (a 4:3 picture full screen on 5:4), the picture keeps its
// own, with black bars.
TEST_F(CaptureWindowTest, AScaledPictureKeepsItsProportions) {
    connectTestPattern();
    parent.resize(1000, 1000);
    ASSERT_TRUE(capSetWindowPos(window, 0, 0, 1000, 1000));
    ASSERT_TRUE(capPreview(window, 30));
    ASSERT_TRUE(capPreviewScale(window, true));
    QWidget* capture = CaptureWindow::find(window);
    QImage shot;
    const auto black = [](QRgb pixel) { return qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16; };
    ASSERT_TRUE(test::WaitUntil([&] {
        shot = capture->grab().toImage();
        return !black(shot.pixel(500, 500));
    }, 3000));
    // 640 x 480 in 1000 x 1000: 1000 x 750, bars of 125 above and below.
    for (const int y : {5, 120, 880, 995}) EXPECT_TRUE(black(shot.pixel(500, y))) << y;
    for (const int y : {200, 500}) EXPECT_FALSE(black(shot.pixel(500, y)) && black(shot.pixel(250, y)) && black(shot.pixel(750, y))) << y;
}
