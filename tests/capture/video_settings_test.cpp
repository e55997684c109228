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
