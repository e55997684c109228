// The capture control over the engine: connecting devices by index, formats, the live picture and
// its coalesced repaint, streams, overlays, and the members that answer without hardware.

#include "platform/capture_control.h"
#include "platform/media/frame_queue.h"
#include "platform/media/test_pattern.h"

#include "fake_tv_card.h"
#include "kestrova_test.h"
#include "media_test_support.h"
#include "test_http_server.h"

#include <QPainter>
#include <QThread>

using namespace kestrova;
using kestrova::test::NearColour;
using kestrova::test::WaitUntil;

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class CaptureControlTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        control = std::make_unique<CaptureControl>();
        control->resize(320, 240);
        QObject::connect(control.get(), &CaptureControl::opened, [this] { ++opened; });
        QObject::connect(control.get(), &CaptureControl::openFailed, [this](const QString& reason) { failures << reason; });
    }
    void connectTestPattern() {
        control->setVideoDeviceIndex(control->VideoDeviceCount() - 1);
        control->setConnected(true);
        ASSERT_TRUE(WaitUntil([&] { return opened > 0; }, 3000)) << failures.join(";").toStdString();
    }

    std::unique_ptr<CaptureControl> control;
    int opened = 0;
    QStringList failures;
};

}  // namespace

TEST_F(CaptureControlTest, TestPatternConnectsAtItsDefaultAndAtAChosenFormat) {
    const int last = control->VideoDeviceCount() - 1;
    EXPECT_EQ(control->VideoDeviceName(last), QStringLiteral("Test Pattern"));
    EXPECT_FALSE(control->Connected());
    EXPECT_EQ(control->VideoWidth(), 0);
    connectTestPattern();
    EXPECT_TRUE(control->Connected());
    EXPECT_EQ(control->VideoWidth(), 640);
    EXPECT_EQ(control->VideoHeight(), 480);
    ASSERT_TRUE(WaitUntil([&] { return !control->CurrentPicture().isNull(); }, 2000));
    EXPECT_TRUE(media::ReadTestPatternCounter(control->CurrentPicture()).has_value());
    EXPECT_EQ(control->VideoInputCount(), 1);

    const std::vector<media::FormatRow> rows = control->VideoFormats();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1].width, 1280);
    EXPECT_EQ(rows[1].bitsPerPixel, 24);
    ASSERT_TRUE(control->SelectVideoFormat(1));
    ASSERT_TRUE(WaitUntil([&] { return opened == 2; }, 3000));
    control->QueryVideoSize();
    EXPECT_EQ(QSize(control->VideoWidth(), control->VideoHeight()), QSize(1280, 720));
    EXPECT_FALSE(control->SelectVideoFormat(int(rows.size())));

    control->setConnected(false);
    EXPECT_FALSE(control->Connected());
    EXPECT_EQ(control->VideoWidth(), 0);
    EXPECT_TRUE(control->CurrentPicture().isNull());
}

// A busy UI thread must find one repaint waiting afterwards, not one per frame it missed. Time is
// counted in the source's own frames (30 a second), waited for with a deadline.
TEST_F(CaptureControlTest, RepaintsAreCoalescedWhileTheUiThreadIsBusy) {
    PaintCounter counter;
    control->installEventFilter(&counter);
    control->setPreviewOn(true);
    control->setPreviewFrameRate(30);
    control->show();
    connectTestPattern();
    media::LatestFrameSlot& slot = control->session()->runner().latest();
    const auto newest = [&slot] {
        const auto frame = slot.waitNewer(-1, std::chrono::steady_clock::now());
        return frame ? frame->number : std::int64_t(0);
    };
    const auto framesLater = [&](std::int64_t count) {
        const std::int64_t target = newest() + count;
        return WaitUntil([&] { return newest() >= target; }, 3000);
    };
    ASSERT_TRUE(WaitUntil([&] { return counter.paints >= 3; }, 3000));
    // The UI thread blocked while 18 frames arrive.
    const std::int64_t blockedAt = newest();
    ASSERT_TRUE(slot.waitNewer(blockedAt + 17, std::chrono::steady_clock::now() + std::chrono::seconds(3)));
    const int before = counter.paints;
    ASSERT_TRUE(framesLater(3));
    EXPECT_LE(counter.paints - before, 5);
    EXPECT_GE(counter.paints - before, 1);
    // And the preview keeps to its rate: about 5 paints while the source gives 30 frames.
    control->setPreviewFrameRate(5);
    ASSERT_TRUE(framesLater(9));
    const int slow = counter.paints;
    ASSERT_TRUE(framesLater(30));
    EXPECT_LE(counter.paints - slow, 8);
}

