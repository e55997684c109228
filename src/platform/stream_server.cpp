#include "stream_server.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace kestrova {

namespace {

// A reader that never empties its window gets this long per reply, then the connection goes.
constexpr int ReplyTimeoutFactor = 6;

QByteArray contentType(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return "text/html";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("bmp")) return "image/bmp";
    return "application/octet-stream";
}

qsizetype headEnd(const QByteArray& head) {
    const qsizetype crlf = head.indexOf("\r\n\r\n");
    if (crlf >= 0) return crlf + 4;
    const qsizetype lf = head.indexOf("\n\n");
    return lf >= 0 ? lf + 2 : -1;
}

QTimer* deadlineOf(QTcpSocket& socket) { return socket.findChild<QTimer*>(QStringLiteral("deadline")); }

}  // namespace

QByteArray FileReplyHeader(const QString& fileName, qint64 length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + contentType(fileName) + "\r\nContent-Length: " + QByteArray::number(length) +
           "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
}

StreamRequest::StreamRequest(QTcpSocket& socket, QString text, int replyTimeoutMs)
    : QObject(&socket), socket_(&socket), text_(std::move(text)), replyTimeoutMs_(replyTimeoutMs) {}

void StreamRequest::sendText(const QByteArray& reply) {
    if (answered_ || !socket_) return;
    answered_ = true;
    if (QTimer* deadline = deadlineOf(*socket_)) deadline->start(replyTimeoutMs_);
    socket_->write(reply);
    // Closes once everything is written: a slow reader holds only its own connection.
    socket_->disconnectFromHost();
}

void StreamRequest::sendFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        sendText("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    const QByteArray body = file.readAll();
    sendText(FileReplyHeader(fileName, body.size()) + body);
}

StreamServer::StreamServer(QObject* parent, StreamServerLimits limits)
    : QObject(parent), limits_(limits), server_(std::make_unique<QTcpServer>()) {
    connect(server_.get(), &QTcpServer::newConnection, this, &StreamServer::accept);
}

StreamServer::~StreamServer() = default;

bool StreamServer::active() const { return server_->isListening(); }

bool StreamServer::setActive(bool on) {
    if (!on) {
        server_->close();
        return true;
    }
    if (server_->isListening() && server_->serverPort() == port_) return true;
    server_->close();
    if (port_ < 0 || port_ > 65535 || !server_->listen(QHostAddress::Any, static_cast<quint16>(port_))) {
        error_ = port_ < 0 || port_ > 65535 ? QStringLiteral("The port number is out of range.") : server_->errorString();
        return false;
    }
    error_.clear();
    localAddress_.clear();
    return true;
}

int StreamServer::boundPort() const { return server_->isListening() ? server_->serverPort() : 0; }

QString StreamServer::localAddress() const {
    // Looked up once per activation: the status tick asks ten times a second.
    if (localAddress_.isEmpty()) localAddress_ = findLocalAddress();
    return localAddress_;
}

QString StreamServer::findLocalAddress() {
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol) return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

void StreamServer::drop(QTcpSocket* socket) {
    if (socket->property("dropped").toBool()) return;
    socket->setProperty("dropped", true);
    --connections_;
    socket->abort();
    socket->deleteLater();
}

void StreamServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        std::erase_if(reading_, [](const QPointer<QTcpSocket>& waiting) { return waiting.isNull(); });
        if (connections_ >= limits_.maxConnections) {
            if (reading_.empty()) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            // Clients that send half a head and stop cannot keep a viewer from the picture.
            drop(reading_.front());
            reading_.pop_front();
        }
        ++connections_;
        reading_.emplace_back(socket);
        connect(socket, &QObject::destroyed, this, [this, socket] {
            if (!socket->property("dropped").toBool()) --connections_;
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
        auto* deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("deadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this, socket] { drop(socket); });
        deadline->start(limits_.requestTimeoutMs);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readHead(socket); });
        if (socket->bytesAvailable() > 0) readHead(socket);
    }
}

void StreamServer::readHead(QTcpSocket* socket) {
    QByteArray head = socket->property("head").toByteArray();
    // Never hold more than the limit, whatever the client sends.
    head += socket->read(limits_.maxRequestHead + 1 - head.size());
    const qsizetype end = headEnd(head);
    if (end < 0) {
        if (head.size() > limits_.maxRequestHead) {
            drop(socket);
            return;
        }
        socket->setProperty("head", head);
        return;
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    socket->setProperty("head", QVariant());
    std::erase(reading_, QPointer<QTcpSocket>(socket));

    auto* request = new StreamRequest(*socket, QString::fromLatin1(head.left(end)), limits_.requestTimeoutMs * ReplyTimeoutFactor);
    const QPointer<StreamRequest> guard(request);
    emit requestReceived(request);
    if (guard && !guard->answered()) guard->sendText(QByteArray());
}

}  // namespace kestrova
