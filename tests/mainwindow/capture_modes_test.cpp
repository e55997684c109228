// The capture modes through the real main window: bands, record button, Toolbars items, status panel,
// WebShare switch and the capture file's extension; the record button paths per mode.

#include "mainwindow/capture_modes.h"
#include "mainwindow/master.h"
#include "mainwindow/status_monitor.h"

#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "imaging/image_window.h"
#include "platform/stream_server.h"
#include "ui/keyed.h"

#include "http_exchange.h"
#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QTcpSocket>
#include <QToolBar>

#include <memory>

using namespace kestrova;
using kestrova::test::KestrovaTest;
using kestrova::test::WaitUntil;

namespace {

class CaptureModes : public KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        Vars.CaptureFileName = tempPath("capture.avi");
        master = std::make_unique<Master>();
        master->show();
    }
    void TearDown() override {
        master.reset();
        KestrovaTest::TearDown();
    }

    bool shown(const char* key) const { return master->band(key)->isVisibleTo(master.get()); }
    QString record() const { return ImageKey(master->recordButton()); }
    QString panel(const char* key) const { return master->statusBarPanel(key)->text(); }

    void connectTestPattern() {
        bool done = false;
        QObject::connect(master->videoScreen(), &VideoScreen::initialized, [&] { done = true; });
        CaptureControl& control = *master->videoScreen()->wdmX();
        master->videoScreen()->ConnectVideoCaptureDevice(control.VideoDeviceCount() - 1, "wdm", "Test Pattern");
        ASSERT_TRUE(WaitUntil([&] { return done; }, 5000));
        ASSERT_TRUE(WaitUntil([&] { return !control.CurrentPicture().isNull(); }, 3000));
    }

    std::unique_ptr<Master> master;
};

}  // namespace

TEST_F(CaptureModes, EachModeShowsItsBandRecordButtonAndItems) {
    struct Case {
        const char* key;
        const char* band;
        bool operation;
        const char* image;
        const char* caption;
        bool statusPanel;
        bool webShare;
        std::vector<int> enabled, disabled;
        const char* extension;
    };
    const std::vector<Case> cases = {
        {"movie", "movie", true, "record", "Rec/Stop", true, false, {1, 2, 7}, {}, "avi"},
        {"image", "image", true, "pause", "Capture", false, false, {1, 3}, {7}, nullptr},
        {"multiple", "multiple", true, "record", "Rec/Stop", true, false, {1, 4, 7}, {}, "avi"},
        {"avibuilder", "avibuilder", false, nullptr, nullptr, true, false, {5, 7}, {1}, nullptr},
        {"WEBSHARE", "webshare", false, nullptr, nullptr, false, true, {6}, {1, 7}, nullptr},
    };
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "0");  // any free port
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Vars.CaptureFileName = tempPath("name.jpg");
        const QString imageBefore = record();
        master->SetCaptureMode(c.key);
        EXPECT_EQ(Vars.CaptureMode, QString(c.key).toLower());
        for (const char* band : ModeBandKeys) EXPECT_EQ(shown(band), QLatin1String(band) == QLatin1String(c.band)) << band;
        EXPECT_EQ(shown("operation"), c.operation);
        EXPECT_EQ(record(), c.image ? QString(c.image) : imageBefore);
        if (c.caption) {
            EXPECT_EQ(master->recordButton()->text(), c.caption);
        }
        EXPECT_EQ(master->statusPanelShown(), c.statusPanel);
        EXPECT_EQ(master->webShareOn(), c.webShare);
        if (c.webShare) {
            EXPECT_EQ(master->webSharePort(), 0);
            EXPECT_GT(master->stream().boundPort(), 0);
        }
        for (int i : c.enabled) EXPECT_TRUE(master->toolbarsItem(i)->isEnabled()) << i;
        for (int i : c.disabled) EXPECT_FALSE(master->toolbarsItem(i)->isEnabled()) << i;
        for (const char* button : {"movie", "image", "multiple", "avibuilder", "webshare"}) {
            EXPECT_EQ(FindKeyed<QAction>(master->mainToolbar(), button)->isChecked(),
                      QLatin1String(button) == QString(c.key).toLower());
        }
        if (c.extension) {
            EXPECT_EQ(Vars.CaptureFileName, tempPath(QString("name.") + c.extension));
            EXPECT_EQ(panel("filename"), "Filename: " + Vars.CaptureFileName);
        } else {
            EXPECT_EQ(Vars.CaptureFileName, tempPath("name.jpg"));
        }
        if (QString(c.key) == "image") {
            EXPECT_EQ(panel("filename"), "");
        }
    }
}