TEST_F(CaptureControlTest, StreamsAndNetworkCamerasReportTheirOutcome) {
    const QString clip = tempPath("clip.ts");
    ASSERT_FALSE(kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "color=c=0x3060c0:s=160x120:r=25:d=3", "-c:v", "mpeg2video",
                                                 "-f", "mpegts"},
                                                clip)
                     .isEmpty());
    EXPECT_FALSE(control->OpenStream("  "));
    ASSERT_TRUE(control->OpenStream(clip));
    ASSERT_TRUE(WaitUntil([&] { return opened == 1 && !control->CurrentPicture().isNull(); }, 4000)) << failures.join(";").toStdString();
    EXPECT_EQ(control->VideoWidth(), 160);
    EXPECT_TRUE(NearColour(control->CurrentPicture().constScanLine(60) + 3 * 80, 0xc0, 0x60, 0x30));
    control->StopStream();
    EXPECT_FALSE(control->Connected());
    EXPECT_TRUE(control->PlayStream());
    ASSERT_TRUE(WaitUntil([&] { return opened == 2; }, 4000));
    control->CloseStream();
    EXPECT_FALSE(control->PlayStream());

    kestrova::test::TestHttpServer server;
    server.route("/page", kestrova::test::TestHttpServer::file("hello", "text/plain"));
    control->setVideoDeviceIndex(CaptureControl::NetworkCameraIndex);
    control->setCameraUrl(server.url("/page"));
    control->setConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return !failures.isEmpty(); }, 4000));
    EXPECT_TRUE(failures.front().contains("text/plain")) << failures.front().toStdString();
    EXPECT_FALSE(control->Connected());

    control->setVideoDeviceIndex(control->VideoDeviceCount() + 5);
    control->setConnected(true);
    EXPECT_EQ(failures.size(), 2);
    EXPECT_FALSE(control->Connected());
}

// A recorder takes every frame from a bounded queue on the open session while the preview runs.
TEST_F(CaptureControlTest, SessionFeedsAnAttachedQueueBesideThePreview) {
    control->setPreviewOn(true);
    connectTestPattern();
    ASSERT_NE(control->session(), nullptr);
    auto queue = std::make_shared<media::BoundedFrameQueue>(64);
    control->session()->runner().attach(queue);
    std::int64_t previous = -1;
    for (int i = 0; i < 5; ++i) {
        const auto frame = queue->pop(std::chrono::steady_clock::now() + std::chrono::seconds(2));
        ASSERT_TRUE(frame.has_value());
        const auto counter = media::ReadTestPatternCounter(frame->image());
        ASSERT_TRUE(counter.has_value());
        if (previous >= 0) {
            EXPECT_EQ(*counter, previous + 1) << "no frame skipped";
        }
        previous = *counter;
        const PictureView view = ViewOf(frame->image());
        EXPECT_TRUE(view.isValid());
        EXPECT_EQ(view.stride % 4, 0);
        EXPECT_EQ(view.row(0), frame->image().constScanLine(0));
    }
    control->session()->runner().detach(queue);
    WaitUntil([] { return false; }, 100);
    while (queue->pop(std::chrono::steady_clock::now())) {
    }
    WaitUntil([] { return false; }, 150);
    EXPECT_FALSE(queue->pop(std::chrono::steady_clock::now()).has_value()) << "nothing after detaching";
    EXPECT_EQ(queue->dropped(), 0);
}

TEST_F(CaptureControlTest, MembersWithoutHardwareAnswerPlainly) {
    connectTestPattern();
    EXPECT_EQ(control->DeviceKind(), 0);
    EXPECT_EQ(control->DVTransport(0), 0);
    EXPECT_TRUE(control->DVTimecode().isEmpty());
    EXPECT_FALSE(control->setTunerChannel(5)) << "no tuner on Test Pattern";
    EXPECT_EQ(control->TunerSignal(), 0);
    control->setTunerCountry(49);
    control->setTunerInput(2);
    EXPECT_EQ(control->TunerChannel(-2), 2);
    EXPECT_EQ(control->TunerChannel(-3), 69);
    EXPECT_EQ(control->AudioDeviceName(control->AudioDeviceCount() - 1), QStringLiteral("Test Tone"));
    EXPECT_EQ(control->RecordingLevel(40), 40);
    EXPECT_EQ(control->RecordingLevel(), 40);
    control->setUseVMR9(true);
    EXPECT_TRUE(control->UseVMR9());
}

