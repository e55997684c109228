// The engine with local sources: Test Pattern and FFmpeg filter graphs as cameras, a local file as a
// stream, the frame hand-overs and the thread's life.

#include "platform/media/demuxed_video.h"
#include "platform/media/frame_queue.h"
#include "platform/media/media_session.h"
#include "platform/media/source_runner.h"
#include "platform/media/test_pattern.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "test_http_server.h"

#include <QElapsedTimer>

using namespace kestrova;
using namespace kestrova::media;
using kestrova::test::KestrovaTest;
using kestrova::test::NearColour;
using kestrova::test::WaitUntil;

namespace {

struct Recorded {
    int opened = 0;
    QSize size;
    QStringList failures;
    QStringList losses;
    int notices = 0;
};

void watch(MediaSession& session, Recorded& recorded) {
    QObject::connect(&session, &MediaSession::opened, [&recorded](QSize size) {
        ++recorded.opened;
        recorded.size = size;
    });
    QObject::connect(&session, &MediaSession::failed, [&recorded](const QString& reason) { recorded.failures << reason; });
    QObject::connect(&session, &MediaSession::lost, [&recorded](const QString& reason) { recorded.losses << reason; });
    QObject::connect(&session, &MediaSession::frameAvailable, [&recorded] { ++recorded.notices; });
}

Frame numbered(std::int64_t number) {
    Frame frame = Frame::fromImage(NewFrameImage(4, 4));
    frame.number = number;
    return frame;
}

SourceSettings settings(const char* kind, const QString& address = {}, QSize size = {}, double fps = 0) {
    SourceSettings settings;
    settings.kind = QString::fromLatin1(kind);
    settings.address = address;
    settings.size = size;
    settings.fps = fps;
    return settings;
}

}  // namespace

TEST(MediaHandOver, QueueDropsAndCountsWhatDoesNotFitAndSlotKeepsTheNewest) {
    BoundedFrameQueue queue(2);
    for (int i = 1; i <= 4; ++i) queue.push(numbered(i));
    EXPECT_EQ(queue.dropped(), 2);
    const auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    EXPECT_EQ(queue.pop(soon)->number, 1);
    EXPECT_EQ(queue.pop(soon)->number, 2);
    EXPECT_FALSE(queue.pop(soon).has_value());
    queue.close();
    EXPECT_FALSE(queue.push(numbered(5)));

    LatestFrameSlot slot;
    int notices = 0;
    slot.setNotify([&notices] { ++notices; });
    for (int i = 1; i <= 5; ++i) slot.publish(numbered(i));
    EXPECT_EQ(notices, 1) << "one notice until the frame is taken";
    EXPECT_EQ(slot.take().number, 5);
    slot.publish(numbered(6));
    EXPECT_EQ(notices, 2);
}

TEST(MediaOpen, ACameraTheUserMayNotOpenNamesTheVideoGroup) {
    const QString denied = OpenFailureText(AVERROR(EACCES), "/dev/video0");
    EXPECT_TRUE(denied.startsWith("/dev/video0: permission denied")) << denied.toStdString();
    EXPECT_TRUE(denied.contains("\"video\" group")) << denied.toStdString();
    EXPECT_EQ(OpenFailureText(AVERROR(EACCES), "/srv/clip.avi"), AvErrorText(AVERROR(EACCES))) << "a file is not a camera";
    EXPECT_EQ(OpenFailureText(AVERROR(ENOENT), "/dev/video9"), AvErrorText(AVERROR(ENOENT)));
}

TEST(MediaHandOver, ReconnectDelaysDoubleUpToThirtySeconds) {
    const int expected[] = {1, 2, 4, 8, 16, 30, 30};
    for (int attempt = 1; attempt <= 7; ++attempt) EXPECT_EQ(ReconnectDelay(attempt).count(), expected[attempt - 1]) << attempt;
}

TEST(MediaTestPattern, CounterReadsBackAndBarsStartWhite) {
    for (QSize size : {QSize(640, 480), QSize(1280, 720), QSize(96, 64)}) {
        QImage image = NewFrameImage(size.width(), size.height());
        for (std::int64_t number : {0, 1, 12345, 0xABCDEF}) {
            DrawTestPattern(image, number, 30, QTime(12, 34, 56));
            EXPECT_EQ(ReadTestPatternCounter(image), number) << size.width();
        }
        DrawTestPattern(image, 0, 30, QTime(0, 0));
        EXPECT_TRUE(NearColour(image.constScanLine(0), 255, 255, 255, 0));
        EXPECT_TRUE(NearColour(image.constScanLine(0) + 3 * (size.width() - 1), 0, 0, 0, 0)) << "black bar last";
    }
    QImage grey(200, 100, QImage::Format_BGR888);
    grey.fill(QColor(128, 128, 128));
    EXPECT_FALSE(ReadTestPatternCounter(grey).has_value());
}

