// Network sources against a local HTTP server: an IP camera's MJPEG stream and JPEG snapshots, a
// server that never answers, a stream that breaks off and comes back, a file served over HTTP.

#include "platform/media/media_session.h"

#include "kestrova_test.h"
#include "media_test_support.h"
#include "sanitizers.h"
#include "test_http_server.h"

#include <QElapsedTimer>
#include <QFile>

using namespace kestrova;
using namespace kestrova::media;
using kestrova::test::NearColour;
using kestrova::test::TestHttpServer;
using kestrova::test::WaitUntil;

namespace {

class MediaNetwork : public kestrova::test::KestrovaTest {
protected:
    void SetUp() override {
        KestrovaTest::SetUp();
        // Two solid pictures the frames are told apart by: blue-ish and orange-ish.
        blue = kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "color=c=0x3060c0:s=320x240", "-frames:v", "1", "-q:v", "2"},
                                              tempPath("blue.jpg"));
        orange = kestrova::test::MakeWithFfmpeg({"-f", "lavfi", "-i", "color=c=0xe08020:s=320x240", "-frames:v", "1", "-q:v", "2"},
                                                tempPath("orange.jpg"));
        ASSERT_FALSE(blue.isEmpty());
        ASSERT_FALSE(orange.isEmpty());
    }

    SourceSettings source(const char* kind, const QString& path) {
        SourceSettings settings;
        settings.kind = QString::fromLatin1(kind);
        settings.address = server.url(path);
        settings.openTimeout = std::chrono::milliseconds(1500);
        settings.readTimeout = std::chrono::milliseconds(1500);
        return settings;
    }

    struct Watch {
        int opened = 0;
        QSize size;
        QStringList failures;
        QStringList losses;
    };
    void watch(MediaSession& session, Watch& watched) {
        QObject::connect(&session, &MediaSession::opened, [&watched](QSize size) {
            ++watched.opened;
            watched.size = size;
        });
        QObject::connect(&session, &MediaSession::failed, [&watched](const QString& reason) { watched.failures << reason; });
        QObject::connect(&session, &MediaSession::lost, [&watched](const QString& reason) { watched.losses << reason; });
    }

    static const unsigned char* centre(const Frame& frame) {
        return frame.image().constScanLine(frame.image().height() / 2) + 3 * (frame.image().width() / 2);
    }

    QByteArray blue;
    QByteArray orange;
    TestHttpServer server;
};

}  // namespace

TEST_F(MediaNetwork, MjpegStreamAndSnapshotAreToldApartByContentType) {
    server.route("/video.mjpg", TestHttpServer::mjpeg({blue, orange}, 25));
    server.route("/image.jpg", TestHttpServer::picture(orange));

    MediaSession stream(source(KindIpCamera, "/video.mjpg"));
    Watch watched;
    watch(stream, watched);
    stream.start();
    bool sawBlue = false;
    bool sawOrange = false;
    ASSERT_TRUE(WaitUntil([&] {
        const Frame frame = stream.takeLatest();
        if (frame.isValid()) {
            EXPECT_EQ(frame.image().size(), QSize(320, 240));
            sawBlue |= NearColour(centre(frame), 0xc0, 0x60, 0x30);
            sawOrange |= NearColour(centre(frame), 0x20, 0x80, 0xe0);
        }
        return sawBlue && sawOrange;
    }, 4000)) << watched.failures.join(";").toStdString();
    ASSERT_TRUE(WaitUntil([&] { return watched.opened == 1; }, 1000));
    EXPECT_EQ(watched.size, QSize(320, 240));
    EXPECT_EQ(server.requests("/video.mjpg"), 1) << "a stream is one request";

    SourceSettings snapshot = source(KindIpCamera, "/image.jpg");
    snapshot.pollRate = 20;
    MediaSession camera(snapshot);
    Watch polled;
    watch(camera, polled);
    camera.start();
    ASSERT_TRUE(WaitUntil([&] { return camera.takeLatest().number >= 5; }, 4000)) << polled.failures.join(";").toStdString();
    const Frame frame = camera.takeLatest();
    EXPECT_TRUE(NearColour(centre(frame), 0x20, 0x80, 0xe0));
    EXPECT_GE(server.requests("/image.jpg"), 5) << "snapshots are fetched again at the poll rate";
    EXPECT_TRUE(polled.losses.isEmpty());
}

