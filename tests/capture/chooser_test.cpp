// The main window's device tool bar and the chooser that opens with it.

#include "capture/device_chooser.h"
#include "capture/device_toolbar.h"
#include "capture/video_info.h"
#include "capture/video_screen.h"
#include "mainwindow/master.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "platform/capture_window.h"

#include "kestrova_test.h"
#include "media_test_support.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QPushButton>
#include <QToolButton>

using namespace kestrova;
using kestrova::test::WaitUntil;

namespace {

class ChooserTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.NewerWindows = true;
        master = std::make_unique<Master>();
        master->show();
        screen = master->videoScreen();
        QObject::connect(screen, &VideoScreen::initialized, [this] { ++initialized; });
    }
    void TearDown() override {
        Vars.ShuttingDown = true;
        master.reset();
        KestrovaTest::TearDown();
    }
    QStringList menuTexts() const {
        QStringList texts;
        for (QAction* action : master->deviceToolbar()->dropDown("device")->actions()) {
            texts << (action->isSeparator() ? QString("-") : action->text());
        }
        return texts;
    }

    std::unique_ptr<Master> master;
    VideoScreen* screen = nullptr;
    int initialized = 0;
};

}  // namespace

TEST_F(ChooserTest, TheCountdownConnectsThePreselectedDeviceAfterTwentySeconds) {
    ChooseDevice* chooser = master->startDeviceChoice();
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_TRUE(chooser->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(chooser->windowTitle(), "Choose video capture device...");
    EXPECT_TRUE(chooser->Timer1().isActive());
    EXPECT_EQ(chooser->Timer1().interval(), 1000);
    ASSERT_GT(chooser->devices()->count(), 0);
    EXPECT_EQ(chooser->devices()->item(chooser->devices()->count() - 1)->text(), "Test Pattern");
    EXPECT_EQ(chooser->devices()->currentRow(), 0) << "with nothing stored the first device is chosen";
    EXPECT_EQ(chooser->start()->text(), "Use the selected device");

    chooser->devices()->setCurrentRow(chooser->devices()->count() - 1);
    chooser->tick();
    EXPECT_EQ(chooser->start()->text(), "Use the selected device (19 sec)");
    for (int i = 2; i <= 20; ++i) chooser->tick();
    EXPECT_EQ(chooser->start()->text(), "Use the selected device (0 sec)");
    EXPECT_EQ(screen->Tag(), "");
    QPointer<ChooseDevice> alive(chooser);
    chooser->tick();
    EXPECT_TRUE(!alive || !alive->isVisible()) << "the chooser closes when it connects";
    ASSERT_TRUE(WaitUntil([&] { return screen->Tag() == "wdm"; }, 2000));
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 5000));
    EXPECT_EQ(screen->windowTitle(), "Test Pattern");
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "LastDevice"), "Test Pattern");
    EXPECT_TRUE(master->deviceToolbar()->button("format")->isEnabled());
    EXPECT_EQ(master->deviceToolbar()->dropDown("format")->actions().size(), screen->controls().formatItems.size());
}

TEST_F(ChooserTest, TheLastDeviceIsPreselectedAndAClickStopsTheCountdown) {
    SaveSetting(SettingsAppTitle(), "System", "LastDevice", "Second Camera");
    const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu({}, true, {"First Camera", "Second Camera", "Test Pattern"});
    ChooseDevice chooser(menu, *screen);
    EXPECT_EQ(chooser.devices()->currentRow(), 1);
    chooser.tick();
    chooser.devices()->setCurrentRow(2);
    emit chooser.devices()->itemClicked(chooser.devices()->item(2));
    EXPECT_FALSE(chooser.Timer1().isActive());
    EXPECT_EQ(chooser.start()->text(), "Use the selected device");
    EXPECT_TRUE(chooser.devices()->item(2)->font().bold());
    EXPECT_FALSE(chooser.devices()->item(1)->font().bold());

    chooser.cancel()->click();
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(screen->Tag(), "") << "cancel connects nothing";
}