TEST_F(CaptureModes, TheWebShareModeServesTheLivePictureUntilTheModeChanges) {
    connectTestPattern();
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "0");
    master->SetCaptureMode("webshare");
    ASSERT_TRUE(master->webShareOn());
    const quint16 port = static_cast<quint16>(master->stream().boundPort());
    auto ask = [&](const QByteArray& request) { return test::HttpExchange(port, request); };
    const QByteArray page = ask("GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n");
    EXPECT_TRUE(page.contains("SRC=\"http://127.0.0.1:" + QByteArray::number(port) + "/live\"")) << page.constData();
    const QByteArray image = ask("GET /live?12345 HTTP/1.1\r\n\r\n");
    const QImage picture = QImage::fromData(test::HttpBody(image), "JPG");
    EXPECT_EQ(picture.size(), master->videoScreen()->wdmX()->CurrentPicture().size());
    EXPECT_EQ(master->findChild<QLabel*>("Labels_14")->text(), "Streaming");
    master->masterTimerTick();
    EXPECT_EQ(master->findChild<QLabel*>("WebShare_Url")->text(),
              "http://" + master->stream().localAddress() + ":" + QString::number(port));

    master->SetCaptureMode("movie");
    EXPECT_FALSE(master->webShareOn());
    QTcpSocket refused;
    refused.connectToHost("127.0.0.1", port);
    EXPECT_TRUE(WaitUntil([&] { return refused.state() == QAbstractSocket::UnconnectedState; }, 2000));
}

TEST_F(CaptureModes, AnUntickedModeBandStaysHiddenAndTheRecordButtonDoesNothing) {
    master->toolbarsItemClicked(2);
    master->SetCaptureMode("movie");
    EXPECT_FALSE(shown("movie"));
    EXPECT_TRUE(shown("operation"));
    master->RecordNow();
    EXPECT_EQ(record(), "record");
    EXPECT_TRUE(prompts->shown.empty());

    // Ticking it again shows it whatever the mode.
    master->SetCaptureMode("image");
    master->toolbarsItemClicked(2);
    EXPECT_TRUE(shown("movie"));
}

TEST_F(CaptureModes, UntickingEveryEnabledItemEmptiesTheRebar) {
    master->SetCaptureMode("webshare");
    for (int i = 0; i < ToolbarItemCount; ++i) {
        if (master->toolbarsItem(i)->isEnabled()) master->toolbarsItemClicked(i);
    }
    for (int i : {0, 1, 2, 3, 4, 5, 6}) EXPECT_FALSE(master->band(i == 0 ? "device" : i == 1 ? "operation" : ModeBandKeys[i - 2])->isVisibleTo(master.get()));
    master->toolbarsItemClicked(0);
    EXPECT_TRUE(shown("device"));
}

