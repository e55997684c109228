// The information list of a movie: its bytes, read back through the RIFF structure and by
// libavformat, a movie of several RIFF chunks, and files that cannot take it left as they were.

#include "avitools/avi_info.h"
#include "platform/media/ffmpeg_handles.h"

#include "kestrova_test.h"
#include "movie_fixtures.h"
#include "movie_probe.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <csignal>
#include <sys/resource.h>

using namespace kestrova;
using kestrova::test::ProbeMovie;

namespace {

std::uint32_t SizeAt(const QByteArray& bytes, qsizetype offset) { return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset); }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class AviInfoTest : public kestrova::test::KestrovaTest {};

}  // namespace

TEST(AviInfoChunk, HoldsSevenSubChunksEachPaddedToAnEvenLength) {
    const QByteArray empty = AviInfoChunk({});
    ASSERT_EQ(empty.size(), 96);
    EXPECT_EQ(empty.left(4), "LIST");
    EXPECT_EQ(SizeAt(empty, 4), 88u);
    EXPECT_EQ(empty.mid(8, 4), "INFO");
    struct Expected {
        const char* id;
        std::uint32_t size;
    };
    const Expected order[] = {{"ICOP", 1}, {"IART", 1}, {"ICMT", 1}, {"INAM", 15}, {"IPRD", 1}, {"ISBJ", 1}, {"ISRC", 1}};
    qsizetype offset = 12;
    for (const Expected& sub : order) {
        EXPECT_EQ(empty.mid(offset, 4), sub.id);
        EXPECT_EQ(SizeAt(empty, offset + 4), sub.size) << sub.id;
        offset += 8 + sub.size + (sub.size & 1);
    }
    EXPECT_EQ(offset, empty.size());
    EXPECT_EQ(empty.mid(12 + 10 * 3 + 8, 15), QByteArray("Video Kestrova\0", 15));

    // Two letters: size 3 and a pad byte; three letters: size 4, no pad. Texts go to their own ids.
    const QByteArray two = AviInfoChunk({"ab", "", "", "", "", ""});
    EXPECT_EQ(SizeAt(two, 16), 3u);
    EXPECT_EQ(two.mid(20, 4), QByteArray("ab\0\0", 4));
    EXPECT_EQ(two.mid(24, 4), "IART");
    const QByteArray three = AviInfoChunk({"abc", "", "", "", "", "xyz"});
    EXPECT_EQ(SizeAt(three, 16), 4u);
    EXPECT_EQ(three.mid(24, 4), "IART");
    EXPECT_EQ(three.mid(34, 4), "ICMT");
    EXPECT_EQ(three.mid(42, 3), "xyz");
}

TEST_F(AviInfoTest, AMovieKeepsPlayingAndLibavformatReadsTheTexts) {
    const QString movie = tempPath("titled.avi");
    ASSERT_EQ(test::MakePatternMovie(movie, 12), QString());
    const QByteArray before = ReadAll(movie);
    const test::MovieProbe original = ProbeMovie(movie, true);

    ASSERT_EQ(WriteAviInfo(movie, "(c) Kestrova", "Ann", "Birds", "Garden films", "Camera 2", "Früh am Morgen"), QString());
    const QByteArray after = ReadAll(movie);
    const QByteArray chunk = AviInfoChunk({"(c) Kestrova", "Ann", "Birds", "Garden films", "Camera 2", "Früh am Morgen"});
    ASSERT_EQ(after.size(), before.size() + chunk.size());
    EXPECT_EQ(after.mid(8, before.size() - 8), before.mid(8)) << "the movie's own bytes are untouched";
    EXPECT_EQ(after.mid(before.size()), chunk);
    EXPECT_EQ(SizeAt(after, 4), SizeAt(before, 4) + std::uint32_t(chunk.size()));

    QString why;
    // The muxer's own list (its name in ISFT) comes first.
    const std::vector<AviInfoList> lists = ReadAviInfo(movie, why);
    ASSERT_EQ(why, QString());
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_EQ(lists[1].size(), 7u);
    EXPECT_EQ(lists[1][0].id, "ICOP");
    EXPECT_EQ(lists[1][0].text, "(c) Kestrova");
    EXPECT_EQ(lists[1][2].text, "Früh am Morgen");
    EXPECT_EQ(lists[1][3].text, "Video Kestrova");

    const test::MovieProbe probe = ProbeMovie(movie, true);
    ASSERT_EQ(probe.error, QString());
    EXPECT_EQ(probe.decodedFrames, original.decodedFrames);
    EXPECT_EQ(probe.counters, original.counters);
    EXPECT_EQ(probe.metadata.value("copyright"), "(c) Kestrova");
    EXPECT_EQ(probe.metadata.value("artist"), "Ann");
    EXPECT_EQ(probe.metadata.value("comment"), "Früh am Morgen");
    EXPECT_EQ(probe.metadata.value("title"), "Video Kestrova");
    EXPECT_EQ(probe.metadata.value("subject"), "Birds");
    EXPECT_EQ(probe.metadata.value("product"), "Garden films");
    EXPECT_EQ(probe.metadata.value("ISRC"), "Camera 2");

    // A second list goes after the first; both are read, the newer one wins in libavformat.
    ASSERT_EQ(WriteAviInfo(movie, "(c) Other", "", "", "", "", ""), QString());
    const std::vector<AviInfoList> twice = ReadAviInfo(movie, why);
    ASSERT_EQ(twice.size(), 3u);
    EXPECT_EQ(twice[2][0].text, "(c) Other");
    const test::MovieProbe again = ProbeMovie(movie, true);
    EXPECT_EQ(again.decodedFrames, original.decodedFrames);
    EXPECT_EQ(again.metadata.value("copyright"), "(c) Other");
}

