#include "app/cli/cli.h"

#include "cli_runner.h"
#include "http_exchange.h"
#include "kestrova_test.h"
#include "wait_until.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

using namespace kestrova;
using kestrova::test::KestrovaTest;
using kestrova::test::WaitUntil;

using WebShareCommand = KestrovaTest;

TEST_F(WebShareCommand, ServesTheLivePageAndPictureForTheGivenTime) {
    QProcess cli;
    cli.start(QStringLiteral(KESTROVA_CLI_PATH), {"webshare", "--source", "testpattern", "--port", "0", "--seconds", "3"});
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

    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), cli::ExitOk);
    EXPECT_FALSE(QFile::exists(homeFolder() + "qorb-stream.jpg"));
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
