// The movie, image-settings and audio panels through the real main window.

#include "mainwindow/master.h"

#include "capture/audio_format.h"
#include "capture/device_toolbar.h"
#include "capture/video_screen.h"
#include "controller/output_names.h"
#include "core/global_state.h"
#include "core/number_forms.h"
#include "imaging/image_window.h"
#include "imaging/insertion.h"
#include "imaging/insertion_editor.h"
#include "imaging/insertion_window.h"
#include "ui/keyed.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "movie_probe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace kestrova;
using kestrova::test::KestrovaTest;
using kestrova::test::WaitUntil;

namespace {

class Panels : public KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        Vars.AppFolder = homeFolder();
        Vars.CaptureFileName = tempPath("capture.avi");
        Vars.ImageCounterOffset = 0;
        Vars.ImageCounterMask = "#000000";
        master = std::make_unique<Master>();
        master->show();
        master->SetCaptureMode("movie");
    }
    void TearDown() override {
        master.reset();
        KestrovaTest::TearDown();
    }

    void connect(const char* kind) {
        bool done = false;
        QObject::connect(master->videoScreen(), &VideoScreen::initialized, [&] { done = true; });
        CaptureControl& control = *master->videoScreen()->wdmX();
        master->videoScreen()->ConnectVideoCaptureDevice(control.VideoDeviceCount() - 1, kind, "Test Pattern");
        if (QLatin1String(kind) != QLatin1String("wdm")) return;
        ASSERT_TRUE(WaitUntil([&] { return done; }, 5000));
        ASSERT_TRUE(WaitUntil([&] { return !control.CurrentPicture().isNull(); }, 3000));
    }

    QAction* button(QToolBar* bar, const char* key) const { return FindKeyed<QAction>(bar, key); }
    QString label(const char* name) const { return master->findChild<QLabel*>(name)->text(); }
    std::vector<bool> rateMarks() const {
        std::vector<bool> marks;
        for (int i = 0; i < 4; ++i) marks.push_back(master->sampleRateItem(i)->isChecked());
        return marks;
    }

    std::unique_ptr<Master> master;
};

}  // namespace

TEST_F(Panels, TheTimeLimitIsAtLeastOneSecondAndNoLimitDisablesIt) {
    QSpinBox* hours = master->movieHoursControl();
    QSpinBox* minutes = master->movieMinutesControl();
    QSpinBox* seconds = master->movieSecondsControl();
    hours->setValue(2);
    minutes->setValue(0);
    seconds->setValue(0);
    EXPECT_EQ(label("MovieHoursDisplay"), "02");
    EXPECT_EQ(label("MovieMinutesDisplay"), "00");
    hours->setValue(0);
    EXPECT_EQ(seconds->value(), 1) << "0:00:00 becomes 0:00:01";
    EXPECT_EQ(label("MovieSecondsDisplay"), "01");
    seconds->setValue(0);
    EXPECT_EQ(seconds->value(), 1);
    minutes->setValue(59);
    EXPECT_EQ(label("MovieMinutesDisplay"), "59");

    const std::vector<QWidget*> limit = {hours, minutes, seconds, master->findChild<QLabel*>("MovieHoursDisplay"),
                                         master->findChild<QLabel*>("MovieMinutesDisplay"),
                                         master->findChild<QLabel*>("MovieSecondsDisplay")};
    master->movieDisableLimit()->click();
    for (QWidget* control : limit) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    master->movieDisableLimit()->click();
    for (QWidget* control : limit) EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    master->movieDisableLimit()->click();
    master->SetCaptureMode("movie");
    EXPECT_FALSE(master->movieDisableLimit()->isChecked());
}

TEST_F(Panels, TheFrameRateLabelGives2997WithTheControlAt29) {
    // The mode switch set the control to the preview rate it already had: the rate holds all the same.
    EXPECT_EQ(Vars.MovieFrameRate.toDouble(), double(master->movieFrameRateControl()->value()));
    EXPECT_EQ(master->movieFrameRateDisplay()->text(), SignColumn(double(master->movieFrameRateControl()->value())) + " fps");
    master->movieFrameRateControl()->setValue(15);
    EXPECT_EQ(master->movieFrameRateDisplay()->text(), " 15 fps");
    EXPECT_EQ(Vars.MovieFrameRate.toDouble(), 15.0);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(master->movieFrameRateDisplay(), &press);
    EXPECT_EQ(master->movieFrameRateControl()->value(), 29);
    EXPECT_EQ(Vars.MovieFrameRate.toDouble(), 29.97);
    EXPECT_EQ(master->movieFrameRateDisplay()->text(), " 29.97");
    EXPECT_EQ(master->movieFrameRateControl()->maximum(), 40);
}