TEST_F(CaptureModes, TheOverwriteQuestionGuardsAnExistingMovieUnlessMotionIsArmed) {
    QFile existing(Vars.CaptureFileName);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    master->SetCaptureMode("movie");

    prompts->messageAnswers.push_back(PromptAnswer::No);
    master->RecordNow();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].text, "The file " + Vars.CaptureFileName +
                                          " already exists. Do you want to replace the existing file ?");
    EXPECT_EQ(prompts->shown[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts->shown[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(record(), "record");

    // The same with the question switched off in the preferences.
    SaveSetting(SettingsAppVC, "MD", "OQ", "0");
    Vars.EstimatedFileSize = 5;
    master->RecordNow();
    EXPECT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(Vars.EstimatedFileSize, 0.0f);

    SaveSetting(SettingsAppVC, "MD", "OQ", "1");
    master->armMotion();
    EXPECT_EQ(record(), "stop");
    EXPECT_FALSE(FindKeyed<QAction>(master->operationBar(), "motion")->isEnabled());
    EXPECT_TRUE(master->motionTimer().isActive());
    master->StartStopCapture(true);  // as the motion detector does when it sees motion
    EXPECT_EQ(prompts->shown.size(), 1u);
    EXPECT_TRUE(Vars.MotionTriggered);
    EXPECT_FALSE(master->motionTimer().isActive());
}

TEST_F(CaptureModes, ImageModeCapturesEachStillIntoTheOneEditor) {
    connectTestPattern();
    master->SetCaptureMode("image");
    master->RecordNow();
    Image* editor = master->imageEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Untitled ");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->picture().size(), QSize(640, 480));
    EXPECT_EQ(editor->resetPicture().size(), QSize(640, 480));
    EXPECT_EQ(record(), "pause");
    editor->setWindowTitle("edited");
    master->RecordNow();
    EXPECT_EQ(master->imageEditor(), editor);
    EXPECT_EQ(editor->windowTitle(), "Untitled ");
}

TEST_F(CaptureModes, AMovieWithATimeLimitEndsByItselfAndPlays) {
    connectTestPattern();
    master->SetCaptureMode("movie");
    master->previewRate()->setCurrentIndex(14);
    master->SetCaptureMode("movie");
    EXPECT_EQ(master->movieFrameRateControl()->value(), 15);
    EXPECT_FALSE(master->movieDisableLimit()->isChecked());
    master->movieHoursControl()->setValue(0);
    master->movieMinutesControl()->setValue(0);
    master->movieSecondsControl()->setValue(3);
    master->freeSpace = [](const QString&) { return 5.0e9; };
    master->RecordNow();
    EXPECT_EQ(record(), "stop");
    EXPECT_EQ(master->statusString()->text(), "Recording");
    EXPECT_EQ(Vars.RecordStartFreeSpace, 5.0e9);
    EXPECT_EQ(Vars.CaptureFrameRate, 15);
    ASSERT_TRUE(WaitUntil([&] { return master->videoScreen()->wdmX()->Capturing(); }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return !master->videoScreen()->wdmX()->Capturing() && record() == "record"; }, 10000));
    EXPECT_EQ(master->statusString()->text(), "Stopped");

    const kestrova::test::MovieProbe movie = kestrova::test::ProbeMovie(Vars.CaptureFileName, true);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    ASSERT_GT(movie.frameRate, 0);
    const double seconds = movie.decodedFrames / movie.frameRate;
    EXPECT_GE(seconds, 2.5);
    EXPECT_LE(seconds, 3.6);
}

TEST_F(CaptureModes, TheRecordButtonStopsARunningMovie) {
    connectTestPattern();
    master->SetCaptureMode("movie");
    master->movieDisableLimit()->setChecked(true);
    master->RecordNow();
    ASSERT_TRUE(WaitUntil([&] { return master->videoScreen()->wdmX()->Capturing(); }, 3000));
    master->RecordNow();
    EXPECT_FALSE(master->videoScreen()->wdmX()->Capturing());
    EXPECT_EQ(record(), "record");
    EXPECT_TRUE(QFile::exists(Vars.CaptureFileName));
}

TEST(StatusTexts, DiskSpaceAndEstimatedSize) {
    EXPECT_EQ(DiskSpaceText(1048576), "Disk Full (< 1Mb)");
    EXPECT_EQ(DiskSpaceText(1048577), "Free Space : 1 Mb");
    EXPECT_EQ(DiskSpaceText(0), "Disk Full (< 1Mb)");
    EXPECT_EQ(EstimatedSizeText(0), "Estimated Filesize:  0 Mb");
    EXPECT_EQ(EstimatedSizeText(3.5f * 1048576), "Estimated Filesize:  3 Mb");
    EXPECT_EQ(DiskFreeSpace("capture.avi"), 0);
    EXPECT_GT(DiskFreeSpace(QDir::tempPath() + "/no/such/folder/movie.avi"), 0);
}

TEST_F(CaptureModes, TheTickShowsFreeSpaceFileNameAndHomePage) {
    Vars.HomePageAddress = "http://www.kestrova.example/";
    Vars.CaptureFileName = tempPath("Movie.AVI");
    double free = 1048576;
    QStringList asked;
    master->freeSpace = [&](const QString& path) {
        asked << path;
        return free;
    };
    master->masterTimerTick();
    EXPECT_EQ(panel("diskcap"), "Disk Full (< 1Mb)");
    EXPECT_EQ(asked, QStringList{Vars.CaptureFileName}) << "one look at the disk per tick";
    EXPECT_EQ(panel("filesize"), Vars.HomePageAddress);
    EXPECT_EQ(panel("filename"), "Filename: " + tempPath("Movie.AVI")) << "the path as it is, never one that does not exist";
    free = 1048577;
    master->masterTimerTick();
    EXPECT_EQ(panel("diskcap"), "Free Space : 1 Mb");

    Vars.CaptureFileName.clear();
    master->masterTimerTick();
    EXPECT_EQ(Vars.CaptureFileName, Vars.AppFolder + "capture.avi");

    QStringList opened;
    master->openInBrowser = [&](const QString& address) { opened << address; };
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(master->statusBarPanel("diskcap"), &click);
    EXPECT_EQ(opened, QStringList{Vars.HomePageAddress});
}

TEST_F(CaptureModes, TheSizeEstimateFollowsTheFreeSpaceDuringARecording) {
    connectTestPattern();
    master->SetCaptureMode("movie");
    master->movieDisableLimit()->setChecked(true);
    double free = 100.0 * 1048576;
    master->freeSpace = [&](const QString&) { return free; };
    master->RecordNow();
    ASSERT_TRUE(WaitUntil([&] { return master->videoScreen()->wdmX()->Capturing(); }, 3000));
    master->masterTimerTick();
    EXPECT_EQ(panel("filesize"), "Estimated Filesize:  0 Mb");
    free -= 2.5 * 1048576;
    master->masterTimerTick();
    EXPECT_EQ(panel("filesize"), "Estimated Filesize:  2 Mb");
    free += 10.0 * 1048576;  // space freed meanwhile raises the start
    master->masterTimerTick();
    EXPECT_EQ(Vars.RecordStartFreeSpace, free);
    EXPECT_EQ(panel("filesize"), "Estimated Filesize:  0 Mb");
    master->RecordNow();
}

TEST_F(CaptureModes, ControlShortcutsSwitchModesOnlyWhileTheMainWindowIsActive) {
    master->SetCaptureMode("movie");
    QWidget other;
    other.show();
    auto press = [](QWidget* target, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(target, &event);
    };
    QApplication::setActiveWindow(&other);
    press(&other, Qt::Key_I);
    master->masterTimerTick();
    EXPECT_EQ(Vars.CaptureMode, "movie");

    QApplication::setActiveWindow(master.get());
    ASSERT_TRUE(master->isActiveWindow());
    master->masterTimerTick();
    EXPECT_EQ(Vars.CaptureMode, "movie") << "a press in another window is not latched";
    for (const auto& [key, mode] : std::vector<std::pair<int, QString>>{
             {Qt::Key_I, "image"}, {Qt::Key_U, "multiple"}, {Qt::Key_W, "webshare"}, {Qt::Key_A, "avibuilder"}, {Qt::Key_M, "movie"}}) {
        press(master->mdiArea(), key);
        master->masterTimerTick();
        EXPECT_EQ(Vars.CaptureMode, mode);
    }
}

TEST_F(CaptureModes, TheSecondTickClearsTheStatusTextsOnce) {
    master->statusString()->setText("Capture ended");
    master->masterTimer2().start();
    master->masterTimer2Tick();
    EXPECT_EQ(master->statusString()->text(), "");
    EXPECT_EQ(master->statusPanel()->findChild<QLabel*>("StatusCaption")->text(), "Status:");
    EXPECT_FALSE(master->masterTimer2().isActive());
}

TEST_F(CaptureModes, MenuItemsSwitchModesAndTakeStills) {
    master->findChild<QAction*>("mnuMode_image")->trigger();
    EXPECT_EQ(Vars.CaptureMode, "image");
    master->findChild<QAction*>("mnuMode_webshare")->trigger();
    EXPECT_EQ(Vars.CaptureMode, "webshare");

    connectTestPattern();
    master->findChild<QAction*>("mnuCaptureFrame")->trigger();
    master->findChild<QAction*>("mnuPutOnClipboard")->trigger();
    QStringList captions;
    for (Image* editor : master->findChildren<Image*>()) {
        captions << editor->windowTitle();
        EXPECT_EQ(editor->picture().size(), QSize(640, 480));
    }
    EXPECT_EQ(captions, (QStringList{"Untitled", "Image On Clipboard"}));
    EXPECT_FALSE(QFile::exists(Vars.AppFolder + "qorbtmp.tmp"));
}

TEST_F(CaptureModes, OpeningAPictureFillsTheEditorAndABadOneSaysSo) {
    const QString good = tempPath("picture.bmp");
    QImage picture(64, 48, QImage::Format_RGB888);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(good, "BMP"));
    const QString bad = tempPath("broken.jpg");
    QFile broken(bad);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();

    prompts->fileAnswers = {good, bad, ""};
    master->openCaptureFile();
    ASSERT_NE(master->imageEditor(), nullptr);
    EXPECT_EQ(master->imageEditor()->picture().size(), QSize(64, 48));
    EXPECT_EQ(master->imageEditor()->windowTitle(), good);
    master->openCaptureFile();
    EXPECT_EQ(prompts->messages(), QStringList{"Bad file format."});
    master->openCaptureFile();
    EXPECT_EQ(prompts->shown.size(), 4u) << "three open dialogs and one message";
}
