// The video window's operations for each source kind, on the Test Pattern, a local IP camera and a
// stream, with scripted prompts.

#include "capture/video_screen.h"

#include "core/global_state.h"
#include "core/settings.h"
#include "platform/capture_window.h"
#include "platform/picture_writer.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"
#include "test_http_server.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>

using namespace kestrova;
using kestrova::test::TestHttpServer;
using kestrova::test::WaitUntil;

namespace {

QByteArray Jpeg(QColor colour) {
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    return bytes;
}

class VideoScreenTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        screen = std::make_unique<VideoScreen>();
        screen->show();
        QObject::connect(screen.get(), &VideoScreen::initialized, [this] { ++initialized; });
        QObject::connect(screen.get(), &VideoScreen::statusText, [this](const QString& text) { statusTexts << text; });
        QObject::connect(screen.get(), &VideoScreen::movieStopRequested, [this] { ++movieStops; });
        QObject::connect(screen.get(), &VideoScreen::windowTitleChanged, [this](const QString& title) { captions << title; });
        server.route("/image.jpg", TestHttpServer::picture(Jpeg(Qt::blue)));
        server.route("/video.mjpg", TestHttpServer::mjpeg({Jpeg(Qt::red), Jpeg(Qt::green)}, 25));
    }
    void TearDown() override {
        screen.reset();
        KestrovaTest::TearDown();
    }

    // Connects a source of the kind; the two network kinds get their URL from the prompt.
    void connectKind(const QString& kind) {
        const int before = initialized;
        if (kind == "wdm") {
            screen->ConnectVideoCaptureDevice(screen->wdmX()->VideoDeviceCount() - 1, "wdm", "Test Pattern");
        } else if (kind == "http") {
            prompts->inputAnswers.push_back(server.url("/image.jpg"));
            screen->ConnectVideoCaptureDevice(0, "http", "IP Camera... (JPEG HTTP)");
        } else {
            prompts->inputAnswers.push_back(server.url("/video.mjpg"));
            screen->ConnectVideoCaptureDevice(0, "wms", "Capture Video Stream... (Windows Media Stream)");
        }
        ASSERT_TRUE(WaitUntil([&] { return initialized > before; }, 5000)) << kind.toStdString();
        ASSERT_EQ(screen->Tag(), kind);
    }

    QString lastDevice() const { return GetSetting(SettingsAppTitle(), "System", "LastDevice"); }

    TestHttpServer server;
    std::unique_ptr<VideoScreen> screen;
    int initialized = 0;
    int movieStops = 0;
    QStringList statusTexts;
    QStringList captions;
};

}  // namespace

TEST_F(VideoScreenTest, StartsDisconnectedAndRefusesTheCloseBox) {
    EXPECT_EQ(screen->Tag(), "");
    EXPECT_EQ(screen->windowTitle(), SettingsAppTitle());
    EXPECT_EQ(screen->size(), QSize(320, 260));
    EXPECT_FALSE(screen->statusBar()->isVisible());
    EXPECT_EQ(screen->mira().size(), QSize(720, 576));
    EXPECT_FALSE(screen->close());
    EXPECT_TRUE(screen->isVisible());
}

TEST_F(VideoScreenTest, ConnectingTheTestPatternShowsItsPictureFormatsAndName) {
    connectKind("wdm");
    EXPECT_TRUE(captions.contains("Initializing..."));
    EXPECT_EQ(screen->windowTitle(), "Test Pattern");
    EXPECT_EQ(screen->DeviceCaption(), "Test Pattern");
    EXPECT_EQ(lastDevice(), "Test Pattern");
    EXPECT_EQ(Vars.CurrentSystemType, "wdm");
    EXPECT_EQ(Vars.DeviceIndex, screen->wdmX()->VideoDeviceCount() - 1);
    EXPECT_TRUE(screen->wdmX()->Connected());
    EXPECT_TRUE(screen->wdmX()->isVisible());
    EXPECT_TRUE(screen->wdmX()->PreviewOn());
    EXPECT_TRUE(screen->statusBar()->isVisible());
    const DeviceControls& controls = screen->controls();
    EXPECT_TRUE(controls.wdmSettings && controls.source && controls.display && controls.format && controls.fullscreen);
    EXPECT_TRUE(controls.directX && controls.overlayImage);
    EXPECT_FALSE(controls.advancedSettings);
    ASSERT_FALSE(controls.formatItems.isEmpty());
    EXPECT_TRUE(controls.formatItems.contains("640 x 480 (24bpp)")) << controls.formatItems.join(", ").toStdString();
    EXPECT_EQ(controls.sourceItems.size(), 1);
    EXPECT_EQ(screen->wdmX()->width(), 640);
    ASSERT_TRUE(WaitUntil([&] { return !screen->wdmX()->CurrentPicture().isNull(); }, 3000));

    screen->Disconnect();
    EXPECT_EQ(screen->Tag(), "");
    EXPECT_EQ(screen->windowTitle(), SettingsAppTitle());
    EXPECT_EQ(screen->size(), QSize(320, 260));
    EXPECT_FALSE(screen->wdmX()->Connected());
    EXPECT_FALSE(screen->wdmX()->isVisible());
}

