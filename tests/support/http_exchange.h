#pragma once
// One request to a server on 127.0.0.1 and everything it answers until it closes the connection.

#include "wait_until.h"

#include <QByteArray>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrova::test {

// Everything a connected socket receives until the server closes it.
inline QByteArray ReadUntilClosed(QTcpSocket& socket, int milliseconds = 3000) {
    QByteArray reply;
    WaitUntil(
        [&] {
            reply += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        milliseconds);
    return reply + socket.readAll();
}

inline QByteArray HttpExchange(int port, const QByteArray& request, int milliseconds = 3000) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    socket.write(request);
    return ReadUntilClosed(socket, milliseconds);
}

// The same from a thread without an event loop, for clients that run at once: plain blocking
// sockets. Empty when the connection fails.
inline QByteArray BlockingHttpExchange(int port, const QByteArray& request) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray reply;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(socket, request.constData(), size_t(request.size()), MSG_NOSIGNAL) == request.size()) {
        char buffer[16384];
        for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) reply.append(buffer, got);
    }
    ::close(socket);
    return reply;
}

// The body of an HTTP reply.
inline QByteArray HttpBody(const QByteArray& reply) { return reply.mid(reply.indexOf("\r\n\r\n") + 4); }

}  // namespace kestrova::test
