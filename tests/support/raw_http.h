#pragma once
// A client that writes bytes as they stand to a loopback server and reads
// what comes back, for requests no HTTP library would send.
#include <QTcpSocket>
#include <QTest>

namespace nubivista::testing {

struct RawAnswer {
    QByteArray bytes;
    bool closed = false; // the server closed the connection
};

// Reads until the server closes or waitMs pass; or, with until, until the
// answer holds that.
inline RawAnswer rawExchange(QTcpSocket& socket, const QByteArray& request, int waitMs,
                             const QByteArray& until = {}) {
    RawAnswer answer;
    socket.write(request);
    (void)QTest::qWaitFor(
        [&] {
            answer.bytes += socket.readAll();
            answer.closed = socket.state() == QAbstractSocket::UnconnectedState;
            return answer.closed || (!until.isEmpty() && answer.bytes.contains(until));
        },
        waitMs);
    answer.bytes += socket.readAll();
    return answer;
}

inline RawAnswer rawExchange(quint16 port, const QByteArray& request, int waitMs,
                             const QByteArray& until = {}) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    return rawExchange(socket, request, waitMs, until);
}

} // namespace nubivista::testing