TEST_F(Panels, AWdmDevicePreviewsAtTheMovieRateAndOtherSourcesDoNot) {
    master->previewRate()->setCurrentIndex(9);
    connect("vfw");
    master->movieFrameRateControl()->setValue(25);
    EXPECT_EQ(master->previewRate()->currentIndex(), 9);
    connect("wdm");
    master->movieFrameRateControl()->setValue(12);
    EXPECT_EQ(master->previewRate()->currentIndex(), 11);
}

TEST_F(Panels, AMovieIsRecordedAtThePanelsFrameRate) {
    connect("wdm");
    master->movieFrameRateControl()->setValue(10);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(master->movieFrameRateDisplay(), &press);
    master->movieHoursControl()->setValue(0);
    master->movieMinutesControl()->setValue(0);
    master->movieSecondsControl()->setValue(1);
    master->freeSpace = [](const QString&) { return 5.0e9; };
    button(master->movieToolbar(), "audio")->trigger();
    master->audioDevice()->setCurrentIndex(master->audioDevice()->count() - 1);  // Test Tone
    master->movieToolbarClicked("record");
    EXPECT_EQ(ImageKey(master->recordButton()), "stop");
    ASSERT_TRUE(WaitUntil([&] { return master->videoScreen()->wdmX()->Capturing(); }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return ImageKey(master->recordButton()) == "record"; }, 5000)) << "ended by the limit";
    const kestrova::test::MovieProbe movie = kestrova::test::ProbeMovie(Vars.CaptureFileName);
    ASSERT_TRUE(movie.error.isEmpty()) << movie.error.toStdString();
    EXPECT_NEAR(movie.frameRate, 29.97, 0.001);
    EXPECT_TRUE(movie.audio);

    // The toolbar's record key stops a running movie through StopMovieRecord.
    master->movieDisableLimit()->setChecked(true);
    prompts->messageAnswers.push_back(PromptAnswer::Yes);  // the movie of before is replaced
    master->movieToolbarClicked("record");
    ASSERT_TRUE(WaitUntil([&] { return master->videoScreen()->wdmX()->Capturing(); }, 3000));
    master->movieToolbarClicked("record");
    EXPECT_FALSE(master->videoScreen()->wdmX()->Capturing());
    EXPECT_EQ(ImageKey(master->recordButton()), "record");
}

TEST_F(Panels, TheMovieFileIsChosenOnlyInMovieMode) {
    prompts->fileAnswers = {tempPath("chosen.avi"), ""};
    button(master->movieToolbar(), "filename")->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, "saveFile");
    EXPECT_EQ(prompts->shown[0].title, "Set Movie Clip filename...");
    EXPECT_EQ(prompts->shown[0].text, "Movie Clips (*.AVI)");
    EXPECT_EQ(Vars.CaptureFileName, tempPath("chosen.avi"));
    EXPECT_EQ(master->statusBarPanel("filename")->text(), "Filename: " + tempPath("chosen.avi"));
    button(master->movieToolbar(), "filename")->trigger();
    EXPECT_EQ(Vars.CaptureFileName, tempPath("chosen.avi")) << "cancelled";

    master->SetCaptureMode("image");
    button(master->movieToolbar(), "filename")->trigger();
    EXPECT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(master->statusBarPanel("filename")->text(), "Filename: " + tempPath("chosen.avi"));
}