// The preview is the picture at the screen's size, red, green and blue in their places.
TEST(MediaTestPattern, PreviewIsThePictureScaledToTheScreen) {
    QImage image = NewFrameImage(640, 480);
    DrawTestPattern(image, 0, 30, QTime(0, 0));
    Frame frame = Frame::fromImage(image);
    frame.attachPreview(QSize(320, 240));
    for (QSize size : {QSize(320, 240), QSize(1280, 960), QSize(100, 37)}) {
        const QImage preview = frame.preview(size);
        ASSERT_EQ(preview.size(), size);
        EXPECT_EQ(preview.format(), QImage::Format_RGB32);
        for (const QPoint at : {QPoint(0, 0), QPoint(size.width() / 3, 2), QPoint(size.width() - 1, size.height() - 1)}) {
            const QPoint source(at.x() * 640 / size.width(), at.y() * 480 / size.height());
            EXPECT_EQ(preview.pixelColor(at), image.pixelColor(source)) << size.width() << " at " << at.x() << "," << at.y();
        }
    }
}

using MediaSessions = KestrovaTest;

TEST_F(MediaSessions, TestPatternRunsInRealTimeAtTheAskedSize) {
    MediaSession session(settings(KindTestPattern, {}, QSize(320, 240), 30));
    Recorded recorded;
    watch(session, recorded);
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return recorded.opened == 1; }, 2000));
    EXPECT_EQ(recorded.size, QSize(320, 240));
    QElapsedTimer clock;
    clock.start();
    std::optional<std::int64_t> first;
    std::int64_t last = -1;
    int frames = 0;
    ASSERT_TRUE(WaitUntil([&] {
        const Frame frame = session.takeLatest();
        if (frame.isValid() && frame.number != last) {
            last = frame.number;
            ++frames;
            EXPECT_EQ(frame.image().size(), QSize(320, 240));
            EXPECT_EQ(frame.image().format(), QImage::Format_BGR888);
            if (!first) first = ReadTestPatternCounter(frame.image());
        }
        return clock.elapsed() >= 1000;
    }, 3000));
    const Frame frame = session.takeLatest();
    ASSERT_TRUE(first.has_value());
    const std::int64_t produced = *ReadTestPatternCounter(frame.image()) - *first;
    EXPECT_GE(produced, 22) << "30 frames a second, give or take the machine's load";
    EXPECT_LE(produced, 38);
    EXPECT_GT(frames, 10);
    EXPECT_LE(recorded.notices, frames + 1) << "no more notices than frames taken";
    EXPECT_TRUE(recorded.failures.isEmpty());
}

TEST_F(MediaSessions, FilterGraphAsCameraDeliversItsPicture) {
    MediaSession session(settings(KindLavfi, "color=c=0x3060c0:s=200x100:r=25"));
    Recorded recorded;
    watch(session, recorded);
    session.runner().setPreviewSize(QSize(50, 25));
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return recorded.opened == 1 && session.takeLatest().isValid(); }, 5000))
        << recorded.failures.join(";").toStdString();
    const Frame frame = session.takeLatest();
    EXPECT_EQ(recorded.size, QSize(200, 100));
    EXPECT_EQ(frame.image().size(), QSize(200, 100));
    EXPECT_TRUE(NearColour(frame.image().constScanLine(50) + 3 * 100, 0xc0, 0x60, 0x30));
    // The preview made from the decoder's picture on the source thread has the same colour.
    const QColor shown = frame.preview(QSize(50, 25)).pixelColor(25, 12);
    EXPECT_NEAR(shown.red(), 0x30, 12);
    EXPECT_NEAR(shown.green(), 0x60, 12);
    EXPECT_NEAR(shown.blue(), 0xc0, 12);
}

// Left half red, right half blue: the preview made from a decoded YUV picture keeps them in place,
// whether it is a fraction of the picture (sampled planes) or an odd size.
TEST_F(MediaSessions, PreviewOfADecodedPictureKeepsItsGeometry) {
    MediaSession session(settings(KindLavfi, "color=c=red:s=320x240:r=25[a];color=c=blue:s=160x240:r=25[b];"
                                         "[a][b]overlay=x=160,format=yuv420p[out0]"));
    Recorded recorded;
    watch(session, recorded);
    session.runner().setPreviewSize(QSize(160, 120));
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return session.takeLatest().isValid(); }, 5000)) << recorded.failures.join(";").toStdString();
    const Frame frame = session.takeLatest();
    for (QSize size : {QSize(160, 120), QSize(80, 60), QSize(213, 97), QSize(320, 240)}) {
        const QImage preview = frame.preview(size);
        ASSERT_EQ(preview.size(), size);
        for (const auto& [x, red] : {std::pair{size.width() / 4, true}, std::pair{size.width() / 2 - 3, true},
                                     std::pair{size.width() / 2 + 3, false}, std::pair{size.width() - 1, false}}) {
            const QColor shown = preview.pixelColor(x, size.height() / 2);
            EXPECT_GT(red ? shown.red() : shown.blue(), 200) << size.width() << " at " << x;
            EXPECT_LT(red ? shown.blue() : shown.red(), 60) << size.width() << " at " << x;
        }
    }
}

