// The main toolbar, the Help menu, AllControls and the status panel's columns.

#include "mainwindow/master.h"
#include "mainwindow/status_monitor.h"

#include "capture/device_toolbar.h"
#include "avitools/movie_viewer.h"
#include "core/global_state.h"
#include "detectors/audio_detector.h"
#include "detectors/rs232_window.h"
#include "imaging/image_window.h"
#include "platform/media/recorder.h"
#include "ui/about_window.h"
#include "ui/keyed.h"

#include "ui/help_window.h"

#include "kestrova_test.h"

#include <QAction>
#include <QToolButton>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QLabel>
#include <QToolBar>
#include <QUrl>
#include <QPointer>
#include "wait_until.h"

#include <algorithm>
#include <memory>

using namespace kestrova;

namespace {

class MasterTools : public test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        Vars.VersionText = "Video Kestrova 2009 Version 9.04 Build 935";
        master = std::make_unique<Master>();
        master->openInBrowser = [this](const QString& address) { opened << address; };
        master->show();
    }
    void TearDown() override {
        master.reset();
        KestrovaTest::TearDown();
    }
    QAction* button(const char* key) const { return FindKeyed<QAction>(master->mainToolbar(), key); }

    std::unique_ptr<Master> master;
    QStringList opened;
};

}  // namespace

TEST_F(MasterTools, TheMainToolbarHasItsButtonsInOrderAndTheirActions) {
    QStringList keys;
    for (QAction* each : master->mainToolbar()->actions()) keys << KeyOf(each);
    EXPECT_EQ(keys, (QStringList{"open", "save", "movie", "image", "multiple", "avibuilder", "webshare", "viewer",
                                 "preferences", "scanner", "choose_scanner", "about"}));
    EXPECT_EQ(button("save")->toolTip(), "Save Capture Parameters");

    prompts->fileAnswers = {""};
    button("open")->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].title, "Open...");

    button("about")->trigger();
    auto* about = master->findChild<AboutWindow*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(about->findChild<QLabel*>("AboutVersion")->text(), Vars.VersionText);
    EXPECT_TRUE(about->windowFlags() & Qt::WindowStaysOnTopHint);
    about->close();
    master->deviceToolbar()->button("about")->click();
    const auto windows = master->findChildren<AboutWindow*>();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(), [](const AboutWindow* each) { return each->isVisible(); }), 1)
        << "the device band's About shows it too";

    button("preferences")->trigger();
    auto* preferences = master->findChild<QWidget*>("Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_EQ(preferences->windowModality(), Qt::ApplicationModal);
    master->findChild<QAction*>("mnuPreferences")->trigger();
    EXPECT_EQ(preferences->windowModality(), Qt::NonModal) << "the File menu shows it without blocking";
    EXPECT_TRUE(preferences->isVisible());
}