// A real double-click on the entry, as a user gives it: the chooser goes while its own list is
// still handling the click, and the device connects.
TEST_F(ChooserTest, ADoubleClickConnectsAtOnce) {
    const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu({}, true, {"Test Pattern"});
    auto* chooser = new ChooseDevice(menu, *screen);
    QPointer<ChooseDevice> alive(chooser);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->show();
    QWidget* viewport = chooser->devices()->viewport();
    const QPoint entry = chooser->devices()->visualItemRect(chooser->devices()->item(0)).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, entry);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, entry);
    ASSERT_TRUE(WaitUntil([&] { return !alive; }, 2000)) << "the chooser is gone";
    ASSERT_TRUE(WaitUntil([&] { return screen->Tag() == "wdm"; }, 2000));
    EXPECT_EQ(Vars.DeviceIndex, 0);
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 5000));
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "LastDevice"), "Test Pattern");
}

TEST_F(ChooserTest, TheCaptureWindowDriversComeFirst) {
    Vars.NewerWindows = true;
    master->startDeviceChoice()->close();
    const QStringList texts = menuTexts();
    EXPECT_EQ(texts.value(0), "Test Pattern(VFW)");
    EXPECT_EQ(texts.value(texts.indexOf("-") + 1), "Test Pattern");
}

TEST_F(ChooserTest, WithNoDevicesTheCountdownConnectsNothing) {
    Vars.NewerWindows = false;
    SetCapDriverDescriber([](int, QString&, QString&) { return false; });
    ChooseDevice* chooser = master->startDeviceChoice();
    SetCapDriverDescriber({});
    EXPECT_EQ(chooser->devices()->count(), 0);
    for (int i = 0; i < 21; ++i) chooser->tick();
    EXPECT_EQ(screen->Tag(), "");
    EXPECT_EQ(menuTexts(), (QStringList{"no Video for Windows devices detected", "-",
                                        "WDM devices are only supported under Windows 2000 or higher", "-",
                                        "Capture Video Stream... (Windows Media Stream)", "-", "IP Camera... (JPEG HTTP)",
                                        "-", "Video Device Information...", "Disconnect driver to unplug external device"}));
}

TEST_F(ChooserTest, TheDeviceMenuConnectsAndTheToolbarOpensTheDeviceWindows) {
    master->deviceToolbar()->BuildDeviceMenu({}, true, {"Test Pattern"});
    EXPECT_EQ(menuTexts().mid(0, 3), (QStringList{"no Video for Windows devices detected", "-", "Test Pattern"}));
    EXPECT_FALSE(master->deviceToolbar()->button("source")->isEnabled());
    QAction* testPattern = master->deviceToolbar()->dropDown("device")->actions()[2];
    testPattern->trigger();
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 5000));
    EXPECT_EQ(screen->windowTitle(), "Test Pattern");
    EXPECT_EQ(Vars.DeviceIndex, 0);

    EXPECT_FALSE(master->deviceToolbar()->button("exportdv")->isEnabled()) << "no DV device";
    for (const QString key : {"source", "format", "display", "wdmsettings"}) {
        master->deviceToolbar()->button(key)->click();
    }
    for (const char* name : {"VideoSourceDialog", "VideoFormatDialog", "VideoDisplayDialog", "CaptureDialog"}) {
        auto* dialog = master->findChild<QWidget*>(name);
        ASSERT_NE(dialog, nullptr) << name;
        EXPECT_TRUE(dialog->isVisible());
    }
    master->deviceToolbar()->button("info")->click();
    auto* info = static_cast<VideoInfo*>(master->findChild<QWidget*>("VideoInfo"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->windowTitle(), "Device Information");
    ASSERT_EQ(info->TargetPic()->lines().size(), 3u);
    EXPECT_EQ(info->TargetPic()->lines()[0].text, "Driver:Test Pattern");

    // A choice in the format list reopens the device at that size.
    QAction* large = master->deviceToolbar()->dropDown("format")->actions().value(1);
    ASSERT_NE(large, nullptr);
    const int width = large->text().section(' ', 0, 0).toInt();
    large->trigger();
    ASSERT_TRUE(WaitUntil([&] { return screen->wdmX()->width() == width; }, 5000)) << large->text().toStdString();
}

TEST_F(ChooserTest, TheFailureReasonReachesTheStatusText) {
    screen->ConnectVideoCaptureDevice(42, "wdm", "Missing");
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 3000));
    EXPECT_FALSE(master->statusString()->text().isEmpty());
}
