// The AVI builder: the one-format rule, order, the folder search with a mask, the frame rate text,
// builds checked frame by frame, and builds that fail or are cancelled leaving nothing behind.

#include "avitools/avi_builder.h"
#include "avitools/avi_builder_panel.h"
#include "core/global_state.h"
#include "imaging/dib.h"
#include "platform/image_view.h"
#include "platform/media/frame.h"
#include "platform/media/recorder.h"
#include "platform/media/test_pattern.h"

#include "kestrova_test.h"
#include "movie_probe.h"
#include "wait_until.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTime>
#include <QToolBar>

#include "ui/keyed.h"

using namespace kestrova;
using kestrova::test::ProbeMovie;

namespace {

// A Test Pattern picture showing counter n, as a 24-bit bitmap file.
QString WritePatternBitmap(const QString& path, int n, QSize size = QSize(160, 120)) {
    QImage image = media::NewFrameImage(size.width(), size.height());
    media::DrawTestPattern(image, n, 30, QTime(12, 0));
    cDib dib;
    EXPECT_TRUE(dib.CreateFromView(ViewOf(image)));
    EXPECT_TRUE(dib.WriteToFile(path));
    return path;
}

class AviBuilderTest : public kestrova::test::KestrovaTest {
protected:
    QString bitmap(int n, QSize size = QSize(160, 120)) { return WritePatternBitmap(tempPath(QStringLiteral("f%1.bmp").arg(n)), n, size); }
};

}  // namespace

