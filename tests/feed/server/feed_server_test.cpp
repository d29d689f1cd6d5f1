// The feed's HTTP front on loopback, driven with raw requests: answers leave
// in the order the requests came, and a request or a connection past the
// feed's limits is refused before it costs anything.
#include "feed/server/feed_server.h"
#include "support/raw_http.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace nubivista;
using namespace nubivista::feed::server;
using nubivista::testing::rawExchange;

namespace {

// Answers /slow after a moment, /slower after longer than the idle time, and
// anything else at once, with its path.
class EchoHandler : public RequestHandler {
public:
    void handle(const RequestInfo& request, Responder respond) override {
        Reply reply;
        reply.body = "<" + request.path.toLatin1() + ">";
        if (request.path.startsWith(QLatin1String("/slow")))
            QTimer::singleShot(request.path == QLatin1String("/slow") ? 300 : 1000,
                               [respond, reply] { respond(reply); });
        else
            respond(reply);
    }
};

QByteArray get(const char* path) {
    return QByteArray("GET ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

class FeedServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        net::ConnectionLimits limits = FeedServer::limits();
        limits.idleMs = 400;
        limits.maxConnections = 3;
        port = server.listenOnLoopback(0, limits);
        ASSERT_NE(port, 0);
    }
    EchoHandler handler;
    FeedServer server{handler};
    quint16 port = 0;
};

} // namespace

TEST_F(FeedServerTest, PipelinedAnswersComeInTheOrderOfTheirRequestsAndAreLogged) {
    server.setRequestLog(true);
    QTemporaryFile log;
    ASSERT_TRUE(log.open());
    std::fflush(stderr);
    const int standardError = ::dup(STDERR_FILENO);
    ::dup2(log.handle(), STDERR_FILENO);
    const QByteArray both = rawExchange(port, get("/slow") + get("/fast"), 5000, "</fast>").bytes;
    std::fflush(stderr);
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
    log.seek(0);
    EXPECT_TRUE(log.readAll().contains("GET 127.0.0.1 /fast -> 200"));
    EXPECT_GE(both.indexOf("</slow>"), 0) << both.toStdString();
    EXPECT_LT(both.indexOf("</slow>"), both.indexOf("</fast>")) << both.toStdString();
}

TEST_F(FeedServerTest, ARequestPastALimitIsRefusedAndItsConnectionClosed) {
    struct Case {
        const char* name;
        QByteArray request;
        QByteArray status;
    };
    const Case cases[] = {
        {"a head of 20 KB",
         "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pad: " + QByteArray(20'000, 'a') + "\r\n\r\n",
         "HTTP/1.1 431 "},
        // Only the head is sent: the refusal does not wait for 300 MB.
        {"a body", "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 300000000\r\n\r\n",
         "HTTP/1.1 413 "},
        {"a body in chunks",
         "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n",
         "HTTP/1.1 413 "},
        {"no HTTP at all", "\x16\x03\x01 hello\r\n\r\n", "HTTP/1.1 400 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto answer = rawExchange(port, c.request, 5000);
        EXPECT_TRUE(answer.bytes.startsWith(c.status)) << answer.bytes.left(200).toStdString();
        EXPECT_TRUE(answer.closed);
    }
    // A request within the limits still comes through.
    EXPECT_TRUE(rawExchange(port, get("/fine"), 5000, "<").bytes.contains("</fine>"));
}

TEST_F(FeedServerTest, IdleConnectionsCloseAndTheOldestIdleMakesWayForANewOne) {
    const auto connected = [this] {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    };
    const auto closed = [](QTcpSocket& socket) {
        return socket.state() == QAbstractSocket::UnconnectedState;
    };
    const auto idle = connected();
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed(*idle); }, 3000)) << "closed when idle";
    // An answer owed for longer than the idle time is no idleness.
    EXPECT_TRUE(rawExchange(port, get("/slower"), 5000, "<").bytes.contains("</slower>"));

    // At the cap of three, the connection idle longest is closed for a newcomer.
    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < 3; ++i) {
        open.push_back(connected());
        QTest::qWait(30);
    }
    EXPECT_TRUE(rawExchange(port, get("/new"), 5000, "<").bytes.contains("</new>"));
    EXPECT_TRUE(closed(*open[0]));
    EXPECT_FALSE(closed(*open[2]));
}

TEST(GuardedServer, ARequestAfterABodyWithinTheLimitIsReadAsARequest) {
    net::ConnectionLimits limits{.maxBodyBytes = 100};
    QHttpServer server;
    server.route("/<arg>", [](const QString& name, const QHttpServerRequest& request) {
        return QString("<" + name + ":" + QString::fromLatin1(request.body()) + ">");
    });
    auto guard = std::make_unique<net::GuardedTcpServer>(limits);
    ASSERT_TRUE(guard->listen(QHostAddress::LocalHost, 0));
    const quint16 port = guard->serverPort();
    server.bind(guard.release());
    const QByteArray answers =
        rawExchange(port,
                    "POST /first HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\n\r\nhello" +
                        get("/second"),
                    5000, "<second:>")
            .bytes;
    EXPECT_TRUE(answers.contains("<first:hello>")) << answers.toStdString();
    EXPECT_TRUE(answers.contains("<second:>")) << answers.toStdString();
}