TEST_F(Panels, AudioOffDisablesEveryListAndTheMenuFollowsTheLists) {
    // The format entries count before a control source is connected.
    master->sampleRateItem(0)->trigger();
    master->sampleRateItem(2)->trigger();
    EXPECT_EQ(master->audioRate()->currentText(), "22050 Hz");
    EXPECT_EQ(rateMarks(), (std::vector<bool>{false, false, true, false}));
    master->audioRate()->setCurrentIndex(3);
    EXPECT_EQ(rateMarks(), (std::vector<bool>{false, false, false, true}));

    master->audioMenuItem(3)->trigger();
    EXPECT_EQ(master->audioChannels()->currentIndex(), 0);
    EXPECT_TRUE(master->audioMenuItem(3)->isChecked());
    EXPECT_FALSE(master->audioMenuItem(4)->isChecked());
    master->audioBits()->setCurrentIndex(0);
    EXPECT_TRUE(master->audioMenuItem(6)->isChecked());
    EXPECT_FALSE(master->audioMenuItem(7)->isChecked());
    master->audioMenuItem(7)->trigger();
    EXPECT_EQ(master->audioBits()->currentIndex(), 1);


    connect("wdm");
    const std::vector<QComboBox*> lists = {master->audioBits(),   master->audioChannels(), master->audioRate(),
                                           master->audioDevice(), master->audioInput(),    master->audioLevel()};
    // A control source: device, input and level count, the format lists and menu entries do not.
    EXPECT_FALSE(master->audioRate()->isEnabled());
    EXPECT_TRUE(master->audioDevice()->isEnabled());
    EXPECT_FALSE(master->audioMenuItem(9)->isEnabled());
    ASSERT_GT(master->audioDevice()->count(), 0);
    EXPECT_EQ(master->audioDevice()->itemText(master->audioDevice()->count() - 1), "Test Tone");
    EXPECT_EQ(master->audioInput()->count(), 1);

    button(master->movieToolbar(), "audio")->trigger();
    EXPECT_TRUE(master->audioMenuItem(1)->isChecked());
    EXPECT_FALSE(master->audioMenuItem(0)->isChecked());
    for (QComboBox* list : lists) EXPECT_TRUE(list->isEnabled()) << list->objectName().toStdString();
    master->audioMenuItem(0)->trigger();
    EXPECT_FALSE(button(master->movieToolbar(), "audio")->isChecked());
    EXPECT_TRUE(master->audioMenuItem(0)->isChecked());
    for (QComboBox* list : lists) EXPECT_FALSE(list->isEnabled()) << list->objectName().toStdString();

    CaptureControl& control = *master->videoScreen()->wdmX();
    master->audioLevel()->setCurrentIndex(41);
    EXPECT_EQ(control.RecordingLevel(-1), 42);
    const int tone = master->audioDevice()->count() - 1;
    master->audioDevice()->setCurrentIndex(tone);
    EXPECT_EQ(control.AudioDeviceIndex(), tone);
    EXPECT_EQ(master->audioInput()->currentText(), "Test Tone");
    EXPECT_EQ(master->audioLevel()->currentIndex(), 41);

    master->audioMenuItem(15)->trigger();
    EXPECT_TRUE(control.AudioPreview());
    master->audioMenuItem(15)->trigger();
    EXPECT_FALSE(control.AudioPreview());
}

TEST_F(Panels, TheMixerItemsNeedAMixerOnThePath) {
    const QByteArray path = qgetenv("PATH");
    const QString folder = tempPath("bin");
    QDir().mkpath(folder);
    qputenv("PATH", folder.toLocal8Bit());
    QMenu* menu = master->findChild<QMenu*>("AudioMenu");
    emit menu->aboutToShow();
    EXPECT_FALSE(master->audioMenuItem(11)->isEnabled());
    EXPECT_FALSE(master->audioMenuItem(13)->isEnabled());
    QFile mixer(folder + "/pavucontrol");
    ASSERT_TRUE(mixer.open(QIODevice::WriteOnly));
    mixer.write("#!/bin/sh\n");
    mixer.close();
    mixer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    emit menu->aboutToShow();
    EXPECT_TRUE(master->audioMenuItem(11)->isEnabled());
    EXPECT_TRUE(master->audioMenuItem(13)->isEnabled());
    qputenv("PATH", path);
}

TEST_F(Panels, TheCounterDialogSetsMaskAndOffset) {
    QAction* counter = button(master->imageSettings(1), "filenames");
    EXPECT_EQ(counter->text(), "Counter");
    prompts->inputAnswers = {QString("0000010"), std::nullopt};
    counter->trigger();
    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].kind, "input");
    EXPECT_EQ(prompts->shown[0].text, ImageCounterPrompt());
    EXPECT_EQ(prompts->shown[0].title, master->windowTitle());
    EXPECT_EQ(Vars.ImageCounterMask, "#0000000");
    EXPECT_EQ(Vars.ImageCounterOffset, 10);
    EXPECT_EQ(MultipleImageFileName("/c/kestrova.jpg", 2, 1, Vars.ImageCounterOffset, Vars.ImageCounterMask),
              "/c/kestrova0000011.jpg");

    button(master->imageSettings(0), "filenames")->trigger();
    EXPECT_EQ(Vars.ImageCounterMask, "#");
    EXPECT_EQ(Vars.ImageCounterOffset, 0);
    EXPECT_EQ(MultipleImageFileName("/c/kestrova.jpg", 2, 1, Vars.ImageCounterOffset, Vars.ImageCounterMask), "/c/kestrova1.jpg");
}