TEST_F(AviBuilderTest, TheListHoldsOneFormatInTheOrderGiven) {
    AviBuilderList list;
    const QString small = bitmap(0), other = bitmap(1), big = bitmap(2, QSize(320, 240));
    QFile text(tempPath("notes.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    EXPECT_EQ(list.add(text.fileName()), AddOutcome::NotABitmap);
    EXPECT_FALSE(list.format().set);
    EXPECT_EQ(list.add(small), AddOutcome::Added);
    EXPECT_EQ(list.add(big), AddOutcome::DifferentFormat);
    EXPECT_EQ(list.add(other), AddOutcome::Added);
    EXPECT_EQ(list.paths(), QStringList({small, other}));
    EXPECT_EQ(list.format().width, 160);
    EXPECT_EQ(list.format().bitCount, 24);
    EXPECT_FALSE(list.moveUp(0));
    EXPECT_FALSE(list.moveDown(1));
    EXPECT_TRUE(list.moveDown(0));
    EXPECT_EQ(list.paths(), QStringList({other, small}));
    EXPECT_TRUE(list.moveUp(1));
    EXPECT_EQ(list.paths(), QStringList({small, other}));
    list.remove(0);
    list.remove(0);
    EXPECT_FALSE(list.format().set) << "an emptied list takes any size again";
    EXPECT_EQ(list.add(big), AddOutcome::Added);
}

TEST(BuildFrameRate, ReadsTheLeadingNumberRoundedAndHeldToOneToThirty) {
    const std::pair<const char*, int> cases[] = {{" 11 FPS", 11}, {"45", 30}, {"0", 1},  {"12.5 fps", 12}, {"13.5", 14},
                                                 {"", 1},         {"fps", 1}, {"-3", 1}, {" 30 FPS", 30}};
    for (const auto& [text, rate] : cases) EXPECT_EQ(BuildFrameRate(text), rate) << text;
}

TEST_F(AviBuilderTest, TheFolderSearchTakesPlainFilesThatMatchTheMask) {
    QDir folder(tempPath("frames"));
    ASSERT_TRUE(folder.mkpath("."));
    ASSERT_TRUE(folder.mkpath("sub.bmp"));
    for (const char* name : {"a1.bmp", "B2.BMP", "a22.bmp", "c.txt", ".hidden.bmp", "locked.bmp"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(folder.filePath("locked.bmp"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QStringList all = FindBitmaps(folder.path(), "*.bmp");
    all.sort();
    EXPECT_EQ(all, QStringList({folder.filePath("B2.BMP"), folder.filePath("a1.bmp"), folder.filePath("a22.bmp")}));
    EXPECT_EQ(FindBitmaps(folder.path(), "a?.bmp"), QStringList{folder.filePath("a1.bmp")});
    EXPECT_TRUE(FindBitmaps(tempPath("none"), "*.bmp").isEmpty());
}

TEST_F(AviBuilderTest, AMovieHasOneFrameForEachBitmapInListOrder) {
    for (const char* codec : {"mjpeg", "bgr24"}) {
        const QString movie = tempPath(QString::fromLatin1(codec) + ".avi");
        AviBuildSettings settings;
        settings.out = movie;
        settings.paths = {bitmap(2), bitmap(0), bitmap(1)};
        settings.fps = 7;
        settings.compressor = media::VideoCompressorByKey(codec);
        AviBuild build(settings);
        bool firstUnreadable = true;
        ASSERT_EQ(build.start(firstUnreadable), QString());
        EXPECT_FALSE(firstUnreadable);
        EXPECT_FALSE(QFile::exists(movie)) << "the name is taken only when the movie is whole";
        AviBuild::Step step;
        while ((step = build.step()) != AviBuild::Step::Done) ASSERT_NE(step, AviBuild::Step::Failed) << build.failure().toStdString();
        ASSERT_EQ(build.finish(), QString());
        const test::MovieProbe probe = ProbeMovie(movie, true);
        EXPECT_EQ(probe.videoPackets, 3) << codec;
        EXPECT_DOUBLE_EQ(probe.frameRate, 7);
        EXPECT_EQ(probe.firstPicture.size(), QSize(160, 120));
        EXPECT_EQ(probe.counters, std::vector<std::int64_t>({2, 0, 1})) << codec;
        EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^\\.")).size(), 0);
    }
}

TEST_F(AviBuilderTest, AFailedOrCancelledBuildLeavesNothingUnderTheName) {
    const QString movie = tempPath("old.avi");
    QFile old(movie);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older file");
    old.close();
    AviBuildSettings settings;
    settings.out = movie;
    settings.paths = {bitmap(0), bitmap(1, QSize(320, 240))};
    AviBuild build(settings);
    bool firstUnreadable = false;
    ASSERT_EQ(build.start(firstUnreadable), QString());
    AviBuild::Step step;
    while ((step = build.step()) == AviBuild::Step::Wrote || step == AviBuild::Step::Busy) {}
    EXPECT_EQ(step, AviBuild::Step::Failed);
    EXPECT_TRUE(build.failure().contains("f1.bmp is 320x240, the movie 160x120")) << build.failure().toStdString();
    build.cancel();
    EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files | QDir::Hidden).filter("old.avi"), QStringList{"old.avi"});
    QFile kept(movie);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "an older file");

    AviBuild unreadable({tempPath("new.avi"), {tempPath("missing.bmp")}, 10, 0});
    EXPECT_FALSE(unreadable.start(firstUnreadable).isEmpty());
    EXPECT_TRUE(firstUnreadable);
    EXPECT_FALSE(QFile::exists(tempPath("new.avi")));
}

TEST_F(AviBuilderTest, ThePanelAddsBuildsAndCancels) {
    QWidget window;
    QString fps = " 5 FPS";
    AviBuilderPanel panel([&] { return fps; }, &window);
    auto button = [&](const char* key) { return FindKeyed<QAction>(panel.AviBuilderCursors, key); };
    EXPECT_FALSE(panel.BuildAVI->isEnabled());
    prompts->fileAnswers = {bitmap(0)};
    panel.AddFilesToAviBuilder();
    EXPECT_FALSE(button("up")->isEnabled());
    EXPECT_TRUE(button("delete")->isEnabled());
    EXPECT_TRUE(panel.BuildAVI->isEnabled());
    panel.AddBitmapToList(bitmap(9, QSize(320, 240)));
    EXPECT_EQ(prompts->messages(), QStringList{"Chosen bitmap file is a different format ! "});
    panel.AddBitmapToListQuietly(bitmap(8, QSize(320, 240)));
    EXPECT_EQ(prompts->messages().size(), 1) << "the folder search skips it silently";
    panel.AddBitmapToList(tempPath("missing.bmp"));
    EXPECT_EQ(prompts->messages().last(), tempPath("missing.bmp") + " is not a bitmap file.");
    panel.AddBitmapToList(bitmap(1));
    panel.AddBitmapToList(bitmap(2));
    ASSERT_EQ(panel.lstDIBList->count(), 3);
    EXPECT_TRUE(button("up")->isEnabled());
    ASSERT_NE(panel.preview(), nullptr);
    EXPECT_EQ(panel.preview()->windowTitle(), bitmap(2));
    panel.lstDIBList->setCurrentRow(2);
    button("up")->trigger();
    EXPECT_EQ(panel.lstDIBList->currentRow(), 1);
    EXPECT_EQ(panel.list().paths(), QStringList({bitmap(0), bitmap(2), bitmap(1)}));

    Vars.CaptureFileName = tempPath("clip.bmp");
    prompts->fileAnswers = {tempPath("clip.avi"), tempPath("never.avi")};
    panel.BuildAviFromList();
    auto options = [&]() -> QDialog* {
        for (QDialog* open : window.findChildren<QDialog*>("AviSaveOptions")) {
            if (open->isVisible()) return open;
        }
        return nullptr;
    };
    ASSERT_NE(options(), nullptr);
    EXPECT_FALSE(panel.building()) << "the compressor comes first";
    EXPECT_TRUE(options()->isModal());
    options()->findChild<QComboBox*>("choice")->setCurrentIndex(media::VideoCompressorByKey("mpeg4"));
    options()->accept();
    EXPECT_TRUE(panel.building());
    EXPECT_EQ(panel.BuildAVI->text(), "Cancel");
    EXPECT_FALSE(button("add")->isEnabled());
    ASSERT_TRUE(test::WaitUntil([&] { return !panel.building(); }, 5000));
    EXPECT_EQ(panel.preview()->windowTitle(), "Finished. (3 frames)");
    const test::MovieProbe probe = ProbeMovie(tempPath("clip.avi"), true);
    EXPECT_EQ(probe.videoCodec, "mpeg4");
    EXPECT_EQ(probe.counters, std::vector<std::int64_t>({0, 2, 1}));
    // A cancelled compressor window builds nothing.
    panel.BuildAviFromList();
    ASSERT_NE(options(), nullptr);
    options()->reject();
    EXPECT_FALSE(panel.building());
    EXPECT_FALSE(QFile::exists(tempPath("never.avi")));
    EXPECT_DOUBLE_EQ(probe.frameRate, 5);

    // Cancel at once: the movie never takes its name.
    for (int n = 10; n < 60; ++n) panel.AddBitmapToList(bitmap(n));
    prompts->fileAnswers = {tempPath("cancelled.avi")};
    panel.BuildAviFromList();
    ASSERT_NE(options(), nullptr);
    options()->accept();
    ASSERT_TRUE(panel.building());
    panel.BuildAVI->click();
    EXPECT_FALSE(panel.building());
    EXPECT_EQ(panel.preview()->windowTitle(), "Cancelled.");
    EXPECT_FALSE(QFile::exists(tempPath("cancelled.avi")));
    EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files | QDir::Hidden).filter("cancelled").size(), 0);

    panel.ClearAVIBuilderBuffer();
    EXPECT_EQ(panel.lstDIBList->count(), 0);
    EXPECT_FALSE(panel.list().format().set);
    EXPECT_FALSE(panel.BuildAVI->isEnabled());
}
