// The device list and the chooser's rules without a window.

#include "capture/device_choice.h"
#include "platform/capture_window.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {

QStringList Texts(const std::vector<DeviceMenuEntry>& entries) {
    QStringList texts;
    for (const DeviceMenuEntry& entry : entries) texts << entry.text;
    return texts;
}

}  // namespace

TEST(DeviceMenu, WithoutDevicesOnlyInformationLinesAndTheFixedEntriesRemain) {
    const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu({}, false, {"never listed"});
    EXPECT_EQ(Texts(menu), (QStringList{"no Video for Windows devices detected", "-",
                                        "WDM devices are only supported under Windows 2000 or higher", "-",
                                        "Capture Video Stream... (Windows Media Stream)", "-", "IP Camera... (JPEG HTTP)",
                                        "-", "Video Device Information...", "Disconnect driver to unplug external device"}));
    EXPECT_FALSE(menu[0].enabled);
    EXPECT_FALSE(menu[2].enabled);
    EXPECT_EQ(menu[4].tag, "wms");
    EXPECT_EQ(menu[6].tag, "http");
    EXPECT_EQ(menu[8].tag, "info");
    EXPECT_EQ(menu[9].tag, "unplug");
    for (int separator : {1, 3, 5, 7}) EXPECT_EQ(menu[separator].tag, "menu");
    EXPECT_TRUE(ChooserEntries(menu, QString()).items.empty());
    EXPECT_EQ(ChooserEntries(menu, QString()).selected, -1);
}

TEST(DeviceMenu, DriversAndDevicesGetKeysByIndex) {
    const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu({"Old Driver"}, true, {"USB Camera", "Test Pattern"});
    ASSERT_GE(menu.size(), 4u);
    EXPECT_EQ(menu[0].text, "Old Driver(VFW)");
    EXPECT_EQ(menu[0].key, "i0");
    EXPECT_EQ(menu[0].tag, "vfw");
    EXPECT_EQ(menu[2].key, "w0");
    EXPECT_EQ(menu[3].key, "w1");
    EXPECT_EQ(menu[3].text, "Test Pattern");
    EXPECT_EQ(menu[3].tag, "wdm");
}

TEST(DeviceMenu, KeysGiveTheDeviceNumber) {
    const std::pair<QString, int> cases[] = {{"", 0}, {"w0", 0}, {"w12", 12}, {"i3", 3}};
    for (const auto& [key, id] : cases) EXPECT_EQ(DeviceIdFromKey(key), id) << key.toStdString();
}

TEST(DeviceChooser, TheLastDeviceIsPreselectedElseTheFirst) {
    const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu({"Twin"}, true, {"Twin", "Camera", "Test Pattern"});
    const ChooserList list = ChooserEntries(menu, "Test Pattern");
    EXPECT_EQ(Texts(list.items), (QStringList{"Twin(VFW)", "Twin", "Camera", "Test Pattern"}));
    EXPECT_EQ(list.selected, 3);
    EXPECT_EQ(ChooserEntries(menu, "Camera").selected, 2);
    EXPECT_EQ(ChooserEntries(menu, "Unplugged Camera").selected, 0) << "a first run connects the first device";

    // Equal names: the last match wins.
    const std::vector<DeviceMenuEntry> twins = BuildDeviceMenu({}, true, {"Cam", "Cam"});
    EXPECT_EQ(ChooserEntries(twins, "Cam").selected, 1);
}

TEST(DeviceChooser, CountdownCaptions) {
    EXPECT_EQ(CountdownCaption("Use the selected device", 1), "Use the selected device (19 sec)");
    EXPECT_EQ(CountdownCaption("Use the selected device", 20), "Use the selected device (0 sec)");
}

TEST(DeviceChooser, FormatItemsAndInformationLines) {
    EXPECT_EQ(FormatItemText({640, 480, 24, "yuyv422", 30}), "640 x 480 (24bpp)");
    const std::vector<InfoLine> lines = VideoInfoLines("wdm", "Test Pattern");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Driver:Test Pattern");
    EXPECT_EQ(lines[1].text, "");
    EXPECT_EQ(lines[2].text, "Capture System: WDM Video");
    EXPECT_EQ(lines[2].colour, QColor(255, 255, 255));
    EXPECT_TRUE(VideoInfoLines("http", "IP CAMERA").empty());
    EXPECT_TRUE(VideoInfoLines("", "").empty());
}

TEST(DeviceMenu, CaptureWindowDriversAreListedUpToTheFirstGap) {
    struct Case {
        std::vector<int> present;
        QString first;
    };
    for (const Case& c : {Case{{}, "no Video for Windows devices detected"}, Case{{0}, "Driver 0(VFW)"},
                          Case{{0, 2}, "Driver 0(VFW)"}}) {
        SetCapDriverDescriber([&](int index, QString& description, QString&) {
            description = QStringLiteral("Driver %1").arg(index);
            return std::find(c.present.begin(), c.present.end(), index) != c.present.end();
        });
        const std::vector<DeviceMenuEntry> menu = BuildDeviceMenu(VfwDriverNames(), true, {});
        EXPECT_EQ(menu[0].text, c.first);
        EXPECT_EQ(menu[0].tag, c.present.empty() ? "menu" : "vfw");
        EXPECT_EQ(menu[1].text, "-") << "one driver at most";
    }
    SetCapDriverDescriber({});
}

TEST(DeviceChooser, CaptureWindowDriverInformation) {
    CAPDRIVERCAPS caps;
    caps.fHasDlgVideoFormat = 1;
    const std::vector<InfoLine> lines = VideoInfoLines("vfw", "Test Pattern", "1.0", caps);
    QStringList texts;
    for (const InfoLine& line : lines) texts << line.text;
    EXPECT_EQ(texts, (QStringList{"Driver:Test Pattern", "Version: 1.0", "", "Capture System: MS-VIDEO", "Has Source Dialog: No",
                                  "Has Format Dialog: Yes", "Overlay not supported"}));
    EXPECT_EQ(lines[2].colour, QColor(0, 0, 0));
    EXPECT_EQ(lines[6].colour, QColor(250, 0, 0));
    caps.fHasOverlay = 1;
    EXPECT_EQ(VideoInfoLines("vfw", "X", "", caps).back().text, "Support Overlay");
}
