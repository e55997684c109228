// kestrova-cli's AVI tools as a user runs them: information texts written by record and avi-info and
// printed back, and the one-line refusals for files that are no movie.

#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"
#include "movie_probe.h"

#include <QDir>
#include <QFile>

using namespace kestrova;

namespace {

class AviToolsCommandTest : public kestrova::test::KestrovaTest {};

}  // namespace

TEST_F(AviToolsCommandTest, RecordAndAviInfoWriteTextsThatAviInfoPrints) {
    const QString movie = tempPath("clip.avi");
    const test::CliOutcome recorded = test::RunCli({"record", "--source", "testpattern", "--out", movie, "--seconds", "0.5", "--fps", "10",
                                                    "--size", "160x120", "--info", "Copyright=(c) Me", "--info", "comments=first take"});
    ASSERT_EQ(recorded.status, cli::ExitOk) << recorded.err.toStdString();
    EXPECT_EQ(test::ProbeMovie(movie).metadata.value("copyright"), "(c) Me");

    const test::CliOutcome printed = test::RunCli({"avi-info", movie});
    ASSERT_EQ(printed.status, cli::ExitOk) << printed.err.toStdString();
    EXPECT_EQ(printed.out, "copyright\t(c) Me\nartist\t\ncomments\tfirst take\nname\tVideo Kestrova\nproduct\t\nsubject\t\nsource\t\n");

    const test::CliOutcome added = test::RunCli({"avi-info", movie, "--info", "artist=Ann = Bo"});
    ASSERT_EQ(added.status, cli::ExitOk) << added.err.toStdString();
    EXPECT_TRUE(test::RunCli({"avi-info", movie}).out.startsWith("copyright\t\nartist\tAnn = Bo\n"));
    EXPECT_EQ(test::ProbeMovie(movie).videoPackets, 5);
}

TEST_F(AviToolsCommandTest, FilesThatAreNoMovieGiveOneLine) {
    const QString text = tempPath("notes.avi");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF\x10\0\0\0WAVEfmt ", 16);
    file.close();
    struct Case {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"avi-info", text}, cli::ExitFailed, "not an AVI file"},
        {{"avi-info", text, "--info", "artist=x"}, cli::ExitFailed, "not an AVI file"},
        {{"avi-info", tempPath("missing.avi")}, cli::ExitFailed, "cannot open"},
        {{"avi-info", text, "--info", "title=x"}, cli::ExitUsage, "bad information text"},
        {{"avi-info"}, cli::ExitUsage, "usage"},
        {{"record", "--source", "testpattern", "--out", tempPath("x.avi"), "--info", "nokey"}, cli::ExitUsage, "bad information text"},
    };
    for (const Case& c : cases) {
        const test::CliOutcome outcome = test::RunCli(c.arguments);
        EXPECT_EQ(outcome.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(outcome.err.count('\n'), 1) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains(QString::fromLatin1(c.message))) << outcome.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(tempPath("missing.avi")));
    EXPECT_FALSE(QFile::exists(tempPath("x.avi")));
}

TEST_F(AviToolsCommandTest, WhatCodecPrintsTheCodeAndTheCodecsName) {
    const QString movie = tempPath("clip.avi");
    ASSERT_EQ(test::RunCli({"record", "--source", "testpattern", "--out", movie, "--seconds", "0.2", "--fps", "10", "--size", "160x120"}).status,
              cli::ExitOk);
    const test::CliOutcome named = test::RunCli({"what-codec", movie});
    EXPECT_EQ(named.status, cli::ExitOk) << named.err.toStdString();
    EXPECT_EQ(named.out, "MJPG\tMotion JPEG\n");
    const QString raw = tempPath("raw.avi");
    ASSERT_EQ(test::RunCli({"record", "--source", "testpattern", "--out", raw, "--seconds", "0.2", "--fps", "10", "--size", "160x120",
                            "--codec", "bgr24"}).status,
              cli::ExitOk);
    EXPECT_EQ(test::RunCli({"what-codec", raw}).out, "none\tIs not compressed. Codec not required.\n");
    const test::CliOutcome text = test::RunCli({"what-codec", tempPath("missing.avi")});
    EXPECT_EQ(text.status, cli::ExitFailed);
    EXPECT_EQ(text.err.count('\n'), 1);
}