TEST_F(CaptureControlTest, TunerMembersTuneTheCountrysPlanAndReportASignal) {
    auto card = kestrova::test::InstallFakeTvCard(*control);
    ASSERT_EQ(control->VideoDeviceName(0), QStringLiteral("TV Card"));
    control->setVideoDeviceIndex(1);
    EXPECT_EQ(control->DeviceKind(), 0);
    EXPECT_FALSE(control->setTunerChannel(5)) << "a device without a tuner ignores the call";
    EXPECT_TRUE(card->tuned.empty());

    control->setVideoDeviceIndex(0);
    EXPECT_EQ(control->DeviceKind(), 1);
    struct Case {
        int country, input, channel;
        std::int64_t hertz;  // 0: not tuned, the channel stays
    };
    const Case cases[] = {{1, 2, 7, 175250000}, {1, 1, 14, 121250000}, {49, 2, 21, 471250000},
                          {49, 2, 15, 0}, {49, 2, 70, 0}, {351, 1, 13, 105250000}};
    for (const Case& each : cases) {
        const int before = control->TunerChannel();
        const size_t count = card->tuned.size();
        control->setTunerCountry(each.country);
        control->setTunerInput(each.input);
        const bool tuned = control->setTunerChannel(each.channel);
        EXPECT_EQ(tuned, each.hertz != 0) << each.country << "/" << each.input << "/" << each.channel;
        if (tuned) {
            EXPECT_EQ(card->tuned.back(), each.hertz);
            EXPECT_EQ(control->TunerChannel(), each.channel);
        } else {
            EXPECT_EQ(card->tuned.size(), count);
            EXPECT_EQ(control->TunerChannel(), before);
        }
    }
    control->setTunerCountry(1);
    control->setTunerInput(1);
    EXPECT_EQ(control->TunerChannel(-2), 2);
    EXPECT_EQ(control->TunerChannel(-3), 125);

    // Strength in percent becomes the yes or no a scan stops on.
    control->setTunerInput(2);
    card->strength = {{175250000, 100}, {181250000, 49}, {187250000, 50}};
    for (const auto& [channel, signal] : std::vector<std::pair<int, int>>{{7, 1}, {8, 0}, {9, 1}, {10, 0}}) {
        ASSERT_TRUE(control->setTunerChannel(channel));
        EXPECT_EQ(control->TunerSignal(), signal) << "channel " << channel;
    }
}

TEST(CaptureOverlaysTest, TimecodeAndKeyedPictureOverlay) {
    EXPECT_EQ(SmpteTimecode(0, 30), QStringLiteral("00:00:00:00"));
    EXPECT_EQ(SmpteTimecode(3723500, 30), QStringLiteral("01:02:03:15"));
    EXPECT_EQ(SmpteTimecode(999, 25), QStringLiteral("00:00:00:24"));

    QImage logo(4, 4, QImage::Format_RGB32);
    logo.fill(QColor(255, 0, 255));
    logo.setPixelColor(1, 1, QColor(0, 255, 0));
    CaptureOverlays overlays;
    overlays.setImage(logo, 10, 10, QColor(255, 0, 255));
    QImage frame(32, 32, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    {
        QPainter painter(&frame);
        DrawCaptureOverlays(painter, overlays, 0, 30);
    }
    EXPECT_EQ(frame.pixelColor(11, 11), QColor(0, 255, 0));
    EXPECT_EQ(frame.pixelColor(10, 10), QColor(Qt::blue)) << "the transparency colour lets the picture through";
    overlays.setImage(QImage(), 0, 0, Qt::black);
    overlays.setText(1, {"SMPTE", 0, 0, "Arial", 8, Qt::white});
    EXPECT_FALSE(overlays.isEmpty());
    overlays.setText(1, {});
    EXPECT_TRUE(overlays.isEmpty());
}
