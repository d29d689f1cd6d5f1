#pragma once

#include "feed/sim/sim_server.h"

#include <QByteArray>
#include <QDateTime>
#include <QEventLoop>
#include <QImage>
#include <QMap>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace nubivista::feed::sim::testing {

// A reply as read off the wire by a plain socket, so that misbehaving replies
// (cut bodies, dropped connections) can be seen as they are.
struct WireReply {
    bool closed = false; // the server closed the connection
    int status = 0;
    QMap<QByteArray, QByteArray> headers; // lower-case names
    QByteArray body;

    QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
    qint64 contentLength() const { return header("content-length").toLongLong(); }
};

// The simulator in-process on a free loopback port, its clock stopped at
// 2026-06-12 13:58:00 UTC (newest frame 13:55 with the 300 s interval).
class SimFixture : public ::testing::Test {
protected:
    static QDateTime startTime() { return QDateTime(QDate(2026, 6, 12), QTime(13, 58), Qt::UTC); }

    void SetUp() override {
        server = std::make_unique<SimServer>(startTime(), 0.0, 300);
        server->service().setAdminPaths(true);
        port = server->listenOnLoopback(0);
        ASSERT_NE(port, 0);
    }

    // Sends one request and reads the reply, waking on the socket's own signals. An
    // `absoluteHost` sends the target in absolute form, as a client of a forward
    // proxy does.
    WireReply request(const QByteArray& path, const QByteArray& extraHeaders = {},
                      const QByteArray& method = "GET", const QByteArray& absoluteHost = {},
                      int timeoutMs = 5000) {
        const QByteArray host =
            absoluteHost.isEmpty() ? QByteArray("weather.noaa.gov") : absoluteHost;
        const QByteArray target = absoluteHost.isEmpty() ? path : "http://" + absoluteHost + path;
        QTcpSocket socket;
        QEventLoop loop;
        WireReply reply;
        QByteArray raw;
        auto check = [&] {
            raw += socket.readAll();
            reply.closed = socket.state() == QAbstractSocket::UnconnectedState;
            const qsizetype headerEnd = raw.indexOf("\r\n\r\n");
            if (headerEnd >= 0) {
                parseHead(raw.left(headerEnd), reply);
                reply.body = raw.mid(headerEnd + 4);
            }
            const bool whole = headerEnd >= 0 && (method == "HEAD" || reply.status == 304 ||
                                                  reply.body.size() >= reply.contentLength());
            if (whole || reply.closed) {
                loop.quit();
            }
        };
        QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
            socket.write(method + " " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" +
                         extraHeaders + "\r\n");
        });
        QObject::connect(&socket, &QTcpSocket::readyRead, &loop, check);
        QObject::connect(&socket, &QTcpSocket::stateChanged, &loop, check);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        socket.connectToHost(QHostAddress::LocalHost, port);
        loop.exec();
        return reply;
    }

    static void parseHead(const QByteArray& head, WireReply& reply) {
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> statusParts = lines.value(0).trimmed().split(' ');
        reply.status = statusParts.value(1).toInt();
        reply.headers.clear();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                reply.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                     lines[i].mid(colon + 1).trimmed());
            }
        }
    }

    void admin(const QByteArray& pathAndQuery) {
        const WireReply reply = request(pathAndQuery);
        ASSERT_EQ(reply.status, 200) << pathAndQuery.constData();
        ASSERT_EQ(reply.body, "ok");
    }

    static QImage decode(const QByteArray& gif) { return QImage::fromData(gif, "GIF"); }

    std::unique_ptr<SimServer> server;
    quint16 port = 0;
};

} // namespace nubivista::feed::sim::testing
