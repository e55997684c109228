// What a new user meets in the first hour: Rec/Stop ends every recording, a movie that cannot start
// says why, the sound lists show the movie's format, stills open at their size, the port box and its
// keys, the device windows, and a main window that fits its picture.

#include "mainwindow/master.h"

#include "capture/device_choice.h"
#include "capture/device_toolbar.h"
#include "capture/video_info.h"
#include "capture/video_screen.h"
#include "core/global_state.h"
#include "core/settings.h"
#include "imaging/image_window.h"
#include "platform/capture_window.h"
#include "platform/stream_server.h"
#include "ui/keyed.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <thread>

using namespace kestrova;
using kestrova::test::WaitUntil;

namespace {

class FirstHour : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        master = std::make_unique<Master>();
        master->freeSpace = [](const QString&) { return 1e10; };
        master->show();
        QObject::connect(master->videoScreen(), &VideoScreen::initialized, [this] { ++initialized; });
    }
    void TearDown() override {
        master.reset();
        KestrovaTest::TearDown();
    }
    void connect(const char* kind) {
        const bool vfw = QLatin1String(kind) == QLatin1String("vfw");
        const int index = vfw ? capDriverCount() - 1 : master->videoScreen()->wdmX()->VideoDeviceCount() - 1;
        const int before = initialized;
        master->videoScreen()->ConnectVideoCaptureDevice(index, kind, vfw ? "Test Pattern(VFW)" : "Test Pattern");
        ASSERT_TRUE(WaitUntil([&] { return initialized > before; }, 5000));
        ASSERT_EQ(master->videoScreen()->Tag(), kind);
    }
    QString record() const { return ImageKey(master->recordButton()); }
    QWidget* recordWidget() const { return master->operationBar()->widgetForAction(master->recordButton()); }

    std::unique_ptr<Master> master;
    int initialized = 0;
};

}  // namespace

// A capture-window movie with "No Limit" ends on Rec/Stop, in the background and as the exclusive
// task that holds every other window (the click in the picture ends it too).
TEST_F(FirstHour, RecStopEndsACaptureWindowMovieWithNoLimit) {
    connect("vfw");
    master->SetCaptureMode("movie");
    for (const int yield : {1, 0}) {
        SCOPED_TRACE(yield ? "background" : "exclusive");
        master->movieDisableLimit()->setChecked(true);
        Vars.CaptureFileName = tempPath(yield ? "background.avi" : "exclusive.avi");
        Vars.CaptureYield = yield;
        Vars.LastStatusID = 0;
        std::thread clicker;
        if (yield == 0) {
            // The exclusive capture holds the UI thread: the click is posted from outside.
            QWidget* button = recordWidget();
            const QString file = Vars.CaptureFileName;
            clicker = std::thread([button, file] {
                for (int i = 0; i < 400 && QFileInfo(file).size() < 100'000; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
                const QPointF at(5, 5);
                QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {}));
                QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, {}));
            });
        }
        master->recordButton()->trigger();
        if (yield == 1) {
            ASSERT_EQ(record(), "stop");
            ASSERT_TRUE(WaitUntil([&] { return QFileInfo(Vars.CaptureFileName).size() > 100'000; }, 5000));
            master->recordButton()->trigger();
        } else {
            clicker.join();
        }
        EXPECT_EQ(record(), "record");
        // The end is reported once the movie is whole.
        ASSERT_TRUE(WaitUntil([&] { return Vars.LastStatusID == IDS_CAP_END; }, 5000));
        const test::MovieProbe movie = test::ProbeMovie(Vars.CaptureFileName, true);
        ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
        EXPECT_GE(movie.decodedFrames, 3);
        master->masterTimer2Tick();
    }
}

TEST_F(FirstHour, AMovieThatCannotStartSaysWhyAndLeavesTheButton) {
    connect("wdm");
    master->SetCaptureMode("movie");
    Vars.CaptureFileName = "/no/such/folder/movie.avi";
    master->recordButton()->trigger();
    EXPECT_EQ(record(), "record");
    EXPECT_TRUE(master->statusString()->text().contains("/no/such/folder")) << master->statusString()->text().toStdString();
}

// The lists say what the movie gets, and they are labelled.
TEST_F(FirstHour, TheSoundListsShowTheFormatThatIsRecorded) {
    connect("vfw");  // a capture-window driver shows its own format first
    connect("wdm");
    master->SetCaptureMode("movie");
    master->AudioOnOff(true);
    master->movieDisableLimit()->setChecked(false);
    master->movieSecondsControl()->setValue(1);
    Vars.CaptureFileName = tempPath("sound.avi");
    master->recordButton()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return record() == "record"; }, 6000));
    const test::MovieProbe movie = test::ProbeMovie(Vars.CaptureFileName);
    ASSERT_TRUE(movie.audio);
    EXPECT_EQ(master->audioBits()->currentText(), QString::number(movie.bitsPerSample) + " bit");
    EXPECT_EQ(master->audioChannels()->currentText(), movie.channels == 1 ? "Mono" : "Stereo");
    EXPECT_EQ(master->audioRate()->currentText(), QString::number(movie.sampleRate) + " Hz");
    for (QComboBox* list : {master->audioBits(), master->audioChannels(), master->audioRate(), master->audioDevice(),
                            master->audioInput(), master->audioLevel()}) {
        bool labelled = false;
        for (const QLabel* label : list->parentWidget()->findChildren<QLabel*>()) labelled |= label->buddy() == list;
        EXPECT_TRUE(labelled) << list->objectName().toStdString();
    }
}

