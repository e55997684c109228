#include "app/cli/cli.h"

#include "cli_runner.h"
#include "http_exchange.h"
#include "kestrova_test.h"
#include "test_http_server.h"
#include "wait_until.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

#include <csignal>

using namespace kestrova;
using kestrova::test::KestrovaTest;
using kestrova::test::WaitUntil;

using WebShareCommand = KestrovaTest;

// Served until Ctrl+C (the given time is long enough for a busy machine).
TEST_F(WebShareCommand, ServesTheLivePageAndPictureUntilInterrupted) {
    QProcess cli;
    cli.start(QStringLiteral(KESTROVA_CLI_PATH), {"webshare", "--source", "testpattern", "--port", "0", "--seconds", "60"});
    QString err;
    int port = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            err += QString::fromLocal8Bit(cli.readAllStandardError());
            const auto match = QRegularExpression(":(\\d+)/ ").match(err);
            if (match.hasMatch()) port = match.captured(1).toInt();
            return port > 0 || cli.state() == QProcess::NotRunning;
        },
        10000));
    ASSERT_GT(port, 0) << err.toStdString();

    auto ask = [&](const QByteArray& request) { return test::HttpExchange(port, request); };
    EXPECT_TRUE(ask("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").contains("SRC=\"http://127.0.0.1/live\""));
    const QByteArray image = ask("GET /live?1 HTTP/1.1\r\n\r\n");
    EXPECT_EQ(QImage::fromData(test::HttpBody(image), "JPG").size(), QSize(640, 480));

    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), cli::ExitOk);
    EXPECT_FALSE(QFile::exists(homeFolder() + "qorb-stream.jpg"));
}

// An IP camera whose stream breaks off: the loss is said on standard error, and its return.
TEST_F(WebShareCommand, ALostSourceIsReported) {
    const QByteArray picture =
        test::MakeWithFfmpeg({"-f", "lavfi", "-i", "color=c=blue:s=160x120", "-frames:v", "1"}, tempPath("blue.jpg"));
    ASSERT_FALSE(picture.isEmpty());
    test::TestHttpServer camera;
    camera.route("/cam.mjpg", test::TestHttpServer::mjpeg({picture}, 25, 10));
    const test::CliOutcome done =
        test::RunCli({"webshare", "--source", "http:" + camera.url("/cam.mjpg"), "--port", "0", "--seconds", "3"});
    EXPECT_EQ(done.status, cli::ExitOk) << done.err.toStdString();
    EXPECT_TRUE(done.err.contains("the source was lost: ")) << done.err.toStdString();
    EXPECT_TRUE(done.err.contains("the source is back")) << done.err.toStdString();
}

TEST_F(WebShareCommand, RefusesBadOptionsAndABusyPort) {
    EXPECT_EQ(test::RunCli({"webshare", "--source", "testpattern", "--port", "70000"}).status, cli::ExitUsage);
    EXPECT_EQ(test::RunCli({"webshare", "--port", "0"}).status, cli::ExitUsage);

    QTcpServer busy;
    ASSERT_TRUE(busy.listen(QHostAddress::Any, 0));
    const test::CliOutcome done =
        test::RunCli({"webshare", "--source", "testpattern", "--port", QString::number(busy.serverPort())});
    EXPECT_EQ(done.status, cli::ExitFailed);
    EXPECT_TRUE(done.err.contains("cannot listen on port")) << done.err.toStdString();
}
