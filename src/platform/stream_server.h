#pragma once
// The web share's server: listens on a TCP port, collects each request head and raises one request
// event per request, with an object of its own that holds the request's text and takes its one
// reply. Every reply closes its connection, writes never block the UI thread, and hostile clients
// meet hard limits: a head of at most 8 KiB within 10 s, at most 64 connections, and at the limit a
// new connection takes the place of the oldest one still sending its head.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace kestrova {

struct StreamServerLimits {
    qsizetype maxRequestHead = 8 * 1024;
    int requestTimeoutMs = 10'000;
    int maxConnections = 64;
};

// One request and its connection. It lives with the connection; a reply after the client has gone,
// or a second reply, is dropped.
class StreamRequest final : public QObject {
    Q_OBJECT
public:
    StreamRequest(QTcpSocket& socket, QString text, int replyTimeoutMs);

    QString text() const { return text_; }
    bool answered() const { return answered_; }
    // Sends the bytes as the whole reply and closes the connection once they are written.
    void sendText(const QByteArray& reply);
    // Sends the file with an HTTP header; the file is read whole first. A missing file answers 404.
    void sendFile(const QString& fileName);

private:
    QPointer<QTcpSocket> socket_;
    QString text_;
    int replyTimeoutMs_;
    bool answered_ = false;
};

class StreamServer final : public QObject {
    Q_OBJECT
public:
    explicit StreamServer(QObject* parent = nullptr, StreamServerLimits limits = {});
    ~StreamServer() override;

    int port() const { return port_; }
    // Takes effect at the next activation; a listening server keeps its socket.
    void setPort(int port) { port_ = port; }
    bool active() const;
    // Listens (on all interfaces) or stops; false with errorString() when the port cannot be bound.
    bool setActive(bool on);
    QString errorString() const { return error_; }
    // The address a browser on another machine reaches the server at.
    QString localAddress() const;
    // The port actually bound (differs from port() only when port() is 0).
    int boundPort() const;
    int connectionCount() const { return connections_; }

signals:
    // Answered inside the event; a request left without an answer closes its connection unanswered.
    void requestReceived(StreamRequest* request);

private:
    void accept();
    void readHead(QTcpSocket* socket);
    // Drops a connection (its count goes at once, the socket with the next turn of the loop).
    void drop(QTcpSocket* socket);
    static QString findLocalAddress();

    StreamServerLimits limits_;
    std::unique_ptr<QTcpServer> server_;
    int port_ = 80;
    int connections_ = 0;
    // Connections still sending their request head, oldest first.
    std::deque<QPointer<QTcpSocket>> reading_;
    QString error_;
    mutable QString localAddress_;
};

// The header of a file reply: content type from the file's extension, its length, no caching.
QByteArray FileReplyHeader(const QString& fileName, qint64 length);

}  // namespace kestrova
