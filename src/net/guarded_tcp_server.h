#pragma once
// A TCP server for Qt HTTP Server (bind it with QAbstractHttpServer::bind)
// that holds every connection to limits Qt HTTP Server does not keep: the
// size of a request's head, the size of its body, time idle, and how many
// connections are open. It reads each request's head as the bytes arrive,
// before the HTTP server does, and answers a request past a limit itself and
// closes its connection, so that no body past a limit is ever read.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>

class QTcpSocket;

namespace nubivista::net {

struct ConnectionLimits {
    qsizetype maxHeadBytes = 16 * 1024; // request line and headers
    qint64 maxBodyBytes = 0;            // 0: no request may have a body
    int idleMs = 30'000;                // without a byte either way, no answer owed
    int maxConnections = 256;
    // The server calls requestAnswered for each answer, and a connection
    // that is owed one is never idle, however long the answer takes.
    bool tracksAnswers = false;
};

// A request's line and headers, as the guard read them.
struct RequestHead {
    QByteArray method;
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray value(const QByteArray& name) const; // case-insensitive; empty if absent
};

// An answer the guard gives in the server's place, before it closes.
struct Refusal {
    int status = 400;
    QByteArray text; // the body, one line
    QList<QPair<QByteArray, QByteArray>> headers = {};
};

class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    explicit GuardedTcpServer(ConnectionLimits limits, QObject* parent = nullptr);

    // Asked at each request's head, before any of its body is read; a
    // refusal is answered and the connection closed.
    using HeadCheck = std::function<std::optional<Refusal>(const RequestHead&)>;
    void setHeadCheck(HeadCheck check) { check_ = std::move(check); }

    // Told of each refusal, for a request log.
    void setRefusalLog(std::function<void(const Refusal&)> log) { refused_ = std::move(log); }

    // With tracksAnswers: one answer on this connection is written.
    void requestAnswered(QTcpSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        enum class Phase { Head, Body, Through, Closed };
        Phase phase = Phase::Head;
        QByteArray head; // of the request being read
        qint64 bodyLeft = 0;
        qsizetype unread = 0; // bytes the HTTP server left in the buffer
        int owed = 0;         // answers owed
        qint64 lastActive = 0;
    };

    void readFresh(QTcpSocket* socket, Connection& connection);
    void afterHead(QTcpSocket* socket, Connection& connection);
    void refuse(QTcpSocket* socket, Connection& connection, const Refusal& refusal);
    // Reads what came and drops it: nothing more reaches the HTTP server.
    static void drain(QTcpSocket* socket);
    void sweepIdle();
    // Room for one more: the longest idle connection that owes no answer
    // makes way; false when none may.
    bool makeRoom();

    static constexpr int kLingerMs = 500;

    ConnectionLimits limits_;
    HeadCheck check_;
    std::function<void(const Refusal&)> refused_;
    std::map<QTcpSocket*, Connection> connections_;
    QTimer sweep_;
};

} // namespace nubivista::net
