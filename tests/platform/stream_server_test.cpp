#include "platform/stream_server.h"

#include "http_exchange.h"
#include "kestrova_test.h"

#include <QFile>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::WaitUntil;

class StreamServerTest : public test::KestrovaTest {
protected:
    // A client connected to the server on 127.0.0.1.
    std::unique_ptr<QTcpSocket> client(const StreamServer& server) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server.boundPort()));
        EXPECT_TRUE(WaitUntil([&] { return socket->state() == QAbstractSocket::ConnectedState; }, 2000));
        return socket;
    }
    static bool closed(QTcpSocket& socket, int milliseconds) {
        return WaitUntil([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, milliseconds);
    }
};

TEST_F(StreamServerTest, AnswersEachRequestInsideItsEventAndClosesTheConnection) {
    StreamServer server;
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true)) << server.errorString().toStdString();
    QStringList requests;
    QObject::connect(&server, &StreamServer::requestReceived, [&](StreamRequest* request) {
        requests << request->text();
        request->sendText("HTTP/1.1 200 OK\r\n\r\npage");
        request->sendText("a second reply is dropped");
    });

    auto socket = client(server);
    socket->write("GET / HTTP/1.1\r\nHost: camera:8080\r\n\r\n");
    EXPECT_EQ(test::ReadUntilClosed(*socket), QByteArray("HTTP/1.1 200 OK\r\n\r\npage"));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0], QStringLiteral("GET / HTTP/1.1\r\nHost: camera:8080\r\n\r\n"));

    // A head that arrives in pieces is one request.
    auto pieces = client(server);
    pieces->write("GET /live?1 HT");
    WaitUntil([] { return false; }, 50);
    pieces->write("TP/1.1\n\n");
    EXPECT_EQ(test::ReadUntilClosed(*pieces), QByteArray("HTTP/1.1 200 OK\r\n\r\npage"));
    EXPECT_EQ(requests.size(), 2);
}

TEST_F(StreamServerTest, SendsAFileWholeWithItsHeaderAndAnswers404WithoutIt) {
    const QString picture = tempPath(QStringLiteral("frame.jpg"));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, 'j'));
    file.close();

    StreamServer server;
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true));
    QString name = picture;
    QObject::connect(&server, &StreamServer::requestReceived, [&](StreamRequest* request) {
        request->sendFile(name);
        // The file is read whole: rewriting it at once cannot change the reply.
        QFile::remove(name);
    });

    auto socket = client(server);
    socket->write("GET /live HTTP/1.1\r\n\r\n");
    const QByteArray reply = test::ReadUntilClosed(*socket);
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(reply.contains("\r\nContent-Type: image/jpeg\r\n"));
    EXPECT_TRUE(reply.contains("\r\nContent-Length: 100000\r\n"));
    EXPECT_TRUE(reply.contains("\r\nCache-Control: no-cache\r\n"));
    EXPECT_TRUE(reply.endsWith("\r\n\r\n" + QByteArray(100000, 'j')));

    auto missing = client(server);
    missing->write("GET /live HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(test::ReadUntilClosed(*missing).startsWith("HTTP/1.1 404 Not Found\r\n"));
}

TEST_F(StreamServerTest, ABusyPortIsReportedAndStoppingClosesTheListener) {
    StreamServer first;
    first.setPort(0);
    ASSERT_TRUE(first.setActive(true));
    StreamServer second;
    second.setPort(first.boundPort());
    EXPECT_FALSE(second.setActive(true));
    EXPECT_FALSE(second.active());
    EXPECT_FALSE(second.errorString().isEmpty());

    const int port = first.boundPort();
    first.setActive(false);
    EXPECT_FALSE(first.active());
    QTcpSocket refused;
    refused.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    EXPECT_TRUE(closed(refused, 2000));
}