TEST_F(Panels, PutOnClipboardLeavesThePictureOnTheClipboardAndInAnEditor) {
    connect("wdm");
    QGuiApplication::clipboard()->clear();
    Vars.AVIInfo[9] = "1";  // the shutter sound; skipped where no sound can be played
    QElapsedTimer took;
    took.start();
    master->SaveImage(true);
    EXPECT_LT(took.elapsed(), 3500);
    const QList<Image*> editors = master->findChildren<Image*>();
    ASSERT_EQ(editors.size(), 1);
    EXPECT_EQ(editors[0]->windowTitle(), "Image On Clipboard");
    EXPECT_TRUE(editors[0]->isVisible());
    EXPECT_EQ(editors[0]->picture().size(), QSize(640, 480));
    const QImage clipboard = QGuiApplication::clipboard()->image();
    EXPECT_EQ(clipboard.size(), QSize(640, 480));
    EXPECT_EQ(clipboard.convertToFormat(QImage::Format_RGB32), editors[0]->picture().convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(QFile::exists(Vars.AppFolder + "qorbtmp.tmp"));

    Vars.AVIInfo[9] = "0";
    master->deviceToolbar()->button("snapshot")->click();
    QStringList captions;
    for (Image* editor : master->findChildren<Image*>()) captions << editor->windowTitle();
    EXPECT_EQ(captions, (QStringList{"Image On Clipboard", "Untitled"}));
}

TEST_F(Panels, InsertOpensTheEditorOverAStillAndStampsImageModeStills) {
    connect("wdm");
    qputenv("temp", tempPath("temp").toLocal8Bit());
    QDir().mkpath(tempPath("temp"));
    const QString file = Vars.AppFolder + "default.iif";
    InsertionText text;
    text.x = 100;
    text.y = 100;
    text.box = true;
    text.text = "STAMP";
    ASSERT_TRUE(WriteInsertionFile(file, {text}));

    master->SetCaptureMode("image");
    master->RecordNow();
    const QImage plain = master->imageEditor()->picture();

    button(master->imageSettings(0), "insert")->trigger();
    Insertion* insertion = master->insertionWindow();
    ASSERT_NE(insertion, nullptr);
    EXPECT_TRUE(insertion->isVisible());
    EXPECT_EQ(insertion->width(), master->videoScreen()->width());
    EXPECT_EQ(insertion->height(), master->videoScreen()->height() + insertion->toolbar()->sizeHint().height());
    EXPECT_EQ(insertion->editor()->items().size(), 1u);
    EXPECT_EQ(Vars.InsertionFileName, file);
    EXPECT_TRUE(QDir(tempPath("temp")).isEmpty()) << "the still behind the editor is gone";
    EXPECT_TRUE(master->insertDown(0));
    EXPECT_FALSE(master->insertDown(1));

    master->RecordNow();
    EXPECT_NE(master->imageEditor()->picture(), plain) << "the still carries the stamp";
    EXPECT_EQ(master->imageEditor()->resetPicture(), master->imageEditor()->picture());

    QFile::remove(file);
    button(master->imageSettings(0), "insert")->trigger();
    EXPECT_FALSE(insertion->isVisible());
    EXPECT_TRUE(QFile::exists(file)) << "released, the editor saves";
    qunsetenv("temp");
}

TEST_F(Panels, RecordReadsThePanelAndTheCaptureWindowFormatComesFromTheLists) {
    master->audioMenuItem(7)->trigger();
    master->audioMenuItem(4)->trigger();
    master->sampleRateItem(3)->trigger();
    master->AudioOnOff(true);
    master->movieFrameRateControl()->setValue(12);
    master->movieDisableLimit()->setChecked(true);
    master->movieHoursControl()->setValue(1);
    master->movieMinutesControl()->setValue(2);
    master->movieSecondsControl()->setValue(3);
    const MovieSettings movie = master->movieSettings();
    EXPECT_TRUE(movie.audio);
    EXPECT_TRUE(movie.noLimit);
    EXPECT_EQ(movie.hours * 3600 + movie.minutes * 60 + movie.seconds, 3723);
    EXPECT_EQ(movie.frameRate, 12.0);
    WAVEFORMATEX format;
    ApplyAudioFormat(movie.audioBitsPos, movie.audioChannelsPos, movie.audioRatePos, format);
    EXPECT_EQ(format.nBlockAlign, 4);
    EXPECT_EQ(format.nAvgBytesPerSec, 176400u);

    // A driver's format shown on the lists; a rate they do not hold leaves the rate list alone.
    WAVEFORMATEX driver;
    driver.wBitsPerSample = 8;
    driver.nChannels = 1;
    driver.nSamplesPerSec = 48000;
    master->ShowAudioFormat(driver);
    EXPECT_EQ(master->audioBits()->currentText(), "8 bit");
    EXPECT_EQ(master->audioChannels()->currentText(), "Mono");
    EXPECT_EQ(master->audioRate()->currentText(), "44100 Hz");
    EXPECT_TRUE(master->audioMenuItem(6)->isChecked());
    EXPECT_TRUE(master->audioMenuItem(3)->isChecked());
}
