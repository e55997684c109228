// The movie window: position texts, seeks by every control, play and stop, and both extractions.

#include "avitools/movie_viewer.h"
#include "core/global_state.h"
#include "platform/media/test_pattern.h"
#include "ui/keyed.h"

#include "kestrova_test.h"
#include "movie_fixtures.h"
#include "wait_until.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolBar>

using namespace kestrova;

namespace {

class MovieViewerTest : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        movie = tempPath("clip.avi");
        ASSERT_EQ(test::MakePatternMovie(movie, 40, QSize(160, 120), "mjpeg", 20), QString());
        viewer = std::make_unique<MovieViewer>();
        viewer->setWindowTitle("clip.avi");
        QObject::connect(viewer.get(), &MovieViewer::statusText, [this](const QString& text) { statuses << text; });
        ASSERT_EQ(viewer->open(movie), QString());
    }
    std::int64_t shownCounter() const {
        return media::ReadTestPatternCounter(viewer->picture->pixmap().toImage().convertToFormat(QImage::Format_BGR888)).value_or(-1);
    }
    QAction* key(QToolBar* bar, const char* name) const { return FindKeyed<QAction>(bar, name); }

    QString movie;
    std::unique_ptr<MovieViewer> viewer;
    QStringList statuses;
};

}  // namespace

TEST(MovieViewerTexts, PositionAsFramesAndAsTime) {
    EXPECT_EQ(FramesPositionText(12, 250), "00000012 / 0000250");
    EXPECT_EQ(FramesPositionText(123456789, 12345678), "123456789 / 12345678");
    const std::pair<double, const char*> times[] = {{3725000, "01:02:05"}, {0, "00:00:00"}, {59999, "00:00:59"}, {360000000, "100:00:00"}};
    for (const auto& [ms, text] : times) EXPECT_EQ(ViewerTimeText(ms), text) << ms;
}

TEST_F(MovieViewerTest, EveryControlSeeksToTheFrameItNames) {
    EXPECT_EQ(viewer->FrameCount(), 40);
    EXPECT_EQ(viewer->CurrentFrame(), 1);
    EXPECT_EQ(shownCounter(), 0);
    viewer->SeekFrame(25);
    EXPECT_EQ(shownCounter(), 24);
    EXPECT_EQ(viewer->MovieInfo->text(), "00000025 / 0000040");
    EXPECT_EQ(viewer->hmovie->value(), 25);
    EXPECT_EQ(viewer->hmovie->minimum(), 1);
    EXPECT_EQ(viewer->hmovie->maximum(), 40);
    viewer->hmovie->setValue(10);
    EXPECT_EQ(viewer->CurrentFrame(), 10);
    EXPECT_EQ(shownCounter(), 9);
    key(viewer->MovieControl, "bottom")->trigger();
    EXPECT_EQ(shownCounter(), 39);
    key(viewer->MovieControl, "top")->trigger();
    EXPECT_EQ(shownCounter(), 0);

    prompts->inputAnswers = {QString("33.4"), QString(""), std::nullopt};
    viewer->MovieInfo->click();
    EXPECT_EQ(viewer->CurrentFrame(), 33);
    ASSERT_FALSE(prompts->shown.empty());
    EXPECT_EQ(prompts->shown.back().text, "Current Frame is 1 of 40\n\rEnter the frame number:");
    EXPECT_EQ(prompts->shown.back().title, "Video Kestrova 2009 Go to frame...");
    viewer->MovieInfo->click();
    viewer->MovieInfo->click();
    EXPECT_EQ(viewer->CurrentFrame(), 33) << "an empty answer and Cancel leave it";

    viewer->timeMode->setChecked(true);
    EXPECT_EQ(viewer->MovieInfo->text(), "00:00:01 / 00:00:02");
    const std::size_t asked = prompts->shown.size();
    viewer->MovieInfo->click();
    EXPECT_EQ(prompts->shown.size(), asked) << "the prompt belongs to the frames display";
}