// Cheap cameras and FFmpeg's own server send their stream as application/octet-stream, text/plain or
// with no type at all: the first bytes tell a stream from a picture.
TEST_F(MediaNetwork, ACameraThatDoesNotNameItsContentIsKnownByItsFirstBytes) {
    server.route("/octet.mjpg", TestHttpServer::mjpeg({blue, orange}, 25, -1, "application/octet-stream"));
    server.route("/untyped.mjpg", TestHttpServer::mjpeg({blue, orange}, 25, -1, {}));
    server.route("/plain.jpg", TestHttpServer::file(orange, "text/plain"));
    server.route("/untyped.jpg", TestHttpServer::file(orange, {}));
    server.route("/words", TestHttpServer::file("hello, camera", "application/octet-stream"));
    for (const char* path : {"/octet.mjpg", "/untyped.mjpg", "/plain.jpg", "/untyped.jpg"}) {
        MediaSession camera(source(KindIpCamera, QString::fromLatin1(path)));
        Watch watched;
        watch(camera, watched);
        camera.start();
        ASSERT_TRUE(WaitUntil([&] { return camera.takeLatest().isValid() || !watched.failures.isEmpty(); }, 4000)) << path;
        EXPECT_TRUE(watched.failures.isEmpty()) << path << ": " << watched.failures.join(";").toStdString();
        EXPECT_EQ(camera.takeLatest().image().size(), QSize(320, 240)) << path;
    }
    EXPECT_EQ(server.requests("/octet.mjpg"), 1) << "a stream is one request";
    MediaSession words(source(KindIpCamera, "/words"));
    Watch refused;
    watch(words, refused);
    words.start();
    ASSERT_TRUE(WaitUntil([&] { return !refused.failures.isEmpty(); }, 4000));
    EXPECT_TRUE(refused.failures.front().contains("neither an MJPEG stream nor a picture")) << refused.failures.front().toStdString();
}

// The process' peak resident memory in bytes.
qint64 PeakMemory() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front().toLongLong() * 1024;
    }
    return 0;
}

TEST_F(MediaNetwork, AHugeOrCorruptPartIsRefusedWithItsReason) {
    // A part that announces two gigabytes and then keeps sending.
    server.route("/huge.mjpg", [](test::HttpConnection& connection) {
        if (!connection.send("HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=b\r\n\r\n"
                             "--b\r\nContent-Type: image/jpeg\r\nContent-Length: 2000000000\r\n\r\n\xFF\xD8")) {
            return;
        }
        const QByteArray chunk(64 * 1024, '\x11');
        for (int i = 0; i < 2048 && connection.send(chunk); ++i) {
        }
    });
    // Fast, so that the demuxer's look for a decodable picture (five seconds of stream) is soon over.
    server.route("/corrupt.mjpg", TestHttpServer::mjpeg({QByteArray("\xFF\xD8 this is no picture \xFF\xD9")}, 250));
    const struct {
        const char* path;
        const char* reason;
    } cases[] = {{"/huge.mjpg", "an MJPEG part is larger than 32 MB"}, {"/corrupt.mjpg", "a corrupt MJPEG frame"}};
    for (const auto& [path, reason] : cases) {
        SourceSettings settings = source(KindIpCamera, QString::fromLatin1(path));
        settings.openTimeout = std::chrono::seconds(8);
        MediaSession camera(settings);
        Watch watched;
        watch(camera, watched);
        camera.start();
        ASSERT_TRUE(WaitUntil([&] { return !watched.failures.isEmpty(); }, 10000)) << path;
        EXPECT_TRUE(watched.failures.front().contains(QLatin1String(reason))) << path << ": " << watched.failures.front().toStdString();
    }
    if (!test::UnderThreadSanitizer) {
        EXPECT_LT(PeakMemory(), 400 * 1024 * 1024) << "the announced size was never held";
    }
}

