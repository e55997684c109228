#include "stream_server.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QPointer>
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

}  // namespace

QByteArray FileReplyHeader(const QString& fileName, qint64 length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + contentType(fileName) + "\r\nContent-Length: " + QByteArray::number(length) +
           "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
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

void StreamServer::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (connections_ >= limits_.maxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        connect(socket, &QObject::destroyed, this, [this] { --connections_; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
        auto* deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("deadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
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
            socket->abort();
            socket->deleteLater();
            return;
        }
        socket->setProperty("head", head);
        return;
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    socket->setProperty("head", QVariant());

    // The handler may let events run, so a second request can arrive while this one is answered.
    const QPointer<QTcpSocket> previous = current_;
    const QString previousText = request_;
    QPointer<QTcpSocket> guard = socket;
    current_ = socket;
    request_ = QString::fromLatin1(head.left(end));
    emit requestReceived();
    if (guard && current_ == socket) finish(socket, QByteArray());
    current_ = previous;
    request_ = previousText;
}

void StreamServer::finish(QTcpSocket* socket, const QByteArray& reply) {
    if (current_ == socket) current_ = nullptr;
    if (auto* deadline = socket->findChild<QTimer*>(QStringLiteral("deadline"))) {
        deadline->start(limits_.requestTimeoutMs * ReplyTimeoutFactor);
    }
    socket->write(reply);
    // Closes once everything is written: a slow reader holds only its own connection.
    socket->disconnectFromHost();
}

void StreamServer::sendText(const QByteArray& reply) {
    if (current_ != nullptr) finish(current_, reply);
}

void StreamServer::sendFile(const QString& fileName) {
    if (current_ == nullptr) return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        finish(current_, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    const QByteArray body = file.readAll();
    finish(current_, FileReplyHeader(fileName, body.size()) + body);
}

}  // namespace kestrova