TEST_F(MediaSessions, LocalFilePlaysInRealTimeAndIsReportedOnceWhenItEnds) {
    const QString path = tempPath("clip.ts");
    ASSERT_FALSE(kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "color=c=0x3060c0:s=160x120:r=25:d=1", "-c:v", "mpeg2video",
                                                 "-q:v", "2", "-f", "mpegts"},
                                                path)
                     .isEmpty());
    MediaSession session(settings(KindStream, path));
    Recorded recorded;
    watch(session, recorded);
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return session.takeLatest().isValid(); }, 5000)) << recorded.failures.join(";").toStdString();
    const Frame early = session.takeLatest();
    EXPECT_EQ(early.image().size(), QSize(160, 120));
    EXPECT_TRUE(NearColour(early.image().constScanLine(60) + 3 * 80, 0xc0, 0x60, 0x30));
    EXPECT_LT(early.number, 12) << "a one-second file is not decoded at once";
    ASSERT_TRUE(WaitUntil([&] { return !recorded.losses.isEmpty(); }, 4000));
    EXPECT_GE(session.takeLatest().number, 20);
    EXPECT_EQ(recorded.losses.size(), 1);
}

TEST_F(MediaSessions, FailuresArriveWithAReason) {
    struct Case {
        SourceSettings settings;
        const char* reasonPart;
    };
    const Case cases[] = {
        {settings(KindStream, tempPath("missing.avi")), "No such file"},
        {settings(KindLavfi, "nosuchfilter=x=1"), "Invalid argument"},
        {settings("nosuchkind"), "unknown kind"},
        {settings(KindCamera, "/dev/kestrova-no-camera"), "No such file"},
    };
    for (const Case& each : cases) {
        MediaSession session(each.settings);
        Recorded recorded;
        watch(session, recorded);
        session.start();
        ASSERT_TRUE(WaitUntil([&] { return !recorded.failures.isEmpty(); }, 5000)) << each.settings.address.toStdString();
        EXPECT_FALSE(recorded.failures.front().isEmpty());
        EXPECT_TRUE(recorded.failures.front().contains(QLatin1String(each.reasonPart))) << recorded.failures.front().toStdString();
        EXPECT_EQ(recorded.opened, 0);
        EXPECT_EQ(session.runner().state(), RunnerState::Failed);
    }
}

TEST_F(MediaSessions, GrabTakesOneFrameOfAnySourceWithinItsDeadline) {
    const GrabResult pattern = GrabFrame(settings(KindTestPattern, {}, QSize(1280, 720)), std::chrono::seconds(3));
    ASSERT_TRUE(pattern.frame.isValid()) << pattern.reason.toStdString();
    EXPECT_EQ(pattern.frame.image().size(), QSize(1280, 720));
    EXPECT_EQ(ReadTestPatternCounter(pattern.frame.image()), 0);

    QElapsedTimer clock;
    clock.start();
    const GrabResult missing = GrabFrame(settings(KindStream, tempPath("none.ts")), std::chrono::seconds(3));
    EXPECT_FALSE(missing.frame.isValid());
    EXPECT_FALSE(missing.reason.isEmpty());
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST_F(MediaSessions, AttachedQueueSeesEveryFrameAndStopJoinsTheThread) {
    SourceRunner runner(settings(KindTestPattern, {}, QSize(160, 120), 60), {});
    auto queue = std::make_shared<BoundedFrameQueue>(100);
    runner.attach(queue);
    runner.start();
    std::int64_t previous = 0;
    for (int i = 0; i < 10; ++i) {
        const auto frame = queue->pop(std::chrono::steady_clock::now() + std::chrono::seconds(2));
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(frame->number, previous + 1);
        EXPECT_EQ(ReadTestPatternCounter(frame->image()), frame->number - 1);
        previous = frame->number;
    }
    QElapsedTimer clock;
    clock.start();
    runner.stop();
    EXPECT_LT(clock.elapsed(), 50) << "stopping never waits for the thread";
    EXPECT_TRUE(runner.waitStopped(std::chrono::seconds(1)));
    EXPECT_EQ(runner.state(), RunnerState::Stopped);
}
