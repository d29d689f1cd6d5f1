#include "net/guarded_tcp_server.h"

#include "net/reason_phrase.h"

#include <QDateTime>
#include <QTcpSocket>
#include <algorithm>

namespace nubivista::net {

namespace {

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// Where the head ends (just past its blank line), or -1: lines end in CR LF,
// or in LF alone, which the HTTP server takes too.
qsizetype headEnd(const QByteArray& bytes, qsizetype from) {
    const qsizetype crlf = bytes.indexOf("\r\n\r\n", from);
    const qsizetype lf = bytes.indexOf("\n\n", from);
    if (crlf < 0)
        return lf < 0 ? -1 : lf + 2;
    return lf < 0 || crlf + 4 <= lf + 2 ? crlf + 4 : lf + 2;
}

std::optional<RequestHead> parseHead(const QByteArray& head) {
    QList<QByteArray> lines = head.split('\n');
    // Blank lines between requests come before the request line.
    while (!lines.isEmpty() && lines.front().trimmed().isEmpty())
        lines.removeFirst();
    if (lines.isEmpty())
        return std::nullopt;
    const QList<QByteArray> request = lines.front().trimmed().split(' ');
    if (request.size() != 3)
        return std::nullopt;
    RequestHead parsed{request[0], request[1], {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        parsed.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return parsed;
}

} // namespace

QByteArray RequestHead::value(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

GuardedTcpServer::GuardedTcpServer(ConnectionLimits limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {
    sweep_.setInterval(std::clamp(limits_.idleMs / 4, 10, 1000));
    connect(&sweep_, &QTimer::timeout, this, &GuardedTcpServer::sweepIdle);
    sweep_.start();
}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
    auto socket = std::make_unique<QTcpSocket>(this);
    if (!socket->setSocketDescriptor(descriptor))
        return;
    if (int(connections_.size()) >= limits_.maxConnections && !makeRoom()) {
        socket->write("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                      "Connection: close\r\n\r\n");
        socket->disconnectFromHost();
        connect(socket.get(), &QTcpSocket::disconnected, socket.get(), &QObject::deleteLater);
        socket.release(); // its own disconnection deletes it
        return;
    }
    QTcpSocket* raw = socket.get();
    connections_[raw].lastActive = nowMs();
    // Before the HTTP server reads: what arrived since it last read.
    connect(raw, &QTcpSocket::readyRead, this, [this, raw] {
        const auto found = connections_.find(raw);
        if (found != connections_.end())
            readFresh(raw, found->second);
    });
    connect(raw, &QTcpSocket::bytesWritten, this, [this, raw] {
        if (const auto found = connections_.find(raw); found != connections_.end())
            found->second.lastActive = nowMs();
    });
    connect(raw, &QObject::destroyed, this, [this, raw] { connections_.erase(raw); });
    // The HTTP server takes the socket, and its own readyRead slot, here.
    addPendingConnection(socket.release());
    // After the HTTP server read: what it left for its next request.
    connect(raw, &QTcpSocket::readyRead, this, [this, raw] {
        if (const auto found = connections_.find(raw); found != connections_.end())
            found->second.unread = raw->bytesAvailable();
    });
}

void GuardedTcpServer::readFresh(QTcpSocket* socket, Connection& connection) {
    connection.lastActive = nowMs();
    const qsizetype available = socket->bytesAvailable();
    if (connection.phase == Connection::Phase::Through)
        return;
    if (connection.phase == Connection::Phase::Closed) {
        drain(socket);
        return;
    }
    QByteArray fresh = socket->peek(available).mid(connection.unread);
    connection.unread = available;
    while (!fresh.isEmpty()) {
        if (connection.phase == Connection::Phase::Body) {
            const qint64 taken = std::min<qint64>(connection.bodyLeft, fresh.size());
            connection.bodyLeft -= taken;
            fresh.remove(0, taken);
            if (connection.bodyLeft == 0)
                connection.phase = Connection::Phase::Head;
            continue;
        }
        if (connection.phase != Connection::Phase::Head)
            return;
        const qsizetype searchFrom = std::max<qsizetype>(0, connection.head.size() - 3);
        // The head kept so far is within the limit, so there is room for more.
        const qsizetype before = connection.head.size();
        connection.head += fresh.left(limits_.maxHeadBytes + 4 - before);
        const qsizetype end = headEnd(connection.head, searchFrom);
        if (end < 0 || end > limits_.maxHeadBytes) {
            if (connection.head.size() > limits_.maxHeadBytes)
                refuse(socket, connection,
                       {431, "The request's head is longer than " +
                                 QByteArray::number(limits_.maxHeadBytes) + " bytes."});
            return;
        }
        fresh.remove(0, end - before);
        connection.head.truncate(end);
        afterHead(socket, connection);
        if (connection.phase == Connection::Phase::Closed)
            return;
    }
}

void GuardedTcpServer::afterHead(QTcpSocket* socket, Connection& connection) {
    const std::optional<RequestHead> head = parseHead(connection.head);
    connection.head.clear();
    if (!head) {
        refuse(socket, connection, {400, "The request's head is not HTTP."});
        return;
    }
    bool lengthOk = true;
    const QByteArray lengthText = head->value("Content-Length");
    const qint64 length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&lengthOk);
    if (!lengthOk || length < 0) {
        refuse(socket, connection, {400, "The request's Content-Length is not a number."});
        return;
    }
    const bool chunked = !head->value("Transfer-Encoding").isEmpty();
    if (limits_.maxBodyBytes == 0 && (chunked || length > 0)) {
        refuse(socket, connection, {413, "This server takes no request bodies."});
        return;
    }
    // A body must come with its length, so that its end is known here too.
    if (chunked) {
        refuse(socket, connection, {411, "A request body must come with its Content-Length."});
        return;
    }
    if (check_) {
        if (const std::optional<Refusal> refusal = check_(*head)) {
            refuse(socket, connection, *refusal);
            return;
        }
    }
    if (length > limits_.maxBodyBytes) {
        refuse(socket, connection,
               {413, "A request body may hold at most " + QByteArray::number(limits_.maxBodyBytes) +
                         " bytes."});
        return;
    }
    ++connection.owed;
    // After CONNECT the connection carries a tunnel's bytes, not requests.
    if (head->method == "CONNECT") {
        connection.phase = Connection::Phase::Through;
        return;
    }
    connection.bodyLeft = length;
    connection.phase = length > 0 ? Connection::Phase::Body : Connection::Phase::Head;
}

void GuardedTcpServer::refuse(QTcpSocket* socket, Connection& connection, const Refusal& refusal) {
    connection.phase = Connection::Phase::Closed;
    connection.head.clear();
    drain(socket);
    if (refused_)
        refused_(refusal);
    const QByteArray body = refusal.text + '\n';
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(refusal.status) + ' ' +
                        reasonPhrase(refusal.status) +
                        "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
    for (const auto& [name, value] : refusal.headers)
        answer += name + ": " + value + "\r\n";
    socket->write(answer + "\r\n" + body);
    // Closing with the client's bytes unread would reset the connection under
    // it, and a client still sending could lose the answer: what it sends is
    // read and dropped for a moment first.
    QTimer::singleShot(kLingerMs, socket, [socket] { socket->disconnectFromHost(); });
}

void GuardedTcpServer::drain(QTcpSocket* socket) {
    // The HTTP server reads in a transaction, which would keep every byte.
    if (socket->isTransactionStarted())
        socket->commitTransaction();
    socket->readAll();
}

void GuardedTcpServer::requestAnswered(QTcpSocket* socket) {
    if (const auto found = connections_.find(socket); found != connections_.end()) {
        found->second.owed = std::max(0, found->second.owed - 1);
        found->second.lastActive = nowMs();
    }
}

void GuardedTcpServer::sweepIdle() {
    const qint64 now = nowMs();
    std::vector<QTcpSocket*> idle;
    for (const auto& [socket, connection] : connections_) {
        // A tunnel is the tunnel's to end: it sees both ways, the guard one.
        if (connection.phase == Connection::Phase::Through)
            continue;
        const bool owed = limits_.tracksAnswers && connection.owed > 0;
        if (!owed && now - connection.lastActive >= limits_.idleMs)
            idle.push_back(socket);
    }
    for (QTcpSocket* socket : idle)
        socket->abort(); // the HTTP server deletes it
}

bool GuardedTcpServer::makeRoom() {
    QTcpSocket* oldest = nullptr;
    qint64 oldestActive = 0;
    for (const auto& [socket, connection] : connections_) {
        if (limits_.tracksAnswers && connection.owed > 0)
            continue;
        if (oldest == nullptr || connection.lastActive < oldestActive) {
            oldest = socket;
            oldestActive = connection.lastActive;
        }
    }
    if (oldest == nullptr)
        return false;
    connections_.erase(oldest);
    oldest->abort();
    return true;
}

} // namespace nubivista::net
