// kestrova-cli record as a user runs it: the summary line, the sources it refuses, Ctrl+C, and a
// recording process killed outright.

#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"
#include "sanitizers.h"
#include "movie_probe.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

using namespace kestrova;
using kestrova::test::ProbeMovie;

namespace {

class RecordCommandTest : public kestrova::test::KestrovaTest {
protected:
    QString path(const char* name) const { return QDir(QString::fromLocal8Bit(qgetenv("KESTROVA_HOME"))).filePath(QString::fromLatin1(name)); }

    void start(QProcess& cli, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
        cli.setProcessEnvironment(environment);
        cli.start(KESTROVA_CLI_PATH, QStringList{"record"} + arguments);
        ASSERT_TRUE(cli.waitForStarted());
    }
    // Waits until the movie file has grown past `bytes`.
    bool waitForFile(const QString& file, qint64 bytes) {
        for (int i = 0; i < 400; ++i) {
            if (QFileInfo(file).size() > bytes) return true;
            QThread::msleep(10);
        }
        return false;
    }
};

}  // namespace

TEST_F(RecordCommandTest, ARecordingOfSetLengthPrintsItsSummary) {
    const QString out = path("short.avi");
    QProcess cli;
    start(cli, {"--source", "testpattern", "--out", out, "--seconds", "1", "--fps", "20", "--size", "320x240", "--audio", "--codec", "mpeg4"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), cli::ExitOk) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()), QStringLiteral("frames=20 dropped=0 seconds=1.00 file=%1\n").arg(out));
    const test::MovieProbe probe = ProbeMovie(out);
    EXPECT_EQ(probe.videoCodec, QStringLiteral("mpeg4"));
    EXPECT_EQ(probe.videoPackets, 20);
    EXPECT_DOUBLE_EQ(probe.frameRate, 20);
    EXPECT_EQ(probe.audioSamples, 44100);
}

TEST_F(RecordCommandTest, ACaptureWindowDriverRecordsThroughItsCaptureSequence) {
    const QStringList devices = test::RunCli({"devices"}).out.split('\n');
    const QString driver = devices.filter(QRegularExpression("^vfw\t\\d+\tTest Pattern$")).value(0).section('\t', 1, 1);
    ASSERT_FALSE(driver.isEmpty());
    const QString out = path("driver.avi");
    QProcess cli;
    start(cli, {"--source", "vfw:" + driver, "--out", out, "--seconds", "1", "--fps", "20", "--size", "320x240", "--audio"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), cli::ExitOk) << cli.readAllStandardError().toStdString();
    const QString summary = QString::fromUtf8(cli.readAllStandardOutput());
    if (test::UnderThreadSanitizer) {
        EXPECT_TRUE(summary.startsWith("frames=20 dropped=")) << summary.toStdString();  // too slow there to keep up
    } else {
        EXPECT_EQ(summary, QStringLiteral("frames=20 dropped=0 seconds=1.00 file=%1\n").arg(out));
    }
    const test::MovieProbe probe = ProbeMovie(out);
    EXPECT_EQ(probe.videoPackets, 20);
    EXPECT_DOUBLE_EQ(probe.frameRate, 20);
    EXPECT_TRUE(probe.audio);
}

TEST_F(RecordCommandTest, RefusedSourcesAndBadOptions) {
    struct Case {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"--source", "wms:http://example.invalid/live", "--out", "x.avi"}, cli::ExitFailed, "Capture Mode not supported"},
        {{"--source", "http:http://example.invalid/cam", "--out", "x.avi"}, cli::ExitFailed, "Capture Mode not supported"},
        {{"--source", "testpattern", "--out", "x.avi", "--codec", "divx"}, cli::ExitUsage, "unknown codec"},
        {{"--source", "testpattern", "--out", "x.avi", "--size", "99x"}, cli::ExitUsage, "bad size"},
        {{"--source", "testpattern", "--out", "x.avi", "--fps", "nan"}, cli::ExitUsage, "bad frame rate"},
        {{"--source", "testpattern", "--out", "x.avi", "--fps", "inf"}, cli::ExitUsage, "bad frame rate"},
        {{"--source", "testpattern", "--out", "x.avi", "--fps", "0.1"}, cli::ExitUsage, "bad frame rate"},
        {{"--source", "testpattern", "--out", "x.avi", "--fps", "121"}, cli::ExitUsage, "bad frame rate"},
        {{"--source", "testpattern", "--out", "x.avi", "--seconds", "nan"}, cli::ExitUsage, "bad length"},
        {{"--source", "wdm:99", "--out", "x.avi"}, cli::ExitUsage, "no video device"},
        {{"--source", "vfw:99", "--out", "x.avi"}, cli::ExitUsage, "no video device"},
        {{"--out", "x.avi"}, cli::ExitUsage, "--source and --out"},
        {{"--source", "testpattern", "--out", "/no/such/folder/x.avi", "--seconds", "1"}, cli::ExitFailed, "cannot create"},
    };
    for (const Case& c : cases) {
        QProcess cli;
        start(cli, c.arguments);
        ASSERT_TRUE(cli.waitForFinished(10000));
        const QString error = QString::fromUtf8(cli.readAllStandardError());
        EXPECT_EQ(cli.exitCode(), c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << error.toStdString();
    }
}

