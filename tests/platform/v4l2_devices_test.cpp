// V4L2 device listing without a camera: identities from by-id links, format rows from what drivers
// report, nodes that are not capture devices, the tuner's channel table.

#include "platform/media/devices.h"
#include "platform/media/v4l2_devices.h"

#include "kestrova_test.h"

#include <QDir>
#include <QFile>

#include <linux/videodev2.h>

using namespace kestrova;
using namespace kestrova::media;
using V4l2Listing = kestrova::test::KestrovaTest;

TEST_F(V4l2Listing, ByIdLinksGiveEachNodeOneStableIdentity) {
    const QString dev = tempPath("dev");
    QDir().mkpath(dev + "/v4l/by-id");
    for (const char* node : {"video0", "video1", "video2"}) QFile(dev + "/" + node).open(QIODevice::WriteOnly);
    QFile::link(dev + "/video2", dev + "/v4l/by-id/usb-Maker_Cam_B-video-index0");
    QFile::link(dev + "/video0", dev + "/v4l/by-id/usb-Maker_Cam_A-video-index0");
    QFile::link(dev + "/video0", dev + "/v4l/by-id/usb-Maker_Cam_A-video-index1");
    QFile::link(dev + "/gone", dev + "/v4l/by-id/usb-Unplugged-video-index0");

    const QMap<QString, QString> links = ByIdLinks(dev + "/v4l/by-id");
    EXPECT_EQ(links.size(), 2);
    EXPECT_EQ(links.value(QFileInfo(dev + "/video0").canonicalFilePath()), dev + "/v4l/by-id/usb-Maker_Cam_A-video-index0");
    EXPECT_EQ(links.value(QFileInfo(dev + "/video2").canonicalFilePath()), dev + "/v4l/by-id/usb-Maker_Cam_B-video-index0");

    EXPECT_EQ(ResolveIdentity(dev + "/v4l/by-id/usb-Maker_Cam_B-video-index0"), QFileInfo(dev + "/video2").canonicalFilePath());
    EXPECT_TRUE(ResolveIdentity(dev + "/v4l/by-id/usb-Unplugged-video-index0").isEmpty());

    // Plain files named like nodes answer no VIDIOC_QUERYCAP: no devices, and nothing hangs.
    EXPECT_TRUE(ListV4l2Devices(dev, dev + "/v4l/by-id").empty());
    // Nor do they answer the control and tuner ioctls.
    EXPECT_TRUE(QueryControls(dev + "/video0").empty());
    EXPECT_FALSE(GetControl(dev + "/video0", V4L2_CID_BRIGHTNESS).has_value());
    EXPECT_FALSE(SetControl(dev + "/video0", V4L2_CID_BRIGHTNESS, 10));
    EXPECT_FALSE(TunerSignal(dev + "/video0").has_value());
    EXPECT_FALSE(SetTunerFrequency(dev + "/video0", 471250000));
    EXPECT_TRUE(ListV4l2Devices(tempPath("empty"), tempPath("empty")).empty());
}

TEST(V4l2Formats, RowsCoverListsAndRangesLargestFirstWithoutDuplicates) {
    DriverFormat yuyv{V4L2_PIX_FMT_YUYV, false, {{640, 480}, {1280, 720}, {640, 480}}, {30, 10, 30}};
    DriverFormat mjpeg{V4L2_PIX_FMT_MJPEG, false, {{1280, 720}}, {30}};
    DriverFormat unknown{v4l2_fourcc('Z', 'Z', 'Z', 'Z'), false, {{320, 240}}, {}};
    DriverFormat range{V4L2_PIX_FMT_BGR24, true, {{300, 200}, {1000, 700}}, {}};
    const std::vector<FormatRow> rows = BuildFormatRows({yuyv, mjpeg, unknown, range});
    const std::vector<FormatRow> expected = {
        {1280, 720, 16, "yuyv422", 10}, {1280, 720, 24, "mjpeg", 30}, {1000, 700, 24, "bgr24", 0}, {800, 600, 24, "bgr24", 0},
        {720, 576, 24, "bgr24", 0},     {640, 480, 16, "yuyv422", 30}, {640, 480, 24, "bgr24", 0}, {352, 288, 24, "bgr24", 0},
        {320, 240, 24, "bgr24", 0},     {300, 200, 24, "bgr24", 0},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i], expected[i]) << i << ": " << rows[i].width << "x" << rows[i].height << " " << rows[i].pixelFormat.toStdString();
    }
}

TEST(V4l2Devices, TestPatternIsListedLastAndOpensAtItsFormatRows) {
    const std::vector<VideoDevice> devices = VideoDevices();
    ASSERT_FALSE(devices.empty());
    const VideoDevice& last = devices.back();
    EXPECT_EQ(last.name, QStringLiteral("Test Pattern"));
    EXPECT_FALSE(last.tuner);
    const SourceSettings standard = last.settings();
    EXPECT_EQ(standard.kind, QStringLiteral("testpattern"));
    EXPECT_TRUE(standard.size.isEmpty()) << "640 x 480 unless a row is chosen";
    const SourceSettings chosen = last.settings(1);
    EXPECT_EQ(chosen.size, QSize(1280, 720));
    EXPECT_EQ(AudioDevices().back().name, QStringLiteral("Test Tone"));
}

TEST(V4l2Tuner, ChannelTableFollowsTheCountryAndInput) {
    struct Case {
        int country, input, channel;
        std::optional<std::int64_t> hertz;
    };
    const Case cases[] = {
        {1, 2, 2, 55250000},  {1, 2, 7, 175250000}, {1, 2, 14, 471250000}, {1, 1, 14, 121250000}, {1, 2, 70, std::nullopt},
        {49, 2, 2, 48250000}, {49, 2, 5, 175250000}, {49, 2, 21, 471250000}, {49, 2, 69, 855250000}, {49, 2, 15, std::nullopt},
        {49, 1, 13, 105250000}, {49, 1, 70, 231250000}, {49, 1, 79, 294250000}, {49, 1, 80, 303250000},
        {49, 1, 99, 455250000}, {49, 1, 100, std::nullopt}, {44, 2, 1, std::nullopt},
    };
    for (const Case& each : cases) {
        EXPECT_EQ(ChannelFrequency(each.country, each.input, each.channel), each.hertz) << each.country << "/" << each.input << "/" << each.channel;
    }
    EXPECT_EQ(ChannelLimits(49, 2), (std::pair{2, 69}));
}