// A still opens at its picture's size, on the screen, not over the main menu.
TEST_F(FirstHour, AStillOpensAtThePicturesSizeBesideTheVideoWindow) {
    connect("wdm");
    master->SaveImage(false);
    Image* editor = nullptr;
    for (Image* each : master->findChildren<Image*>()) editor = each;
    ASSERT_NE(editor, nullptr);
    const QRect available = master->screen()->availableGeometry();
    EXPECT_EQ(editor->pictureBox()->size(), QSize(640, 480));
    EXPECT_GE(editor->width(), std::min(640, available.width()));
    EXPECT_GE(editor->height(), std::min(480, available.height()));
    EXPECT_TRUE(available.contains(editor->frameGeometry())) << "on the screen";
    // At the video window's height, unless the screen is too short for that.
    const QPoint video = master->videoScreen()->mapToGlobal(QPoint(0, 0));
    const int highest = std::min(video.y(), available.bottom() + 1 - editor->frameGeometry().height());
    EXPECT_GE(editor->frameGeometry().top(), highest - 40) << "not over the main menu";
}

// While a text field has the focus its own keys win: CTRL+A selects, the mode stays.
TEST_F(FirstHour, CtrlAInThePortBoxSelectsItsText) {
    master->SetCaptureMode("webshare");
    auto* port = master->findChild<QLineEdit*>("WebShare_Port");
    QApplication::setActiveWindow(master.get());
    port->setFocus();
    port->setText("8080");
    QTest::keyClick(port, Qt::Key_A, Qt::ControlModifier);
    master->masterTimerTick();
    EXPECT_EQ(Vars.CaptureMode, "webshare");
    EXPECT_EQ(port->selectedText(), "8080");
    QTest::keyClick(master->mdiArea(), Qt::Key_A, Qt::ControlModifier);
    master->masterTimerTick();
    EXPECT_EQ(Vars.CaptureMode, "avibuilder") << "elsewhere CTRL+A is the shortcut";
}

