// The main window with a capture-window source: progress texts through a whole movie, the end of a
// capture, full screen and the process priority.

#include "mainwindow/master.h"

#include "avitools/other_info.h"
#include "capture/fullscreen_window.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "platform/capture_window.h"
#include "ui/keyed.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolBar>
#include <QTimer>

using namespace kestrova;
using kestrova::test::WaitUntil;

namespace {

class MasterVfwTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        master = std::make_unique<Master>();
        master->freeSpace = [](const QString&) { return 1e10; };
        master->show();
        QObject::connect(master.get(), &Master::movieViewerWanted, [this](const QString& file) { viewers << file; });
    }
    void TearDown() override {
        master.reset();
        KestrovaTest::TearDown();
    }
    void connectTestPattern() {
        master->videoScreen()->ConnectVideoCaptureDevice(capDriverCount() - 1, "vfw", "Test Pattern(VFW)");
        ASSERT_EQ(master->videoScreen()->Tag(), "vfw");
    }
    QLabel* label(const char* name) const { return master->statusPanel()->findChild<QLabel*>(name); }

    std::unique_ptr<Master> master;
    QStringList viewers;
};

}  // namespace

TEST_F(MasterVfwTest, ABackgroundMovieShowsItsProgressAndEndsOnce) {
    connectTestPattern();
    EXPECT_EQ(master->movieFrameRateControl()->value(), 15) << "the driver's frame interval";
    master->SetCaptureMode("movie");  // the movie rate becomes the preview rate, 30
    ASSERT_EQ(master->movieFrameRateControl()->value(), 30);
    master->movieDisableLimit()->setChecked(false);
    master->movieHoursControl()->setValue(0);
    master->movieMinutesControl()->setValue(0);
    master->movieSecondsControl()->setValue(2);
    Vars.CaptureFileName = tempPath("movie.avi");
    Vars.CaptureYield = 1;
    Vars.AVIInfo[7] = "1";
    master->StartStopCapture(true);
    QStringList times, dropped;
    ASSERT_TRUE(WaitUntil([&] {
        times << label("StatusTime")->text();
        dropped << label("DroppedString")->text();
        return master->statusString()->text() == "Stopped";
    }, 5000));
    // Frames at the movie rate, the frame within its second after the point.
    EXPECT_FALSE(times.filter(QRegularExpression("^00:00:01\\.[0-2][0-9]$")).isEmpty()) << times.join(' ').toStdString();
    EXPECT_TRUE(dropped.contains("none"));
    EXPECT_EQ(label("DroppedString")->palette().color(QPalette::WindowText), QColor(0, 250, 0));
    EXPECT_EQ(ImageKey(master->recordButton()), "record");
    EXPECT_TRUE(master->masterTimer2().isActive());
    EXPECT_EQ(viewers, QStringList{Vars.CaptureFileName});
    EXPECT_FALSE(Vars.CaptureEnded);
    master->masterTimerTick();
    EXPECT_EQ(viewers.size(), 1) << "the end of a capture is handled once";
    EXPECT_EQ(test::ProbeMovie(Vars.CaptureFileName).videoPackets, 60);
}

TEST_F(MasterVfwTest, AMovieEndsWithTheInformationTextsWhenWriteInfoIsDown) {
    connectTestPattern();
    master->SetCaptureMode("movie");
    master->movieDisableLimit()->setChecked(false);
    master->movieHoursControl()->setValue(0);
    master->movieMinutesControl()->setValue(0);
    master->movieSecondsControl()->setValue(1);
    FindKeyed<QAction>(master->movieToolbar(), "otherinfo")->trigger();
    OtherInfo* info = master->otherInfoWindow();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(info->InfoItems->currentRow(), 0);
    info->TextItems->setText("(c) Garden");
    info->InfoItems->setCurrentRow(1);
    EXPECT_EQ(info->TextItems->text(), "");
    info->TextItems->setText("Ann");
    info->InfoItems->setCurrentRow(0);
    EXPECT_EQ(info->TextItems->text(), "(c) Garden");
    EXPECT_EQ(Vars.AVIInfo[0], "(c) Garden");
    EXPECT_EQ(Vars.AVIInfo[1], "Ann");
    FindKeyed<QAction>(master->movieToolbar(), "writeinfo")->setChecked(true);
    Vars.CaptureFileName = tempPath("titled.avi");
    Vars.CaptureYield = 1;
    master->StartStopCapture(true);
    // The end of the capture starts the timer that clears the texts later.
    ASSERT_TRUE(WaitUntil([&] { return master->masterTimer2().isActive(); }, 5000));
    EXPECT_EQ(master->statusString()->text(), "Stopped");
    const test::MovieProbe probe = test::ProbeMovie(Vars.CaptureFileName);
    EXPECT_EQ(probe.videoPackets, 30);
    EXPECT_EQ(probe.metadata.value("copyright"), "(c) Garden");
    EXPECT_EQ(probe.metadata.value("artist"), "Ann");
}

