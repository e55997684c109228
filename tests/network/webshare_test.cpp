#include "network/webshare.h"

#include "platform/stream_server.h"

#include "http_exchange.h"
#include "kestrova_test.h"

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrova {
namespace {

const QDate Today(2026, 3, 7);
const QByteArray Header =
    "HTTP/1.1 200 OK\r\nServer: Video Kestrova\r\nDate: 03-07-2026\r\nStatus: 200 OK\r\nContent-Type: text/html\r\n"
    "Connection: close\r\n\r\n";

TEST(WebShare, OnlyTheRootIsThePage) {
    EXPECT_TRUE(IsPageRequest(QStringLiteral("GET / HTTP/1.1\r\nHost: x\r\n\r\n")));
    EXPECT_FALSE(IsPageRequest(QStringLiteral("GET /live?1699999 HTTP/1.1\r\n\r\n")));
    EXPECT_FALSE(IsPageRequest(QStringLiteral("GET /favicon.ico HTTP/1.1\r\n\r\n")));
    EXPECT_FALSE(IsPageRequest(QStringLiteral("get / http/1.1\r\n\r\n")));
}

TEST(WebShare, TheHostComesFromTheRequestOnlyWhenItIsAHost) {
    const QString fallback = QStringLiteral("192.168.1.5:8080");
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"GET / HTTP/1.1\r\nHost: camera.example:8081\r\n\r\n", "camera.example:8081"},
        {"GET / HTTP/1.1\r\nUser-Agent: x\r\nHost: 10.0.0.2\r\n\r\n", "10.0.0.2"},
        {"GET / HTTP/1.1\r\nHost: [::1]:8080\r\n\r\n", "[::1]:8080"},
        {"GET / HTTP/1.1\r\n\r\n", "192.168.1.5:8080"},
        {"GET / HTTP/1.1\r\nHost: x\"><script>alert(1)</script>\r\n\r\n", "192.168.1.5:8080"},
        {"GET / HTTP/1.1\r\nHost: a b\r\n\r\n", "192.168.1.5:8080"},
        {"GET / HTTP/1.1\r\nHost: \r\n\r\n", "192.168.1.5:8080"},
        {"GET / HTTP/1.1\nHost: x8T\n\r\n", "x8T"},  // lines ended by a line break alone
        {"GET / HTTP/1.1\r\nHost: x8T\nevil\r\n\r\n", "x8T"},
        {"GET / HTTP/1.1\r\nX-Forwarded-Host: evil.example\r\nHost: cam:8080\r\n\r\n", "cam:8080"},
        {"GET / HTTP/1.1\r\nX-Forwarded-Host: evil.example\r\n\r\n", "192.168.1.5:8080"},
        {"GET / HTTP/1.1\r\nhost: lower.example:81\r\n\r\n", "lower.example:81"},
    };
    for (const auto& [request, host] : cases) {
        EXPECT_EQ(RequestHost(QString::fromLatin1(request), fallback), QString::fromLatin1(host)) << request;
    }
}

TEST(WebShare, ThePageIsTheHeaderAndTheTemplateWithTheBlockInPlace) {
    const QString request = QStringLiteral("GET / HTTP/1.1\r\nHost: cam:8080\r\n\r\n");
    const QString home = QStringLiteral("https://home.example/");
    const QByteArray block = WebShareBlock(QStringLiteral("cam:8080"), home).toUtf8();
    EXPECT_EQ(block.count("\r\n"), 12);
    EXPECT_TRUE(block.contains("document.images[\"webcambuild\"].src = \"http://cam:8080/live\"+reload;\r\n"));
    EXPECT_TRUE(block.contains("<IMG NAME=\"webcambuild\" SRC=\"http://cam:8080/live\" ALT=\"Live Image...\" BORDER=0 "
                               "onLoad=\"reloadCam()\"></center>\r\n"));
    EXPECT_TRUE(block.contains("window.status = 'Powered by: Video Kestrova (https://home.example/)'}\r\n"));

    const std::vector<std::pair<QString, QByteArray>> cases = {
        {QStringLiteral("<%webshare%>\r\n"), Header + block},
        {QStringLiteral("a, b\r\n"), Header + "ab"},
        {QStringLiteral("<p>\r\n   <%webshare%><hr><%webshare%>\r\n</p>"), Header + "<p>" + block + "<hr>" + block + "</p>"},
        {QStringLiteral("\"quoted, kept\" dropped,\tnext\n"), Header + "quoted, keptnext"},
        {QString(), Header},
    };
    for (const auto& [text, reply] : cases) {
        EXPECT_EQ(PageReply(request, text, Today, QStringLiteral("self"), home), reply) << text.toStdString();
    }
}

class WebShareResponderTest : public test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        const QString page = tempPath(QStringLiteral("webshare.html"));
        QFile templateFile(page);
        ASSERT_TRUE(templateFile.open(QIODevice::WriteOnly));
        templateFile.write("<html><%webshare%></html>\n");
        sources.templateFile = page;
        sources.imageFile = tempPath(QStringLiteral("qorb-stream.jpg"));
        sources.homePage = QStringLiteral("https://home.example/");
        sources.quality = [] { return 75; };
        server.setPort(0);
        ASSERT_TRUE(server.setActive(true));
    }

    StreamServer server;
    WebShareResponder::Sources sources;
};

