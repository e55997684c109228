// The capture-window settings window, and the settings reaching the driver's record.

#include "capture/video_screen.h"
#include "capture/video_settings.h"

#include "core/global_state.h"

#include "kestrova_test.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using namespace kestrova;

using VideoSettingsTest = kestrova::test::KestrovaTest;

TEST_F(VideoSettingsTest, ShowsTheGlobalsStoresOnOkAndHasDefaults) {
    Vars.CaptureYield = 0;
    Vars.DropErrorPercent = 25;
    Vars.VideoBuffers = 4;
    Vars.DisableWriteCache = false;
    Vars.MaxIndexSize = 1000;
    VideoSettings window;
    auto* yield = window.findChild<QComboBox*>("Yield");
    auto* dropped = window.findChild<QComboBox*>("DroppedFrames");
    auto* buffers = window.findChild<QLineEdit*>("VideoBuffers");
    ASSERT_TRUE(yield && dropped && buffers);
    EXPECT_EQ(yield->currentText(), "Exclusive Task (Recommended)");
    EXPECT_EQ(dropped->count(), 101);
    EXPECT_EQ(dropped->currentText(), "Warn when drop 25 % of frames");
    EXPECT_EQ(buffers->text(), "4");
    EXPECT_EQ(window.findChild<QLineEdit*>("MaxIndexSize")->toolTip(),
              "This parameter controls the maximum number of frames captured (default: 324000 = 3 hours)");

    window.Defaults();
    EXPECT_EQ(Vars.CaptureYield, 0) << "nothing is stored before OK";
    buffers->setText(" 7.6 buffers");
    window.store();
    EXPECT_EQ(Vars.CaptureYield, 1);
    EXPECT_EQ(Vars.DropErrorPercent, 10);
    EXPECT_EQ(Vars.VideoBuffers, 8);
    EXPECT_TRUE(Vars.DisableWriteCache);
    EXPECT_EQ(Vars.MaxIndexSize, 324000);
    EXPECT_EQ(Vars.AudioBuffers, 0);
    EXPECT_FALSE(Vars.UseDOSBuffers);

    CAPTUREPARMS parms;
    Vars.DropErrorPercent = 30;
    Vars.CaptureYield = 0;
    ApplyVideoSettings(parms);
    EXPECT_EQ(parms.wPercentDropForError, 30u);
    EXPECT_EQ(parms.fYield, 0);
    EXPECT_EQ(parms.wNumVideoRequested, 8u);
    EXPECT_EQ(parms.dwIndexSize, 324000u);
}

TEST(WaveFormat, FromTheAudioLists) {
    struct Case {
        int bits, channels, rate;
        uint16_t wantBits, wantChannels;
        uint32_t wantRate, wantAverage;
        uint16_t wantAlign;
    };
    const Case cases[] = {{0, 0, 0, 8, 1, 8000, 8000, 1}, {1, 1, 3, 16, 2, 44100, 176400, 4}, {1, 0, 2, 16, 1, 22050, 44100, 2},
                          {0, 1, 7, 8, 2, 11025, 22050, 2}};  // a rate outside the list keeps the one before
    for (const Case& c : cases) {
        const WAVEFORMATEX format = WaveFormatOfLists(c.bits, c.channels, c.rate, WAVEFORMATEX{});
        EXPECT_EQ(format.wBitsPerSample, c.wantBits);
        EXPECT_EQ(format.nChannels, c.wantChannels);
        EXPECT_EQ(format.nSamplesPerSec, c.wantRate);
        EXPECT_EQ(format.nAvgBytesPerSec, c.wantAverage);
        EXPECT_EQ(format.nBlockAlign, c.wantAlign);
    }
}
