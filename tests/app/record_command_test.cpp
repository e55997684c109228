// kestrova-cli record as a user runs it: the summary line, the sources it refuses, Ctrl+C, and a
// recording process killed outright.

#include "app/cli/cli.h"

#include "cli_runner.h"
#include "kestrova_test.h"
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
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()), QStringLiteral("frames=20 dropped=0 seconds=1.00 file=%1\n").arg(out));
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

TEST_F(RecordCommandTest, AKilledRecordingPlaysUpToItsLastSeconds) {
    const QString out = path("killed.avi");
    QProcess cli;
    start(cli, {"--source", "testpattern", "--out", out, "--size", "320x240", "--audio"});
    ASSERT_TRUE(waitForFile(out, 100000));
    QThread::msleep(2500);
    ::kill(pid_t(cli.processId()), SIGKILL);
    ASSERT_TRUE(cli.waitForFinished(5000));
    const test::MovieProbe probe = ProbeMovie(out, true);
    ASSERT_TRUE(probe.error.isEmpty()) << probe.error.toStdString();
    EXPECT_EQ(probe.container, QStringLiteral("avi"));
    // At least 2.5 s were recorded; flushed every second, the file holds all but the last two.
    EXPECT_GE(probe.decodedFrames, 15);
    EXPECT_TRUE(probe.audio);
    EXPECT_NEAR(double(probe.audioSamples) / 44100, double(probe.videoPackets) / 30, 0.5);
}