// Typing a port is applied when the editing ends, not at every keystroke (8, 80, 808 on the way).
TEST_F(FirstHour, ThePortIsAppliedWhenTheEditingEnds) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString free = QString::number(probe.serverPort());
    probe.close();
    SaveSetting(SettingsAppTitle(), "WebShare", "Port", "0");
    master->SetCaptureMode("webshare");
    auto* box = master->findChild<QLineEdit*>("WebShare_Port");
    QApplication::setActiveWindow(master.get());
    box->setFocus();
    box->selectAll();
    const int before = master->stream().boundPort();
    QTest::keyClicks(box, free.left(free.size() - 1));
    EXPECT_EQ(master->stream().boundPort(), before) << "nothing while typing";
    QTest::keyClicks(box, free.right(1));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(master->stream().boundPort(), free.toInt());
}

// The information window closes with its button or Escape, and a second open brings the first back.
TEST_F(FirstHour, DeviceWindowsCloseWithEscapeAndOpenOnce) {
    connect("wdm");
    master->videoScreen()->showVideoInfo();
    master->videoScreen()->showVideoInfo();
    const QList<VideoInfo*> windows = master->findChildren<VideoInfo*>();
    ASSERT_EQ(windows.size(), 1);
    VideoInfo* info = windows.front();
    EXPECT_TRUE(info->isVisible());
    EXPECT_NE(info->findChild<QAbstractButton*>(), nullptr) << "it has a close button";
    QTest::keyClick(info, Qt::Key_Escape);
    EXPECT_FALSE(info->isVisible());

    master->deviceToolbar()->button("format")->click();
    master->deviceToolbar()->button("format")->click();
    int shown = 0;
    for (const QDialog* dialog : master->findChildren<QDialog*>()) shown += dialog->isVisible();
    EXPECT_EQ(shown, 1) << "the format window once";
}

// Every button of the device band and every tab of Preferences is reachable at the default size.
TEST_F(FirstHour, BandsAndTabsFitTheDefaultWindow) {
    master->resize(800, 600);
    QToolBar* device = master->deviceToolbar();
    for (QToolButton* button : device->findChildren<QToolButton*>()) {
        if (button->objectName() == QLatin1String("qt_toolbar_ext_button")) {
            EXPECT_FALSE(button->isVisible()) << "no overflow arrow";
            continue;
        }
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
        EXPECT_TRUE(device->rect().contains(button->mapTo(device, button->rect().bottomRight()))) << button->objectName().toStdString();
    }
    master->showPreferences();
    auto* tabs = master->findChild<QTabWidget*>("Tabs");
    ASSERT_NE(tabs, nullptr);
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << bar->tabText(i).toStdString();
    EXPECT_FALSE(bar->usesScrollButtons());
    auto* quality = master->findChild<QLabel*>("JpegCompressionValue");
    ASSERT_NE(quality, nullptr);
    auto* slider = master->findChild<QSlider*>("JpegCompression");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(quality->text(), QString::number(slider->value()));
    slider->setValue(42);
    EXPECT_EQ(quality->text(), "42") << "the slider shows its number";
}

// The workspace scrolls when the picture is larger than it; on a first start the window grows once
// to show the first picture whole.
TEST_F(FirstHour, TheMainWindowFitsItsFirstPicture) {
    EXPECT_EQ(master->mdiArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(master->mdiArea()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    master->Load();
    connect("wdm");
    QMdiSubWindow* frame = master->mdiArea()->subWindowList().front();
    const QRect available = master->screen()->availableGeometry();
    const QSize viewport = master->mdiArea()->viewport()->size();
    if (available.width() >= 1024 && available.height() >= 900) {
        EXPECT_GE(viewport.width(), frame->geometry().right() + 1) << "the picture whole";
        EXPECT_GE(viewport.height(), frame->geometry().bottom() + 1);
    }
    EXPECT_TRUE(available.contains(master->frameGeometry()));
    const QSize grown = master->size();
    master->videoScreen()->setWinVideoSize(2);
    connect("wdm");
    EXPECT_EQ(master->size(), grown) << "once only";
}
