#pragma once
// One request to a server on 127.0.0.1 and everything it answers until it closes the connection.

#include "wait_until.h"

#include <QByteArray>
#include <QTcpSocket>

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

// The body of an HTTP reply.
inline QByteArray HttpBody(const QByteArray& reply) { return reply.mid(reply.indexOf("\r\n\r\n") + 4); }

}  // namespace kestrova::test
