#include "test_http_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <vector>

namespace kestrova::test {

bool HttpConnection::send(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd_, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += sent;
    }
    return true;
}

bool HttpConnection::pause(int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stopping_ && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !stopping_;
}

TestHttpServer::TestHttpServer() { listenOn(0); }

TestHttpServer::~TestHttpServer() { down(); }

void TestHttpServer::listenOn(int port) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0) {
        qFatal("test server cannot listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    stopping_ = false;
    acceptor_ = std::thread([this] { acceptLoop(); });
}

void TestHttpServer::acceptLoop() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        open_.push_back(fd);
        workers_.emplace_back([this, fd] { serve(fd); });
    }
}

void TestHttpServer::serve(int fd) {
    QByteArray request;
    char buffer[2048];
    while (!request.contains("\r\n\r\n") && !stopping_) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        request.append(buffer, got);
    }
    const QString path = QString::fromLatin1(request.split(' ').value(1));
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        ++counts_[path];
        const auto found = routes_.find(path);
        if (found != routes_.end()) handler = found->second;
    }
    HttpConnection connection(fd, stopping_);
    if (handler) {
        handler(connection);
    } else {
        connection.send("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    }
    ::shutdown(fd, SHUT_RDWR);
}

void TestHttpServer::route(const QString& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

QString TestHttpServer::url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path); }

int TestHttpServer::requests(const QString& path) const {
    std::lock_guard lock(mutex_);
    const auto found = counts_.find(path);
    return found == counts_.end() ? 0 : found->second;
}

void TestHttpServer::down() {
    if (listener_ < 0) return;
    stopping_ = true;
    acceptor_.join();
    ::close(listener_);
    listener_ = -1;
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
        workers.swap(workers_);
    }
    for (std::thread& worker : workers) worker.join();
    std::lock_guard lock(mutex_);
    for (int fd : open_) ::close(fd);
    open_.clear();
}

void TestHttpServer::up() {
    if (listener_ < 0) listenOn(port_);
}

TestHttpServer::Handler TestHttpServer::picture(const QByteArray& jpeg) { return file(jpeg, "image/jpeg"); }

TestHttpServer::Handler TestHttpServer::file(const QByteArray& bytes, const QByteArray& contentType) {
    return [bytes, contentType](HttpConnection& connection) {
        const QByteArray type = contentType.isEmpty() ? QByteArray() : "Content-Type: " + contentType + "\r\n";
        connection.send("HTTP/1.0 200 OK\r\n" + type + "Content-Length: " + QByteArray::number(bytes.size()) + "\r\n\r\n");
        connection.send(bytes);
    };
}

TestHttpServer::Handler TestHttpServer::mjpeg(std::vector<QByteArray> frames, int fps, int count, const QByteArray& contentType) {
    return [frames = std::move(frames), fps, count, contentType](HttpConnection& connection) {
        const QByteArray type = contentType.isEmpty() ? QByteArray() : "Content-Type: " + contentType + "\r\n";
        if (!connection.send("HTTP/1.0 200 OK\r\n" + type + "\r\n")) return;
        for (int i = 0; count < 0 || i < count; ++i) {
            const QByteArray& jpeg = frames[size_t(i) % frames.size()];
            if (!connection.send("--kestrovaframe\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(jpeg.size()) +
                                 "\r\n\r\n" + jpeg + "\r\n") ||
                !connection.pause(1000 / fps)) {
                return;
            }
        }
    };
}

TestHttpServer::Handler TestHttpServer::silent() {
    return [](HttpConnection& connection) {
        while (connection.pause(50)) {
        }
    };
}

QByteArray MakeWithFfmpeg(const QStringList& arguments, const QString& output) {
    // Spawned rather than forked through QProcess: after a fork, ThreadSanitizer loses track of the
    // test thread's locks and reports races on data every side reads and writes under its mutex.
    std::vector<QByteArray> words;
    for (const QString& word : QStringList{"ffmpeg", "-nostdin", "-loglevel", "error", "-y"} + arguments + QStringList{output}) {
        words.push_back(word.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return {};
    int status = 0;
    QElapsedTimer clock;
    clock.start();
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && clock.elapsed() < 30000) QThread::msleep(5);
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return {};
    }
    if (ended != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kestrova::test