// Without a web browser the help still shows: in a window of the program's own, with the browser
// as an option from it.
TEST_F(MasterTools, HelpShowsTheShippedPageInItsOwnWindow) {
    master->findChild<QAction*>("mnuHelpFile")->trigger();
    auto* help = master->findChild<HelpWindow*>("HelpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString page = help->browser()->source().toLocalFile();
    EXPECT_TRUE(page.endsWith("help/kestrova.html"));
    EXPECT_TRUE(QFile::exists(page));
    EXPECT_FALSE(help->browser()->toPlainText().isEmpty());
    EXPECT_TRUE(opened.isEmpty());
    help->findChild<QPushButton*>("OpenInBrowser")->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(QUrl(opened[0]).toLocalFile(), page);
    master->findChild<QAction*>("mnuHelpFile")->trigger();
    EXPECT_EQ(master->findChildren<HelpWindow*>().size(), 1) << "one help window, brought forward";
    EXPECT_EQ(master->findChild<QAction*>("mnuHelpFile")->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(MasterTools, AllControlsSwitchesTheCaptureSettings) {
    const QStringList names = {"devicetoolbar", "previewrate", "MovieFrameRateControl", "MovieDisableLimit",
                               "MovieHoursControl", "MovieMinutesControl", "MovieSecondsControl", "MainToolbar",
                               "MovieToolbar", "AudioChannels", "AudioBits", "AudioRate"};
    for (bool enable : {false, true}) {
        master->AllControls(enable);
        for (const QString& name : names) {
            auto* control = master->findChild<QWidget*>(name);
            ASSERT_NE(control, nullptr) << name.toStdString();
            EXPECT_EQ(control->isEnabled(), enable) << name.toStdString();
        }
    }
}

TEST(StatusPanel, ThreeColumnsOfAThirdInWholeTwips) {
    struct Case {
        int width;
        double twipsPerPixel;
        int columnWidth;
        std::array<int, 3> lefts;
    };
    const std::vector<Case> cases = {
        {300, 15, 100, {0, 100, 200}},
        {301, 15, 100, {0, 100, 200}},  // 1505 twips: a third of a pixel lost
        {201, 7.5, 66, {0, 66, 133}},   // 502.5 twips round to 502
        {203, 7.5, 67, {0, 67, 135}},   // 507.5 twips round to 508
    };
    for (const Case& c : cases) {
        const auto columns = StatusPanelColumns(c.width, 16, 16, c.twipsPerPixel);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(columns[i].caption.width(), c.columnWidth) << c.width;
            EXPECT_EQ(columns[i].caption.left(), c.lefts[i]) << c.width << " column " << i;
            EXPECT_EQ(columns[i].value.left(), c.lefts[i]);
            EXPECT_EQ(columns[i].value.top(), 14) << "caption height less 2 pixels";
        }
    }
}

TEST_F(MasterTools, TheTriggerButtonsOpenTheirWindowsOnce) {
    QAction* sound = FindKeyed<QAction>(master->operationBar(), "sound");
    ASSERT_TRUE(sound->isEnabled());
    sound->trigger();
    sound->trigger();
    EXPECT_EQ(master->findChildren<AudioDetector*>().size(), 1) << "a second press raises the first window";
    QPointer<AudioDetector> detector = master->findChild<AudioDetector*>();
    EXPECT_TRUE(detector->isVisible());
    detector->close();
    ASSERT_TRUE(test::WaitUntil([&] { return detector.isNull(); }, 2000));

    // "rs232" is a check button: down opens the window, up closes it, and closing the window lets
    // the button up.
    QAction* rs232 = FindKeyed<QAction>(master->operationBar(), "rs232");
    ASSERT_TRUE(rs232->isEnabled());
    rs232->setChecked(true);
    QPointer<RS232> serial = master->findChild<RS232*>();
    ASSERT_FALSE(serial.isNull());
    EXPECT_TRUE(serial->isVisible());
    rs232->setChecked(false);
    ASSERT_TRUE(test::WaitUntil([&] { return serial.isNull(); }, 2000));
    rs232->setChecked(true);
    serial = master->findChild<RS232*>();
    ASSERT_FALSE(serial.isNull());
    serial->close();
    ASSERT_TRUE(test::WaitUntil([&] { return serial.isNull(); }, 2000));
    EXPECT_FALSE(rs232->isChecked());
}

TEST_F(MasterTools, MovieViewersOpenFromTheToolbarAndTheFileMenuSeveralAtOnce) {
    const QString movie = tempPath("clip.avi");
    {
        media::RecorderSettings settings;
        settings.path = movie;
        settings.size = QSize(64, 48);
        settings.fps = 10;
        settings.frameByFrame = true;
        media::Recorder recorder(settings, {});
        ASSERT_EQ(recorder.start(), QString());
        for (int n = 0; n < 3; ++n) recorder.queue()->push(media::Frame::fromImage(media::NewFrameImage(64, 48)));
        ASSERT_EQ(recorder.stop(), QString());
    }
    prompts->fileAnswers = {movie, QString(), movie};
    button("viewer")->trigger();
    button("viewer")->trigger();  // cancelled
    master->openCaptureFile();
    const QList<MovieViewer*> viewers = master->findChildren<MovieViewer*>();
    ASSERT_EQ(viewers.size(), 2);
    for (MovieViewer* viewer : viewers) {
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->windowTitle(), "clip.avi");
        EXPECT_EQ(viewer->FrameCount(), 3);
    }
    EXPECT_TRUE(Vars.ViewerOpen);
    FindKeyed<QAction>(viewers[0]->Mastertoolbar, "extractimg")->trigger();
    EXPECT_EQ(master->statusString()->text(), "Image Extracted");
    bool editor = false;
    for (Image* window : master->findChildren<Image*>()) editor = editor || window->windowTitle() == "clip_Frame_0";
    EXPECT_TRUE(editor);
}