TEST_F(MovieViewerTest, PlayRunsToTheEndAndStopHolds) {
    key(viewer->MovieControl, "play")->trigger();
    EXPECT_TRUE(viewer->playing());
    ASSERT_TRUE(test::WaitUntil([&] { return viewer->CurrentFrame() >= 5; }, 3000));
    key(viewer->MovieControl, "stop")->trigger();
    const std::int64_t held = viewer->CurrentFrame();
    EXPECT_EQ(shownCounter(), held - 1);
    viewer->SeekFrame(38);
    viewer->PlayStream();
    ASSERT_TRUE(test::WaitUntil([&] { return !viewer->playing(); }, 3000));
    EXPECT_EQ(viewer->CurrentFrame(), 40);
}

TEST_F(MovieViewerTest, TheCurrentFrameGoesToAnEditorAndEveryFrameToNumberedFiles) {
    QImage extracted;
    QString caption;
    QObject::connect(viewer.get(), &MovieViewer::frameExtracted, [&](const QImage& frame, const QString& title) {
        extracted = frame;
        caption = title;
    });
    viewer->SeekFrame(13);
    key(viewer->Mastertoolbar, "extractimg")->trigger();
    EXPECT_EQ(caption, "clip_Frame_12");
    EXPECT_EQ(media::ReadTestPatternCounter(extracted), 12);
    EXPECT_EQ(statuses.last(), "Image Extracted");

    prompts->fileAnswers = {QString()};
    key(viewer->Mastertoolbar, "extractall")->trigger();
    EXPECT_EQ(statuses.last(), "Done");
    EXPECT_FALSE(viewer->extracting());

    ASSERT_TRUE(QDir().mkpath(tempPath("out")));
    prompts->fileAnswers = {tempPath("out/clip.bmp")};
    key(viewer->Mastertoolbar, "extractall")->trigger();
    ASSERT_TRUE(viewer->extracting());
    EXPECT_FALSE(viewer->close()) << "it stays while writing";
    ASSERT_TRUE(test::WaitUntil([&] { return !viewer->extracting(); }, 5000));
    EXPECT_EQ(QDir(tempPath("out")).entryList(QDir::Files).size(), 40);
    EXPECT_TRUE(QFile::exists(tempPath("out/clip_Frame_000039.bmp")));
    ASSERT_GE(statuses.size(), 40);
    EXPECT_EQ(statuses[statuses.size() - 41], "Saving  of 39 frames");
    EXPECT_EQ(statuses[statuses.size() - 2], "Saving 39 of 39 frames");
    EXPECT_EQ(statuses.last(), "Done");
    EXPECT_EQ(prompts->shown.back().kind, "saveFile");
    EXPECT_EQ(viewer->CurrentFrame(), 13) << "the viewer goes back to its frame";

    // Cancel: the button doubles as it while the frames are written.
    prompts->fileAnswers = {tempPath("out/again.jpg")};
    key(viewer->Mastertoolbar, "extractall")->trigger();
    ASSERT_TRUE(viewer->extracting());
    EXPECT_EQ(key(viewer->Mastertoolbar, "extractall")->text(), "Cancel");
    key(viewer->Mastertoolbar, "extractall")->trigger();
    EXPECT_FALSE(viewer->extracting());
    EXPECT_TRUE(viewer->close());
}

TEST_F(MovieViewerTest, AMovieThatCannotBeOpenedSaysWhy) {
    MovieViewer other;
    EXPECT_FALSE(other.open(tempPath("missing.avi")).isEmpty());
    QStringList said;
    QObject::connect(&other, &MovieViewer::statusText, [&](const QString& text) { said << text; });
    other.ExtractCurrentFrame();
    EXPECT_EQ(said, QStringList{"Error Extracting Image"});
    other.PlayStream();
    EXPECT_FALSE(other.playing());
}