TEST_F(VideoScreenTest, AFailedConnectShowsTheReasonAndEndsWithTheDeviceName) {
    screen->ConnectVideoCaptureDevice(99, "wdm", "Gone Camera");
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 3000));
    EXPECT_FALSE(statusTexts.isEmpty());
    EXPECT_EQ(screen->windowTitle(), "Gone Camera");
    EXPECT_FALSE(screen->wdmX()->Connected());
}

TEST_F(VideoScreenTest, ACaptureWindowDriverDoesNotConnect) {
    screen->ConnectVideoCaptureDevice(99, "vfw", "Old Driver(VFW)");
    EXPECT_EQ(screen->Tag(), "0");
    EXPECT_EQ(screen->windowTitle(), "No Signal");
    EXPECT_EQ(statusTexts.value(0), "Not Connected");
    EXPECT_EQ(lastDevice(), "Old Driver(VFW)");
    // Nothing answers any more until the next connect.
    screen->Record({});
    screen->OpenMultipleImage();
    EXPECT_TRUE(prompts->messages().isEmpty());
    EXPECT_EQ(screen->GetFilename(), "Error");
}

TEST_F(VideoScreenTest, CancellingTheUrlLeavesNothingConnected) {
    connectKind("wdm");
    for (const QString kind : {"http", "wms"}) {
        prompts->inputAnswers.push_back(std::nullopt);
        screen->ConnectVideoCaptureDevice(0, kind, "Network");
        EXPECT_EQ(screen->Tag(), kind);
        EXPECT_EQ(screen->windowTitle(), "Initializing...");
        EXPECT_FALSE(screen->wdmX()->Connected());
        EXPECT_EQ(prompts->shown.back().kind, "input");
    }
    EXPECT_EQ(prompts->shown[0].text, "Enter the ip camera url:");
    EXPECT_EQ(prompts->shown[1].text, "Enter the video stream url:");
    EXPECT_EQ(lastDevice(), "Network") << "the camera stores its name, the stream does not change it";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(VideoScreenTest, NetworkSourcesConnectUnderTheirOwnCaption) {
    connectKind("http");
    EXPECT_EQ(screen->windowTitle(), "IP Camera... (JPEG HTTP)");
    EXPECT_TRUE(captions.contains("IP CAMERA"));
    EXPECT_TRUE(screen->wdmX()->Connected());
    EXPECT_EQ(screen->wdmX()->VideoDeviceIndex(), CaptureControl::NetworkCameraIndex);
    EXPECT_FALSE(screen->wdmX()->CaptureAudio());
    EXPECT_FALSE(screen->controls().format);
    EXPECT_FALSE(screen->statusBar()->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return !screen->wdmX()->CurrentPicture().isNull(); }, 3000));

    connectKind("wms");
    EXPECT_TRUE(captions.contains("Windows Media Stream"));
    EXPECT_EQ(lastDevice(), "IP Camera... (JPEG HTTP)");
}

