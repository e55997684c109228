// Exact frames out of movies: seeks forward and back in files whose key frames are far apart, frame
// extraction's names and pixels against the decoded movie, and damaged files.

#include "avitools/frame_extraction.h"
#include "imaging/dib.h"
#include "platform/media/movie_reader.h"
#include "platform/media/test_pattern.h"

#include "kestrova_test.h"
#include "movie_fixtures.h"
#include "movie_probe.h"

#include <QDir>
#include <QFile>
#include <QImage>

using namespace kestrova;

namespace {

class MovieReaderTest : public kestrova::test::KestrovaTest {};

// The Test Pattern counter a decoded picture shows, or -1.
std::int64_t CounterOf(const QImage& picture) { return media::ReadTestPatternCounter(picture).value_or(-1); }

}  // namespace

TEST_F(MovieReaderTest, EverySeekLandsOnTheFrameAskedFor) {
    // The recorder puts a key frame every second: H.264 at 250 frames per second has them 250 apart.
    struct Case {
        const char* codec;
        double fps;
        int frames;
    };
    for (const Case& c : {Case{"h264", 250, 300}, Case{"mjpeg", 30, 100}, Case{"mpeg4", 30, 100}}) {
        const QString movie = tempPath(QString::fromLatin1(c.codec) + ".avi");
        ASSERT_EQ(test::MakePatternMovie(movie, c.frames, QSize(160, 120), QString::fromLatin1(c.codec), c.fps), QString());
        media::MovieReader reader;
        ASSERT_EQ(reader.open(movie), QString());
        EXPECT_EQ(reader.frameCount(), c.frames);
        EXPECT_DOUBLE_EQ(reader.frameRate(), c.fps);
        EXPECT_EQ(reader.size(), QSize(160, 120));
        for (const std::int64_t n : {0, 57, 58, 59, 61, 29, 30, 31, 249, 250, 251, 299, 99, 3, 3, 98, 1, 248}) {
            if (n >= c.frames) continue;
            QString why;
            const QImage picture = reader.frame(n, &why);
            ASSERT_FALSE(picture.isNull()) << c.codec << " " << n << ": " << why.toStdString();
            EXPECT_EQ(CounterOf(picture), n) << c.codec;
        }
        QString why;
        EXPECT_TRUE(reader.frame(c.frames, &why).isNull());
        EXPECT_TRUE(why.contains(QStringLiteral("no picture %1").arg(c.frames))) << why.toStdString();
    }
}

TEST_F(MovieReaderTest, ExtractionWritesEveryFrameUnderItsNumber) {
    const QString movie = tempPath("clip.avi");
    ASSERT_EQ(test::MakePatternMovie(movie, 12, QSize(160, 120), "bgr24"), QString());
    ASSERT_TRUE(QDir().mkpath(tempPath("out")));
    for (const char* chosen : {"out/clip.bmp", "out/clip.JPG"}) {
        FrameExtraction extraction;
        ASSERT_EQ(extraction.open(movie, tempPath(chosen), 90), QString());
        FrameExtraction::Step step;
        while ((step = extraction.step()) == FrameExtraction::Step::Wrote) {}
        EXPECT_EQ(step, FrameExtraction::Step::Done);
        ASSERT_EQ(extraction.written().size(), 12);
    }
    media::MovieReader reader;
    ASSERT_EQ(reader.open(movie), QString());
    for (int n : {0, 7, 11}) {
        cDib bitmap;
        ASSERT_TRUE(bitmap.CreateFromFile(tempPath(QStringLiteral("out/clip_Frame_%1.bmp").arg(n, 6, 10, QLatin1Char('0')))));
        const QImage decoded = reader.frame(n);
        ASSERT_EQ(bitmap.Width(), decoded.width());
        // An uncompressed movie gives the bitmap its pixels exactly.
        const PictureView view = bitmap.view();
        for (int y = 0; y < decoded.height(); y += 17) {
            EXPECT_EQ(std::memcmp(view.row(y), decoded.constScanLine(y), size_t(decoded.width()) * 3), 0) << n << " row " << y;
        }
        const QImage jpeg(tempPath(QStringLiteral("out/clip_Frame_%1.JPG").arg(n, 6, 10, QLatin1Char('0'))));
        EXPECT_EQ(CounterOf(jpeg.convertToFormat(QImage::Format_BGR888)), n);
    }
    EXPECT_FALSE(QFile::exists(tempPath("out/clip_Frame_000012.bmp")));

    // Another extension writes nothing; the statuses count with the mask "#".
    FrameExtraction none;
    ASSERT_EQ(none.open(movie, tempPath("out/clip.png"), 90), QString());
    while (none.step() == FrameExtraction::Step::Wrote) {}
    EXPECT_TRUE(none.written().isEmpty());
    EXPECT_EQ(SavingStatus(0, 249), "Saving  of 249 frames");
    EXPECT_EQ(SavingStatus(1, 249), "Saving 1 of 249 frames");
    EXPECT_EQ(ExtractedFrameName("/out/clip.bmp", 249), "/out/clip_Frame_000249.bmp");
}

TEST_F(MovieReaderTest, DamagedFilesAreRefusedWithAReason) {
    const QString movie = tempPath("clip.avi");
    ASSERT_EQ(test::MakePatternMovie(movie, 20), QString());
    QFile file(movie);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const std::pair<const char*, QByteArray> cases[] = {
        {"text.avi", QByteArray("no movie in here at all, just words")},
        {"head.avi", whole.left(300)},
        {"empty.avi", QByteArray()},
    };
    for (const auto& [name, bytes] : cases) {
        QFile damaged(tempPath(name));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
        damaged.close();
        media::MovieReader reader;
        EXPECT_FALSE(reader.open(damaged.fileName()).isEmpty()) << name;
    }
    media::MovieReader reader;
    EXPECT_FALSE(reader.open(tempPath("missing.avi")).isEmpty());
}