TEST_F(AviInfoTest, FilesThatCannotTakeTheListAreLeftAsTheyWere) {
    const QString movie = tempPath("source.avi");
    ASSERT_EQ(test::MakePatternMovie(movie, 4), QString());
    const QByteArray good = ReadAll(movie);
    QByteArray junkAfter = good;
    junkAfter.append("JUNKJUNK");
    QByteArray wave = good;
    wave.replace(8, 4, "WAVE");
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "not an AVI file"},
        {"text", QByteArray("just some words, no movie at all"), "not an AVI file"},
        {"wave", wave, "not an AVI file"},
        {"truncated", good.left(good.size() / 2), "damaged AVI file: truncated"},
        {"header only", good.left(10), "not an AVI file"},
        {"data after it", junkAfter, "damaged AVI file: data after its RIFF chunks"},
    };
    for (const Case& c : cases) {
        const QString path = tempPath(QString::fromLatin1(c.name) + ".avi");
        ASSERT_TRUE(WriteAll(path, c.bytes));
        EXPECT_TRUE(WriteAviInfo(path, {"x", "", "", "", "", ""}).startsWith(QString::fromLatin1(c.reason))) << c.name;
        EXPECT_EQ(ReadAll(path), c.bytes) << c.name;
        QString why;
        ReadAviInfo(path, why);
        EXPECT_TRUE(why.startsWith(QString::fromLatin1(c.reason))) << c.name << ": " << why.toStdString();
    }
    EXPECT_FALSE(WriteAviInfo(tempPath("missing.avi"), {}).isEmpty());
    EXPECT_FALSE(QFile::exists(tempPath("missing.avi")));
}

TEST_F(AviInfoTest, AWriteThatFailsHalfWayLeavesTheMovieAsItWas) {
    const QString movie = tempPath("full.avi");
    ASSERT_EQ(test::MakePatternMovie(movie, 4), QString());
    const QByteArray before = ReadAll(movie);
    // The file may grow by 20 bytes only: the list's write fails part way, as on a full disk.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(before.size() + 20);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const QString failed = WriteAviInfo(movie, {"a long copyright text", "", "", "", "", ""});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed.startsWith("cannot write to")) << failed.toStdString();
    const QByteArray after = ReadAll(movie);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == before);
    EXPECT_EQ(ProbeMovie(movie).videoPackets, 4);
}

TEST_F(AviInfoTest, AMovieOfSeveralRiffChunksTakesTheListInItsLastOne) {
    // Over 1 GB the AVI muxer goes on in AVIX chunks (OpenDML). Uncompressed full-HD pictures get
    // there in 180 frames.
    media::QuietFfmpegLog();
    const QString movie = tempPath("long.avi");
    AVFormatContext* format = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&format, nullptr, "avi", movie.toUtf8().constData()), 0);
    AVStream* stream = avformat_new_stream(format, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
    stream->codecpar->format = AV_PIX_FMT_BGR24;
    stream->codecpar->bits_per_coded_sample = 24;
    stream->codecpar->width = 1920;
    stream->codecpar->height = 1080;
    stream->time_base = AVRational{1, 25};
    ASSERT_GE(avio_open(&format->pb, movie.toUtf8().constData(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(format, nullptr), 0);
    std::vector<std::uint8_t> picture(1920 * 1080 * 3, 0x40);
    constexpr int Frames = 180;
    for (int n = 0; n < Frames; ++n) {
        AVPacket* packet = av_packet_alloc();
        packet->data = picture.data();
        packet->size = int(picture.size());
        packet->pts = packet->dts = n;
        packet->flags = AV_PKT_FLAG_KEY;
        ASSERT_GE(av_write_frame(format, packet), 0);
        av_packet_free(&packet);
    }
    ASSERT_GE(av_write_trailer(format), 0);
    avio_closep(&format->pb);
    avformat_free_context(format);

    QString why;
    const std::vector<RiffChunk> before = AviRiffChunks(movie, why);
    ASSERT_EQ(why, QString());
    ASSERT_EQ(before.size(), 2u) << "one RIFF AVI and one AVIX chunk; " << QFileInfo(movie).size();
    EXPECT_EQ(before[1].form, "AVIX");
    const qint64 length = QFileInfo(movie).size();

    ASSERT_EQ(WriteAviInfo(movie, {"(c) Long", "", "", "", "", ""}), QString());
    const std::vector<RiffChunk> after = AviRiffChunks(movie, why);
    ASSERT_EQ(why, QString());
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].size, before[0].size) << "the first chunk still ends where the AVIX chunk starts";
    EXPECT_EQ(after[1].size, before[1].size + 96 + 8);
    EXPECT_EQ(QFileInfo(movie).size(), length + 104);
    const std::vector<AviInfoList> lists = ReadAviInfo(movie, why);
    ASSERT_FALSE(lists.empty());
    EXPECT_EQ(lists.back()[0].text, "(c) Long");
    const test::MovieProbe probe = ProbeMovie(movie);
    EXPECT_EQ(probe.error, QString());
    EXPECT_EQ(probe.videoPackets, Frames);
    QFile::remove(movie);
}