TEST_F(VideoScreenTest, OperationsAKindLacksAnswerCaptureModeNotSupported) {
    struct Case {
        QString kind;
        QStringList refused;
    };
    const Case cases[] = {
        {"wdm", {}},
        {"http", {"Record"}},
        {"wms", {"Record", "StopCapture", "OpenMultipleImage", "CaptureSingle", "CloseMultipleCapture"}},
    };
    Vars.CaptureFileName = tempPath("frames.avi");
    for (const Case& c : cases) {
        connectKind(c.kind);
        const std::pair<QString, std::function<void()>> operations[] = {
            {"Record", [&] { screen->Record({}); }},
            {"StopCapture", [&] { screen->StopCapture(); }},
            {"OpenMultipleImage", [&] { screen->OpenMultipleImage(); }},
            {"CaptureSingle", [&] { screen->CaptureSingle(); }},
            {"CloseMultipleCapture", [&] { screen->CloseMultipleCapture(); }},
        };
        for (const auto& [name, run] : operations) {
            prompts->shown.clear();
            run();
            const bool refused = c.refused.contains(name);
            ASSERT_EQ(prompts->shown.size(), refused ? 1u : 0u) << c.kind.toStdString() << " " << name.toStdString();
            if (refused) {
                EXPECT_EQ(prompts->shown[0].text, "Capture Mode not supported");
                EXPECT_EQ(prompts->shown[0].icon, PromptIcon::Critical);
                EXPECT_EQ(prompts->shown[0].title, screen->windowTitle());
            }
        }
        // Overlay and Preview act on a device only; a stream or camera keeps its picture as it is.
        prompts->shown.clear();
        screen->wdmX()->setOverlayOn(false);
        const bool previewBefore = screen->wdmX()->PreviewOn();
        screen->Overlay();
        EXPECT_EQ(screen->wdmX()->OverlayOn(), c.kind == "wdm") << c.kind.toStdString();
        screen->Preview(15);
        EXPECT_EQ(screen->wdmX()->PreviewOn(), c.kind == "wdm" ? true : previewBefore);
        EXPECT_EQ(screen->wdmX()->PreviewFrameRate() == 15, c.kind == "wdm") << c.kind.toStdString();
        EXPECT_TRUE(prompts->shown.empty());
        screen->SetFilename(tempPath("movie.avi"));
        EXPECT_EQ(screen->GetFilename(), c.kind == "wdm" ? tempPath("movie.avi") : QString("Error")) << c.kind.toStdString();
    }
}

TEST_F(VideoScreenTest, AStillDuringARecordingDoesNotEndIt) {
    connectKind("wdm");
    ASSERT_TRUE(WaitUntil([&] { return !screen->wdmX()->CurrentPicture().isNull(); }, 3000));
    Vars.CaptureFileName = tempPath("movie.avi");
    screen->Record({});
    ASSERT_TRUE(WaitUntil([&] { return screen->wdmX()->Capturing(); }, 3000));
    EXPECT_EQ(statusTexts.last(), "Recording");

    const QString still = tempPath("still.jpg");
    screen->SaveStill(still, 90, false);
    screen->SaveStill(QString(), 100, true);
    EXPECT_TRUE(screen->GrabPending());
    EXPECT_TRUE(QFile::exists(still));
    EXPECT_EQ(screen->StreamPic().size(), QSize(640, 480));
    EXPECT_EQ(StillSlot().size(), QSize(640, 480)) << "the live picture, not the test card";
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen->wdmX()->Capturing());
    EXPECT_EQ(movieStops, 0);

    screen->StopCapture();
    EXPECT_EQ(statusTexts.last(), "Stopped");
    EXPECT_FALSE(screen->wdmX()->Capturing());
}

TEST_F(VideoScreenTest, ARecordingAfterAStillStillReportsItsEnd) {
    connectKind("wdm");
    screen->SaveStill(QString(), 100, true);
    Vars.CaptureFileName = tempPath("limited.avi");
    screen->Record({.noLimit = false, .seconds = 1});
    EXPECT_TRUE(screen->wdmX()->TimeLimitEnabled());
    EXPECT_EQ(screen->wdmX()->TimeLimit(), 1);
    ASSERT_TRUE(WaitUntil([&] { return movieStops > 0; }, 6000));
}

TEST_F(VideoScreenTest, AStillWithoutAPictureIsTheTestCard) {
    screen->SaveStill(QString(), 100, true);
    EXPECT_EQ(StillSlot().size(), QSize(720, 576));
    EXPECT_FALSE(screen->GrabPending());
}

