// kestrova-cli's AVI tools as a user runs them: information texts written by record and avi-info and
// printed back, and the one-line refusals for files that are no movie.

#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"
#include "movie_probe.h"

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