TEST_F(RecordCommandTest, CtrlCEndsTheMovieCleanly) {
    const QString out = path("interrupted.avi");
    QProcess cli;
    start(cli, {"--source", "testpattern", "--out", out, "--size", "320x240"});
    ASSERT_TRUE(waitForFile(out, 60000));
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(5000));
    EXPECT_EQ(cli.exitCode(), cli::ExitOk);
    const QString summary = QString::fromUtf8(cli.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^frames=(\\d+) dropped=0 seconds=[0-9.]+ file=.*\\n$")).match(summary);
    ASSERT_TRUE(match.hasMatch()) << summary.toStdString();
    const test::MovieProbe probe = ProbeMovie(out, true);
    EXPECT_EQ(probe.videoPackets, match.captured(1).toLongLong());
    EXPECT_EQ(probe.decodedFrames, probe.videoPackets);
}

TEST_F(RecordCommandTest, AKilledRecordingPlaysUpToItsLastPicture) {
    const QString out = path("killed.avi");
    QProcess cli;
    start(cli, {"--source", "testpattern", "--out", out, "--size", "320x240", "--audio"});
    // About two seconds of pictures and sound.
    ASSERT_TRUE(waitForFile(out, 800'000));
    ::kill(pid_t(cli.processId()), SIGKILL);
    ASSERT_TRUE(cli.waitForFinished(5000));
    const test::MovieProbe probe = ProbeMovie(out, true);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_EQ(probe.container, QStringLiteral("avi"));
    // Every packet goes to the file as it is made: at most the one being written is lost.
    EXPECT_GE(probe.decodedFrames, 40);
    EXPECT_LE(probe.cutPackets, 1);
    EXPECT_TRUE(probe.audio);
    EXPECT_NEAR(double(probe.audioSamples) / 44100, double(probe.videoPackets) / 30, 0.1);
}

// A file size limit fills the "disk" at 2 MB: the movie ends with the reason, and the summary
// counts the pictures the file holds whole.
TEST_F(RecordCommandTest, AFullDiskEndsTheMovieAndTheSummaryCountsWhatTheFileHolds) {
    const QString out = path("limited.avi");
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral("/bin/bash"), {"-c", "ulimit -f 2048 && exec \"$0\" record --source testpattern --out \"$1\" --seconds 30 --size 320x240 --codec bgr24",
                                           KESTROVA_CLI_PATH, out});
    ASSERT_TRUE(cli.waitForFinished(20000));
    EXPECT_EQ(cli.exitCode(), cli::ExitFailed);
    EXPECT_TRUE(QString::fromUtf8(cli.readAllStandardError()).contains("File too large"));
    const QRegularExpressionMatch summary =
        QRegularExpression(QStringLiteral("^frames=(\\d+) ")).match(QString::fromUtf8(cli.readAllStandardOutput()));
    ASSERT_TRUE(summary.hasMatch());
    const test::MovieProbe probe = ProbeMovie(out, true);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_GE(probe.videoPackets, 5);
    EXPECT_EQ(summary.captured(1).toLongLong(), probe.videoPackets - probe.cutPackets);
}

// The length ends the run, whatever the rate.
TEST_F(RecordCommandTest, TheLengthBoundsASlowRate) {
    const test::CliOutcome done =
        test::RunCli({"record", "--source", "testpattern", "--out", path("slow.avi"), "--fps", "1", "--seconds", "2", "--size", "160x120"});
    EXPECT_EQ(done.status, cli::ExitOk) << done.err.toStdString();
    EXPECT_TRUE(done.out.startsWith("frames=2 dropped=0 seconds=2.00")) << done.out.toStdString();
    EXPECT_LT(done.milliseconds, 8000);
}