TEST_F(MasterVfwTest, AMovieWithSoundTakesTheFormatOfTheAudioLists) {
    connectTestPattern();
    master->SetCaptureMode("movie");
    master->audioMenuItem(7)->trigger();      // 16 bits
    master->audioMenuItem(4)->trigger();      // stereo
    master->sampleRateItem(2)->trigger();     // 22 Khz
    master->AudioOnOff(true);
    master->movieDisableLimit()->setChecked(false);
    master->movieHoursControl()->setValue(0);
    master->movieMinutesControl()->setValue(0);
    master->movieSecondsControl()->setValue(2);
    Vars.CaptureFileName = tempPath("sound.avi");
    Vars.CaptureYield = 1;
    master->StartStopCapture(true);
    ASSERT_TRUE(WaitUntil([&] { return master->statusString()->text() == "Stopped"; }, 6000));
    const test::MovieProbe probe = test::ProbeMovie(Vars.CaptureFileName);
    EXPECT_GT(probe.videoPackets, 50);
    EXPECT_EQ(probe.sampleRate, 22050);
    EXPECT_EQ(probe.channels, 2);
    EXPECT_EQ(probe.blockAlign, 4);
    EXPECT_EQ(probe.bytesPerSecond, 88200);
    EXPECT_NEAR(double(probe.audioSamples), 2 * 22050, 22050.0 / 10);
}

TEST_F(MasterVfwTest, FullScreenShowsTheDriverUntilAKeyAndConnectsItAgainAfterwards) {
    connectTestPattern();
    bool shown = false;
    master->fullscreenOpened = [&](Fullscreen& fullscreen) {
        QTimer::singleShot(100, &fullscreen, [&] {
            shown = CaptureWindow::find(fullscreen.captureWindow()) != nullptr;
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
            QCoreApplication::sendEvent(fullscreen.findChild<QWidget*>("Keyy"), &key);
        });
    };
    master->ViewFullscreen();
    EXPECT_TRUE(shown);
    EXPECT_EQ(master->videoScreen()->Tag(), "vfw");
    EXPECT_EQ(master->videoScreen()->windowTitle(), "Test Pattern(VFW)");
    EXPECT_EQ(GetSetting(SettingsAppTitle(), "System", "LastDevice"), "Test Pattern(VFW)");
}

TEST_F(MasterVfwTest, APriorityTheSystemRefusesIsShownNotTicked) {
    QList<int> asked;
    master->setPriority = [&](int nice) {
        asked << nice;
        return nice < -10 ? QStringLiteral("Permission denied") : QString();
    };
    const QList<QAction*> items = master->findChild<QMenu*>("cpu_priority")->actions();
    auto ticks = [&] { return QList<bool>{items[0]->isChecked(), items[1]->isChecked(), items[2]->isChecked()}; };
    EXPECT_EQ(ticks(), (QList<bool>{false, false, true}));
    items[1]->trigger();
    EXPECT_EQ(ticks(), (QList<bool>{false, true, false}));
    items[0]->trigger();
    EXPECT_EQ(ticks(), (QList<bool>{false, true, false}));
    EXPECT_EQ(prompts->messages(), QStringList{"The priority cannot be changed: Permission denied"});
    EXPECT_EQ(asked, (QList<int>{-10, -20}));
}

TEST_F(MasterVfwTest, OverlayImageKeepsThePictureWhenTheColourIsCancelled) {
    const QString picture = tempPath("logo.bmp");
    QImage logo(32, 16, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(picture, "BMP"));
    prompts->fileAnswers.push_back(picture);
    prompts->colorAnswers.push_back(std::nullopt);
    master->OverlayImage();
    EXPECT_EQ(master->videoScreen()->MotionPicture.size(), QSize(32, 16));
    EXPECT_FALSE(master->findChild<QAction*>("mnuOverlayImage")->isChecked());
    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(prompts->shown[1].title, "Choose the transparency color...");
}

TEST_F(MasterVfwTest, ThePreviewRateListSetsTheRate) {
    connectTestPattern();
    master->movieFrameRateControl()->setValue(20);
    master->previewRateClicked(14);
    EXPECT_EQ(Vars.PreviewRate, 15);
    CAPSTATUS status;
    ASSERT_TRUE(capGetStatus(Vars.CaptureWindow, status));
    EXPECT_EQ(status.fLiveWindow, 1);
    EXPECT_EQ(master->movieFrameRateControl()->value(), 20) << "only a control source's movie rate follows";
}