TEST_F(StreamServerTest, HostileClientsMeetTheLimits) {
    StreamServerLimits limits;
    limits.maxRequestHead = 64;
    limits.requestTimeoutMs = 300;
    limits.maxConnections = 2;
    StreamServer server(nullptr, limits);
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true));
    int requests = 0;
    QObject::connect(&server, &StreamServer::requestReceived, [&] { ++requests; });

    auto endless = client(server);
    endless->write(QByteArray(200, 'x'));
    EXPECT_TRUE(closed(*endless, 2000)) << "a head beyond the limit closes the connection";

    auto silent = client(server);
    ASSERT_TRUE(WaitUntil([&] { return server.connectionCount() == 1; }, 2000));
    EXPECT_TRUE(closed(*silent, 3000)) << "a client that never finishes its head is dropped";
    EXPECT_EQ(requests, 0);
    EXPECT_TRUE(WaitUntil([&] { return server.connectionCount() == 0; }, 3000));
}

// Clients that send half a head and stop hold every place: a viewer still gets in, in the place of
// the oldest of them. Only when every place is taken by a reply being written is a newcomer refused.
TEST_F(StreamServerTest, AtTheLimitANewcomerTakesThePlaceOfTheOldestHalfHead) {
    StreamServerLimits limits;
    limits.maxConnections = 3;
    StreamServer server(nullptr, limits);
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true));
    const QByteArray big(32 * 1024 * 1024, 'b');
    QObject::connect(&server, &StreamServer::requestReceived, [&](StreamRequest* request) {
        request->sendText(request->text().contains(QStringLiteral("/big")) ? big : QByteArray("picture"));
    });

    std::vector<std::unique_ptr<QTcpSocket>> halfHeads;
    for (int i = 0; i < limits.maxConnections; ++i) {
        halfHeads.push_back(client(server));
        halfHeads.back()->write("GET /li");
        ASSERT_TRUE(WaitUntil([&] { return server.connectionCount() == i + 1; }, 2000));
    }
    auto viewer = client(server);
    viewer->write("GET /live HTTP/1.1\r\n\r\n");
    EXPECT_EQ(test::ReadUntilClosed(*viewer), QByteArray("picture"));
    EXPECT_TRUE(closed(*halfHeads.front(), 2000)) << "the oldest half head made room";
    EXPECT_NE(halfHeads.back()->state(), QAbstractSocket::UnconnectedState);

    // Every place busy with a reply its reader does not take: there is nobody to replace.
    halfHeads.clear();
    ASSERT_TRUE(WaitUntil([&] { return server.connectionCount() == 0; }, 2000));
    std::vector<std::unique_ptr<QTcpSocket>> stalled;
    for (int i = 0; i < limits.maxConnections; ++i) {
        stalled.push_back(client(server));
        stalled.back()->setReadBufferSize(1024);
        stalled.back()->write("GET /big HTTP/1.1\r\n\r\n");
        ASSERT_TRUE(WaitUntil([&] { return stalled.back()->bytesAvailable() > 0; }, 2000));
    }
    QTcpSocket refused;
    refused.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(server.boundPort()));
    EXPECT_TRUE(closed(refused, 2000));
    EXPECT_EQ(server.connectionCount(), limits.maxConnections);
}

TEST_F(StreamServerTest, AReaderThatDoesNotReadHoldsUpNobodyElse) {
    StreamServer server;
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true));
    const QByteArray big(32 * 1024 * 1024, 'b');
    QObject::connect(&server, &StreamServer::requestReceived, [&](StreamRequest* request) {
        request->sendText(request->text().contains(QStringLiteral("/big")) ? big : QByteArray("small"));
    });

    auto stalled = client(server);
    stalled->setReadBufferSize(1024);
    stalled->write("GET /big HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(WaitUntil([&] { return stalled->bytesAvailable() > 0; }, 2000));

    auto quick = client(server);
    quick->write("GET /live HTTP/1.1\r\n\r\n");
    EXPECT_EQ(test::ReadUntilClosed(*quick), QByteArray("small"));
    EXPECT_NE(stalled->state(), QAbstractSocket::UnconnectedState);
}

}  // namespace
}  // namespace kestrova
