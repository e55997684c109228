#pragma once
// A small HTTP server on 127.0.0.1 for the engine's tests: one thread accepts, one thread per
// connection runs the handler of the requested path. It can go down and come back on the same port.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrova::test {

class HttpConnection {
public:
    HttpConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
    bool send(const QByteArray& bytes);
    // Sleeps unless the server is going down; false when it is.
    bool pause(int milliseconds);
    bool stopping() const { return stopping_.load(); }

private:
    int fd_;
    const std::atomic<bool>& stopping_;
};

class TestHttpServer {
public:
    using Handler = std::function<void(HttpConnection&)>;

    TestHttpServer();
    ~TestHttpServer();

    void route(const QString& path, Handler handler);
    QString url(const QString& path) const;
    int requests(const QString& path) const;

    // Closes the listening socket and every open connection; up() listens again on the same port.
    void down();
    void up();

    // Replies built from the usual parts; an empty content type sends no such line.
    static Handler picture(const QByteArray& jpeg);
    static Handler file(const QByteArray& bytes, const QByteArray& contentType);
    // An MJPEG stream of `frames` in turn at `fps`, parted by "--kestrovaframe"; it breaks off after
    // `count` pictures (-1: never).
    static Handler mjpeg(std::vector<QByteArray> frames, int fps, int count = -1,
                         const QByteArray& contentType = "multipart/x-mixed-replace; boundary=kestrovaframe");
    // Accepts the request and never answers.
    static Handler silent();

private:
    void listenOn(int port);
    void acceptLoop();
    void serve(int fd);

    int port_ = 0;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::map<QString, Handler> routes_;
    std::map<QString, int> counts_;
    std::vector<std::thread> workers_;
    std::vector<int> open_;
};

// Runs the ffmpeg tool; the file it wrote, read whole (empty when it failed).
QByteArray MakeWithFfmpeg(const QStringList& arguments, const QString& output);

}  // namespace kestrova::test