TEST_F(MediaNetwork, FailuresComeWithinTheirDeadline) {
    server.route("/silent", TestHttpServer::silent());
    server.route("/page.html", TestHttpServer::file("<html></html>", "text/html"));
    struct Case {
        const char* kind;
        QString address;
        const char* reasonPart;
    };
    TestHttpServer closed;
    const QString refused = closed.url("/x");
    closed.down();
    const Case cases[] = {
        {KindIpCamera, server.url("/silent"), "no answer in time"},
        {KindStream, server.url("/silent"), "no answer in time"},
        {KindIpCamera, server.url("/page.html"), "text/html"},
        {KindIpCamera, server.url("/nothing-here"), "404"},
        {KindIpCamera, refused, "refused"},
    };
    for (const Case& each : cases) {
        SourceSettings settings = source(each.kind, {});
        settings.address = each.address;
        MediaSession session(settings);
        Watch watched;
        watch(session, watched);
        QElapsedTimer clock;
        clock.start();
        session.start();
        ASSERT_TRUE(WaitUntil([&] { return !watched.failures.isEmpty(); }, 5000)) << each.address.toStdString();
        EXPECT_LT(clock.elapsed(), 2500) << "the open deadline is 1.5 s";
        EXPECT_TRUE(watched.failures.front().contains(QLatin1String(each.reasonPart), Qt::CaseInsensitive))
            << each.address.toStdString() << ": " << watched.failures.front().toStdString();
    }
}

TEST_F(MediaNetwork, StopInTheMiddleOfAnOpenReturnsAtOnce) {
    server.route("/silent", TestHttpServer::silent());
    for (const char* kind : {KindIpCamera, KindStream}) {
        SourceSettings settings = source(kind, "/silent");
        settings.openTimeout = std::chrono::seconds(8);
        MediaSession session(settings);
        Watch watched;
        watch(session, watched);
        session.start();
        ASSERT_TRUE(WaitUntil([&] { return server.requests("/silent") > 0; }, 2000));
        QElapsedTimer clock;
        clock.start();
        session.runner().stop();
        EXPECT_TRUE(session.runner().waitStopped(std::chrono::seconds(1))) << "ended, not left behind";
        EXPECT_LT(clock.elapsed(), 1000);
        WaitUntil([] { return false; }, 50);
        EXPECT_TRUE(watched.failures.isEmpty()) << "a close is no failure";
        EXPECT_EQ(watched.opened, 0);
    }
}

TEST_F(MediaNetwork, BrokenStreamIsReportedOnceAndReopenedWhenTheServerComesBack) {
    server.route("/video.mjpg", TestHttpServer::mjpeg({blue}, 25, 10));
    MediaSession session(source(KindIpCamera, "/video.mjpg"));
    Watch watched;
    watch(session, watched);
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return watched.opened == 1; }, 3000)) << watched.failures.join(";").toStdString();
    // The stream breaks off after ten pictures; the server stays away for a while.
    ASSERT_TRUE(WaitUntil([&] { return !watched.losses.isEmpty(); }, 3000));
    server.down();
    const std::int64_t before = session.takeLatest().number;
    EXPECT_GE(before, 5);
    WaitUntil([] { return false; }, 1500);
    EXPECT_EQ(watched.losses.size(), 1) << "failed reopen attempts are not reported again";
    server.up();
    ASSERT_TRUE(WaitUntil([&] { return watched.opened == 2; }, 6000));
    ASSERT_TRUE(WaitUntil([&] { return session.takeLatest().number > before; }, 2000));
    EXPECT_TRUE(NearColour(centre(session.takeLatest()), 0xc0, 0x60, 0x30));
    EXPECT_TRUE(watched.failures.isEmpty());
}

TEST_F(MediaNetwork, FileOverHttpPlaysAsAStream) {
    const QByteArray clip = kestrova::test::MakeWithFfmpeg(
        {"-f", "lavfi", "-i", "color=c=0xe08020:s=160x120:r=25:d=2", "-c:v", "mpeg2video", "-q:v", "2", "-f", "mpegts"},
        tempPath("clip.ts"));
    ASSERT_FALSE(clip.isEmpty());
    server.route("/clip.ts", TestHttpServer::file(clip, "video/mp2t"));
    SourceSettings settings = source(KindStream, "/clip.ts");
    settings.size = QSize(80, 60);
    MediaSession session(settings);
    Watch watched;
    watch(session, watched);
    session.start();
    ASSERT_TRUE(WaitUntil([&] { return watched.opened == 1 && session.takeLatest().isValid(); }, 4000))
        << watched.failures.join(";").toStdString();
    const Frame frame = session.takeLatest();
    EXPECT_EQ(frame.image().size(), QSize(80, 60)) << "scaled to the asked size";
    EXPECT_TRUE(NearColour(centre(frame), 0x20, 0x80, 0xe0));
    EXPECT_EQ(watched.size, QSize(80, 60));
}