TEST_F(VideoScreenTest, UnplugDisconnectsAndSaysSo) {
    connectKind("wdm");
    screen->ConnectVideoCaptureDevice(0, "unplug", "Disconnect driver to unplug external device");
    EXPECT_EQ(screen->Tag(), "");
    EXPECT_FALSE(screen->wdmX()->Connected());
    ASSERT_EQ(prompts->messages().size(), 1);
    EXPECT_EQ(prompts->messages()[0], "Device Driver Disconnected.\r\nCan be now removed if is a USB/Firewire device...");
    EXPECT_EQ(prompts->shown[0].icon, PromptIcon::Information);
    EXPECT_TRUE(captions.contains("Disconnected"));
}

TEST_F(VideoScreenTest, UnpluggingWhileADeviceOpensGivesThePointerBack) {
    screen->ConnectVideoCaptureDevice(screen->wdmX()->VideoDeviceCount() - 1, "wdm", "Test Pattern");
    ASSERT_TRUE(screen->initializing());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    screen->ConnectVideoCaptureDevice(0, "unplug", "Disconnect driver to unplug external device");
    EXPECT_FALSE(screen->initializing());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(screen->Tag(), "");
}

TEST_F(VideoScreenTest, TheDisplayWindowAppliesOnOkOnly) {
    connectKind("wdm");
    const int rate = screen->wdmX()->PreviewFrameRate();
    for (const bool ok : {false, true}) {
        screen->VideoDisplay();
        auto* dialog = screen->findChild<QDialog*>("VideoDisplayDialog");
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QSpinBox*>("rate")->setValue(12);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        EXPECT_EQ(screen->wdmX()->PreviewFrameRate(), ok ? 12 : rate);
        delete dialog;
    }
}

namespace {

class VfwScreenTest : public VideoScreenTest {
protected:
    void SetUp() override {
        VideoScreenTest::SetUp();
        QObject::connect(screen.get(), &VideoScreen::droppedText, [this](const QString& text) { droppedTexts << text; });
        screen->ConnectVideoCaptureDevice(capDriverCount() - 1, "vfw", "Test Pattern(VFW)");
        ASSERT_EQ(screen->Tag(), "vfw");
    }
    QWidget* captureWindow() const { return CaptureWindow::find(Vars.CaptureWindow); }
    QStringList droppedTexts;
};

}  // namespace

TEST_F(VfwScreenTest, ConnectingSizesTheWindowToThePictureAndItsZoom) {
    EXPECT_TRUE(statusTexts.contains("Connected"));
    EXPECT_EQ(screen->windowTitle(), "Test Pattern(VFW)");
    EXPECT_EQ(lastDevice(), "Test Pattern(VFW)");
    ASSERT_NE(captureWindow(), nullptr);
    EXPECT_EQ(captureWindow()->size(), QSize(640, 480));
    EXPECT_FALSE(screen->wdmX()->isVisible());
    const DeviceControls& controls = screen->controls();
    EXPECT_TRUE(controls.advancedSettings && controls.format && controls.source && controls.fullscreen);
    EXPECT_FALSE(controls.display || controls.wdmSettings || controls.overlay || controls.directX);
    EXPECT_TRUE(controls.previewDown);
    EXPECT_EQ(Vars.MaxIndexSize, 324000);

    screen->setWinVideoSize(0.33);
    EXPECT_EQ(captureWindow()->size(), QSize(211, 158));
    screen->setWinVideoSize(1);
    EXPECT_EQ(captureWindow()->size(), QSize(640, 480));

    EXPECT_EQ(screen->GetFilename(), "");
    screen->SetFilename(tempPath("named.avi"));
    EXPECT_EQ(screen->GetFilename(), tempPath("named.avi"));

    Vars.CaptureYield = 0;
    screen->Disconnect();
    EXPECT_EQ(Vars.CaptureWindow, 0u);
    EXPECT_EQ(GetSetting("VKESTROVA", "ADV", "YIELD"), "0");
    EXPECT_EQ(screen->Tag(), "");
}

