#include "network/webshare.h"

#include "platform/stream_server.h"

#include "http_exchange.h"
#include "kestrova_test.h"

#include <QFile>

#include <gtest/gtest.h>

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
        {"GET / HTTP/1.1\nHost: x8T\n\r\n", "192.168.1.5:8080"},  // a line break before the carriage return
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

class WebShareResponderTest : public test::KestrovaTest {};

TEST_F(WebShareResponderTest, ServesThePageAndAFreshImageForEveryOtherRequest) {
    const QString page = tempPath(QStringLiteral("webshare.html"));
    QFile templateFile(page);
    ASSERT_TRUE(templateFile.open(QIODevice::WriteOnly));
    templateFile.write("<html><%webshare%></html>\n");
    templateFile.close();

    StreamServer server;
    server.setPort(0);
    ASSERT_TRUE(server.setActive(true));
    int stills = 0;
    WebShareResponder::Sources sources;
    sources.templateFile = page;
    sources.imageFile = tempPath(QStringLiteral("qorb-stream.jpg"));
    sources.homePage = QStringLiteral("https://home.example/");
    sources.quality = [] { return 75; };
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
