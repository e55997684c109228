#pragma once
// The web share's server: listens on a TCP port, collects each request head and raises one request
// event per request; the handler answers inside the event with sendText or sendFile. Every reply
// closes its connection, writes never block the UI thread, and hostile clients meet hard limits.

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QTcpServer;
class QTcpSocket;

namespace kestrova {

struct StreamServerLimits {
    qsizetype maxRequestHead = 8 * 1024;
    int requestTimeoutMs = 10'000;
    int maxConnections = 64;
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

    // Valid inside the request event only.
    QString requestText() const { return request_; }
    // Sends the text as the whole reply to the current request and closes the connection.
    void sendText(const QByteArray& reply);
    // Sends the file with an HTTP header; the file is read whole first. A missing file answers 404.
    void sendFile(const QString& fileName);

signals:
    void requestReceived();

private:
    void accept();
    void readHead(QTcpSocket* socket);
    void finish(QTcpSocket* socket, const QByteArray& reply);
    static QString findLocalAddress();

    StreamServerLimits limits_;
    std::unique_ptr<QTcpServer> server_;
    int port_ = 80;
    int connections_ = 0;
    QString error_;
    mutable QString localAddress_;
    QString request_;
    QPointer<QTcpSocket> current_;
};

// The header of a file reply: content type from the file's extension, its length, no caching.
QByteArray FileReplyHeader(const QString& fileName, qint64 length);

}  // namespace kestrova
