// The DV export window driven through a fake DV deck (no such device exists here), and DV stream files
// that FFmpeg reads back frame for frame.

#include "avitools/dv_stream.h"
#include "avitools/export_dv.h"

#include "kestrova_test.h"
#include "movie_fixtures.h"
#include "movie_probe.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace kestrova;

namespace {

struct FakeDeck final : DvExportControl {
    QStringList* calls;
    qint64 position = 0;
    explicit FakeDeck(QStringList* log) : calls(log) {}
    void StartDVExport(const QString& path) override { *calls << "start " + path; }
    int DVTransport(int command) override {
        *calls << QStringLiteral("transport %1").arg(command);
        return 0;
    }
    qint64 Position() const override { return position; }
    qint64 StreamLength() const override { return 500; }
    void CloseStream() override { *calls << "close"; }
};

class ExportDvTest : public kestrova::test::KestrovaTest {};

}  // namespace

TEST_F(ExportDvTest, TheWindowStartsFollowsAndStopsATransfer) {
    QStringList calls;
    auto deck = std::make_unique<FakeDeck>(&calls);
    FakeDeck* device = deck.get();
    ExportDV window(std::move(deck));
    window.show();
    EXPECT_EQ(window.windowTitle(), "Export AVI to a DV device...");
    EXPECT_EQ(window.ExitButton->text(), "Exit");
    EXPECT_EQ(window.Txt->text(), "Filename:");
    window.StopProcess();
    EXPECT_TRUE(calls.isEmpty()) << "a late end notice while idle changes nothing";

    prompts->fileAnswers = {QString(), "/movies/clip.avi"};
    window.OpenPath->click();
    EXPECT_EQ(window.AVI_PAth->text(), "");
    window.OpenPath->click();
    EXPECT_EQ(window.AVI_PAth->text(), "/movies/clip.avi");
    EXPECT_EQ(prompts->shown.back().title, "Choose AVI to export...");
    window.xStart->click();
    EXPECT_EQ(calls, QStringList({"start /movies/clip.avi", "transport 7"}));
    EXPECT_TRUE(window.transferring());
    EXPECT_EQ(window.windowTitle(), "Transfering...");
    EXPECT_EQ(window.ExitButton->text(), "Abort");
    EXPECT_FALSE(window.xStart->isVisible());
    EXPECT_EQ(window.xProg->maximum(), 500);
    device->position = 120;
    window.DVtimerTick();
    EXPECT_EQ(window.xProg->value(), 120);

    window.ExitButton->click();  // "Abort", not close
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(calls.mid(2), QStringList({"transport 2", "close"}));
    EXPECT_FALSE(window.transferring());
    EXPECT_EQ(window.ExitButton->text(), "Exit");
    EXPECT_EQ(window.xProg->value(), 0);
    EXPECT_TRUE(window.xStart->isVisible());
    window.ExitButton->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ExportDvTest, AMovieBecomesADvStreamOfAsManyFrames) {
    const std::pair<double, int> rates[] = {{25, 576}, {10, 576}, {30, 480}};
    for (const auto& [fps, height] : rates) {
        const QString movie = tempPath("clip.avi");
        ASSERT_EQ(test::MakePatternMovie(movie, 9, QSize(160, 120), "mjpeg", fps), QString());
        const QString out = tempPath("clip.dv");
        DvStreamWriter writer;
        ASSERT_EQ(writer.open(movie, out), QString());
        EXPECT_EQ(writer.pal(), height == 576);
        while (writer.step()) {}
        ASSERT_EQ(writer.finish(), QString());
        const test::MovieProbe probe = test::ProbeMovie(out, true);
        EXPECT_EQ(probe.container, "dv");
        EXPECT_EQ(probe.videoCodec, "dvvideo");
        EXPECT_EQ(probe.decodedFrames, 9) << fps;
        EXPECT_EQ(probe.firstPicture.height(), height);
        QFile::remove(movie);
    }
    DvStreamWriter refused;
    EXPECT_FALSE(refused.open(tempPath("missing.avi"), tempPath("none.dv")).isEmpty());
    EXPECT_FALSE(QFile::exists(tempPath("none.dv")));
    EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files | QDir::Hidden).filter(".none").size(), 0);
}