// A reply whose body is as long as its header says and holds a picture from start to end marker.
bool WholePicture(const QByteArray& reply) {
    const qsizetype at = reply.indexOf("Content-Length: ");
    const QByteArray body = test::HttpBody(reply);
    return at >= 0 && reply.mid(at + 16, reply.indexOf('\r', at) - at - 16).toLongLong() == body.size() &&
           body.startsWith("\xFF\xD8") && body.endsWith("\xFF\xD9");
}

// Viewers at once, as a classroom of browsers reloads the page: every image reply is whole, pages
// come between them, clients that go before their reply harm nobody, and the server stays up.
TEST_F(WebShareResponderTest, ManyViewersAtOnceEachGetWholePictures) {
    int stills = 0;
    sources.saveStill = [&](const QString& file, int) {
        QFile still(file);
        ASSERT_TRUE(still.open(QIODevice::WriteOnly));
        // Pictures of changing length, so that a reply sent to the wrong viewer or cut short shows.
        still.write("\xFF\xD8" + QByteArray(1000 + (++stills % 7) * 3000, 'p') + "\xFF\xD9");
    };
    WebShareResponder responder(server, sources);
    const int port = server.boundPort();

    constexpr int Viewers = 32;
    constexpr int ImagesEach = 200;
    std::atomic<int> whole{0}, broken{0}, pages{0}, running{0};
    std::vector<std::thread> clients;
    for (int viewer = 0; viewer < Viewers; ++viewer) {
        ++running;
        clients.emplace_back([&, viewer] {
            for (int i = 0; i < ImagesEach; ++i) {
                const QByteArray reply = test::BlockingHttpExchange(port, "GET /live?" + QByteArray::number(viewer * 1000 + i) + " HTTP/1.1\r\n\r\n");
                ++(WholePicture(reply) ? whole : broken);
            }
            --running;
        });
    }
    ++running;
    clients.emplace_back([&] {
        for (int i = 0; i < 100; ++i) {
            if (test::BlockingHttpExchange(port, "GET / HTTP/1.1\r\nHost: cam\r\n\r\n").endsWith("</html>")) ++pages;
            // A client that goes before its reply is written.
            const int early = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(early, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
                static constexpr char request[] = "GET /live HTTP/1.1\r\n\r\n";
                ::send(early, request, sizeof request - 1, MSG_NOSIGNAL);
            }
            ::close(early);
        }
        --running;
    });
    const bool done = test::WaitUntil([&] { return running == 0; }, 120'000);
    for (std::thread& client : clients) client.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(whole, Viewers * ImagesEach);
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(pages, 100);
    EXPECT_TRUE(WholePicture(test::HttpExchange(port, "GET /live HTTP/1.1\r\n\r\n"))) << "the server is still up";
}

TEST_F(WebShareResponderTest, ServesThePageAndAFreshImageForEveryOtherRequest) {
    int stills = 0;
    sources.saveStill = [&](const QString& file, int quality) {
        QFile still(file);
        ASSERT_TRUE(still.open(QIODevice::WriteOnly));
        still.write("frame " + QByteArray::number(++stills) + " at " + QByteArray::number(quality));
    };
    WebShareResponder responder(server, sources);
    QStringList status;
    QObject::connect(&responder, &WebShareResponder::statusText, [&](const QString& text) { status << text; });

    auto ask = [&](const QByteArray& request) { return test::HttpExchange(server.boundPort(), request); };

    const QByteArray pageReply = ask("GET / HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(server.boundPort()) + "\r\n\r\n");
    EXPECT_TRUE(pageReply.startsWith("HTTP/1.1 200 OK\r\nServer: Video Kestrova\r\n"));
    EXPECT_TRUE(pageReply.contains("SRC=\"http://127.0.0.1:" + QByteArray::number(server.boundPort()) + "/live\""));
    EXPECT_TRUE(pageReply.endsWith("</html>"));
    EXPECT_EQ(stills, 0);

    for (const QByteArray path : {"/live?1700000000001", "/favicon.ico"}) {
        const QByteArray image = ask("GET " + path + " HTTP/1.1\r\n\r\n");
        EXPECT_TRUE(image.contains("Content-Type: image/jpeg\r\n")) << path.constData();
        EXPECT_TRUE(image.endsWith("frame " + QByteArray::number(stills) + " at 75")) << path.constData();
    }
    EXPECT_EQ(stills, 2);
    EXPECT_EQ(status, (QStringList{QStringLiteral("Streaming."), QStringLiteral("Streaming.."), QStringLiteral("Streaming"),
                                   QStringLiteral("Streaming."), QStringLiteral("Streaming.."), QStringLiteral("Streaming")}));
}

}  // namespace
}  // namespace kestrova