TEST_F(AviToolsCommandTest, BuildAviMakesAMovieOfTheBitmapsOrRefusesWithoutLeavingOne) {
    QStringList bitmaps;
    for (int n = 0; n < 4; ++n) {
        const QString still = tempPath(QStringLiteral("f%1.bmp").arg(n));
        ASSERT_EQ(test::RunCli({"still", "--source", "testpattern", "--out", still, "--size", "160x120"}).status, cli::ExitOk);
        bitmaps << still;
    }
    const QString movie = tempPath("built.avi");
    const test::CliOutcome built = test::RunCli(QStringList{"build-avi", "--out", movie, "--fps", "4", "--codec", "mpeg4"} + bitmaps);
    ASSERT_EQ(built.status, cli::ExitOk) << built.err.toStdString();
    EXPECT_EQ(built.out, QStringLiteral("frames=4 fps=4 file=%1\n").arg(movie));
    EXPECT_TRUE(built.err.contains("4 of 4 frames"));
    const test::MovieProbe probe = test::ProbeMovie(movie);
    EXPECT_EQ(probe.videoPackets, 4);
    EXPECT_EQ(probe.videoCodec, "mpeg4");
    EXPECT_DOUBLE_EQ(probe.frameRate, 4);

    const QString big = tempPath("big.bmp");
    ASSERT_EQ(test::RunCli({"still", "--source", "testpattern", "--out", big, "--size", "320x240"}).status, cli::ExitOk);
    QFile text(tempPath("notes.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("words");
    text.close();
    struct Case {
        QStringList bitmaps;
        const char* message;
    };
    const Case cases[] = {
        {{bitmaps[0], big}, "big.bmp is 320x240, the movie 160x120"},
        {{bitmaps[0], text.fileName()}, "notes.bmp is not a bitmap"},
        {{text.fileName()}, "notes.bmp is not a bitmap"},
    };
    for (const Case& c : cases) {
        const QString out = tempPath("refused.avi");
        const test::CliOutcome refused = test::RunCli(QStringList{"build-avi", "--out", out} + c.bitmaps);
        EXPECT_EQ(refused.status, cli::ExitFailed);
        EXPECT_TRUE(refused.err.contains(QString::fromLatin1(c.message))) << refused.err.toStdString();
        EXPECT_EQ(refused.err.count("kestrova-cli"), 1) << refused.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_EQ(QDir(tempPath("")).entryList(QDir::Files | QDir::Hidden).filter("refused").size(), 0);
    EXPECT_EQ(test::RunCli({"build-avi", "--out", movie}).status, cli::ExitUsage);
    EXPECT_EQ(test::RunCli(QStringList{"build-avi", "--out", movie, "--codec", "nope"} + bitmaps).status, cli::ExitUsage);
}

TEST_F(AviToolsCommandTest, ExtractWritesNumberedPicturesOrRefusesADamagedMovie) {
    const QString movie = tempPath("clip.avi");
    ASSERT_EQ(test::RunCli({"record", "--source", "testpattern", "--out", movie, "--seconds", "0.5", "--fps", "10", "--size", "160x120"}).status,
              cli::ExitOk);
    ASSERT_TRUE(QDir().mkpath(tempPath("out")));
    const test::CliOutcome extracted = test::RunCli({"extract", "--in", movie, "--out", tempPath("out/shot.jpg"), "--quality", "90"});
    ASSERT_EQ(extracted.status, cli::ExitOk) << extracted.err.toStdString();
    EXPECT_EQ(extracted.out, QStringLiteral("frames=5 first=%1\n").arg(tempPath("out/shot_Frame_000000.jpg")));
    EXPECT_EQ(QDir(tempPath("out")).entryList(QDir::Files),
              QStringList({"shot_Frame_000000.jpg", "shot_Frame_000001.jpg", "shot_Frame_000002.jpg", "shot_Frame_000003.jpg",
                           "shot_Frame_000004.jpg"}));

    QFile whole(movie);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(tempPath("cut.avi"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.read(400));
    cut.close();
    for (const QString& in : {cut.fileName(), tempPath("missing.avi")}) {
        const test::CliOutcome refused = test::RunCli({"extract", "--in", in, "--out", tempPath("bad/x.bmp")});
        EXPECT_EQ(refused.status, cli::ExitFailed) << in.toStdString();
        EXPECT_EQ(refused.err.count('\n'), 1) << refused.err.toStdString();
    }
    EXPECT_EQ(test::RunCli({"extract", "--in", movie, "--out", tempPath("x.png")}).status, cli::ExitUsage);
}

TEST_F(AviToolsCommandTest, ExportDvWritesADvStreamFfmpegReads) {
    const QString movie = tempPath("clip.avi");
    ASSERT_EQ(test::RunCli({"record", "--source", "testpattern", "--out", movie, "--seconds", "0.4", "--fps", "25", "--size", "160x120"}).status,
              cli::ExitOk);
    const QString dv = tempPath("clip.dv");
    const test::CliOutcome exported = test::RunCli({"export-dv", "--in", movie, "--out", dv});
    ASSERT_EQ(exported.status, cli::ExitOk) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("frames=10 standard=PAL file=%1\n").arg(dv));
    EXPECT_TRUE(exported.err.contains("10 of 10 frames"));
    const test::MovieProbe probe = test::ProbeMovie(dv, true);
    EXPECT_EQ(probe.videoCodec, "dvvideo");
    EXPECT_EQ(probe.decodedFrames, 10);

    const test::CliOutcome refused = test::RunCli({"export-dv", "--in", tempPath("missing.avi"), "--out", tempPath("no.dv")});
    EXPECT_EQ(refused.status, cli::ExitFailed);
    EXPECT_EQ(refused.err.count('\n'), 1);
    EXPECT_FALSE(QFile::exists(tempPath("no.dv")));
    EXPECT_EQ(test::RunCli({"export-dv", "--in", movie}).status, cli::ExitUsage);
}
