// The texts the main window shows while a capture runs, without a window.

#include "capture/capture_progress.h"

#include "core/global_state.h"

#include "kestrova_test.h"

using namespace kestrova;

using CaptureProgressTest = kestrova::test::KestrovaTest;

TEST(CaptureTexts, TimesTimecodesFontSizesAndZoom) {
    EXPECT_EQ(FrameTimeText(45, 30), "00:00:01.15");
    EXPECT_EQ(FrameTimeText(0, 30), "00:00:00.00");
    EXPECT_EQ(FrameTimeText(3600 * 25 + 61 * 25 + 24, 25), "01:01:01.24");
    EXPECT_EQ(FrameTimeText(7, 0), "00:00:07.00");  // no rate yet counts as one frame per second
    EXPECT_EQ(ElapsedTimeText(3723456), "01:02:03:45");
    EXPECT_EQ(ElapsedTimeText(999), "00:00:00:99");
    EXPECT_EQ(ElapsedTimeText(360000000), "100:00:00:00");
    EXPECT_EQ(TimecodeText(0x01234512), "01:23:45:12");
    EXPECT_EQ(TimecodeText(0), "00:00:00:00");
    const std::tuple<int, int, int> fonts[] = {{320, 240, 8}, {1920, 1080, 20}, {640, 480, 15}, {800, 600, 20}, {0, 0, 8}};
    for (const auto& [width, height, size] : fonts) EXPECT_EQ(TimecodeFontSize(width, height), size) << width;
    EXPECT_EQ(ZoomedSize(640, 480, 0.33), QSize(211, 158));
    EXPECT_EQ(ZoomedSize(640, 480, 0.5), QSize(320, 240));
    EXPECT_EQ(ZoomedSize(5, 3, 0.5), QSize(2, 2));  // 2.5 and 1.5 go to the even neighbour
}

TEST(CaptureTexts, DroppedFramesTurnRedPastTheShare) {
    struct Case {
        std::int64_t frames, dropped;
        int percent;
        QString text;
        QColor colour;
    };
    const QColor green(0, 250, 0), red(250, 0, 0);
    const Case cases[] = {{200, 20, 10, "20 = 10%", green}, {200, 21, 10, "21 = 10%", red}, {0, 0, 10, "none", green},
                          {50, 0, 10, "none", green},       {300, 1, 1, "1 = 0%", green},   {10, 3, 1, "3 = 30%", red}};
    for (const Case& c : cases) {
        const DroppedText shown = DroppedFramesText(c.frames, c.dropped, c.percent);
        EXPECT_EQ(shown.text, c.text) << c.frames << " " << c.dropped;
        EXPECT_EQ(shown.colour, c.colour) << c.frames << " " << c.dropped;
    }
}

TEST_F(CaptureProgressTest, TheCallbackKeepsTheLastMessageAndMarksTheEnd) {
    EXPECT_TRUE(StatusCallback(1, 510, "Captured 3 frames"));
    EXPECT_EQ(Vars.LastStatusID, 510);
    EXPECT_EQ(Vars.LastStatusText, "Captured 3 frames");
    EXPECT_FALSE(Vars.CaptureEnded);
    EXPECT_TRUE(StatusCallback(1, 301, "Capture End"));
    EXPECT_TRUE(Vars.CaptureEnded);
}

TEST_F(CaptureProgressTest, ProgressFollowsTheStatusAndTheBandsShown) {
    CAPSTATUS capturing;
    capturing.fCapturingNow = 1;
    capturing.dwCurrentVideoFrame = 45;
    capturing.dwCurrentVideoFramesDropped = 2;
    ProgressInputs movie;
    movie.movieBand = true;
    movie.recordImage = "record";
    movie.frameRate = 30;

    EXPECT_FALSE(CaptureProgress(0, capturing, movie).statusTime);

    ProgressOutput out = CaptureProgress(510, capturing, movie);
    EXPECT_EQ(out.recordImage, "stop");
    EXPECT_EQ(out.statusString, "Recording");
    EXPECT_EQ(out.statusTime, "00:00:01.15");
    ASSERT_TRUE(out.dropped);
    EXPECT_EQ(out.dropped->text, "2 = 4%");
    EXPECT_FALSE(out.ended);

    ProgressInputs multiple = movie;
    multiple.movieBand = false;
    multiple.multipleBand = true;
    multiple.shooterVisible = true;
    multiple.recordImage = "stop";
    out = CaptureProgress(510, capturing, multiple);
    EXPECT_FALSE(out.recordImage);
    EXPECT_EQ(out.statusString, "45 frames captured");
    ASSERT_TRUE(out.dropped);
    EXPECT_TRUE(out.dropped->text.isEmpty());
    EXPECT_FALSE(out.dropped->colour.isValid());
    multiple.shooterVisible = false;
    EXPECT_FALSE(CaptureProgress(510, capturing, multiple).statusString);

    capturing.dwCurrentVideoFrame = 0;
    EXPECT_EQ(CaptureProgress(510, capturing, movie).statusTime, "00:00:00:00");

    const CAPSTATUS idle;
    movie.recordImage = "stop";
    Vars.CaptureEnded = true;
    out = CaptureProgress(301, idle, movie);
    EXPECT_EQ(out.recordImage, "record");
    EXPECT_TRUE(out.ended);
    movie.movieBand = false;
    EXPECT_FALSE(CaptureProgress(301, idle, movie).ended);  // no capture band shown
}