TEST_F(VfwScreenTest, AMovieWithATimeLimitEndsByItselfAndPlays) {
    Vars.CaptureFileName = tempPath("limit.avi");
    Vars.CaptureYield = 0;
    MovieSettings movie;
    movie.noLimit = false;
    movie.seconds = 3;
    movie.frameRate = 30;
    screen->Record(movie);  // an exclusive task: back when the movie has ended
    EXPECT_EQ(Vars.CaptureParms.dwRequestMicroSecPerFrame, 33333u);
    EXPECT_EQ(Vars.CaptureParms.wTimeLimit, 3u);
    EXPECT_EQ(droppedTexts, QStringList{"Exclusive Task"});
    EXPECT_TRUE(statusTexts.contains("Recording"));
    EXPECT_TRUE(Vars.CaptureEnded);
    EXPECT_EQ(Vars.LastStatusID, IDS_CAP_END);
    const test::MovieProbe probe = test::ProbeMovie(Vars.CaptureFileName);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_EQ(probe.videoPackets, 90);
}

TEST_F(VfwScreenTest, SingleFramesAndStills) {
    Vars.CaptureFileName = tempPath("frames.avi");
    screen->values.multipleImageFrameRatePosition = 4;
    screen->OpenMultipleImage();
    EXPECT_EQ(Vars.CaptureParms.dwRequestMicroSecPerFrame, 200000u);
    ASSERT_TRUE(WaitUntil([&] {
        QImage frame;
        return capEditCopy(Vars.CaptureWindow, frame);
    }, 3000));
    screen->CaptureSingle();
    screen->CaptureSingle();
    screen->CloseMultipleCapture();
    EXPECT_EQ(statusTexts.back(), "Capturing Frame");
    // The movie is finished off the UI thread.
    test::MovieProbe probe;
    ASSERT_TRUE(WaitUntil([&] { return (probe = test::ProbeMovie(Vars.CaptureFileName)).videoPackets == 2; }, 5000));
    EXPECT_NEAR(probe.frameRate, 5, 0.01);

    screen->SaveStill(QString(), 0, true);
    EXPECT_EQ(StillSlot().size(), QSize(640, 480));
    const QString file = tempPath("still.jpg");
    screen->SaveStill(file, 90, false);
    EXPECT_EQ(ReadPicture(file).size(), QSize(640, 480));
    EXPECT_EQ(screen->StreamPic().size(), QSize(640, 480));
}

TEST_F(VideoScreenTest, AStreamWithoutASizeKeepsTheWindow) {
    prompts->inputAnswers.push_back(QStringLiteral("http://127.0.0.1:1/nothing.mjpg"));
    screen->ConnectVideoCaptureDevice(0, "wms", "Capture Video Stream... (Windows Media Stream)");
    ASSERT_TRUE(WaitUntil([&] { return initialized > 0; }, 5000));
    screen->resize(400, 300);
    screen->ResizeWDM();
    EXPECT_EQ(screen->size(), QSize(400, 300));
}

TEST_F(VideoScreenTest, TheStatusTickShowsTheControlsStatistics) {
    QStringList times, dropped;
    QObject::connect(screen.get(), &VideoScreen::timeText, [&](const QString& text) { times << text; });
    QObject::connect(screen.get(), &VideoScreen::droppedText, [&](const QString& text) { dropped << text; });
    connectKind("wdm");
    Vars.CaptureMode = "multiple";
    Vars.ImageCounter = 7;
    screen->WDMStatusTick();
    EXPECT_EQ(statusTexts.back(), "7 frames captured");
    EXPECT_EQ(times.back(), "N/A");
    EXPECT_EQ(dropped.back(), "N/A");

    Vars.CaptureMode = "movie";
    Vars.CaptureFileName = tempPath("ticks.avi");
    screen->Record(MovieSettings{});
    ASSERT_TRUE(WaitUntil([&] { return times.size() > 3 && times.back() != "00:00:00:00"; }, 3000));
    EXPECT_TRUE(QRegularExpression("^00:00:0[0-9]:[0-9]{2}$").match(times.back()).hasMatch()) << times.back().toStdString();
    EXPECT_EQ(dropped.back(), "0");
    screen->StopCapture();
}
