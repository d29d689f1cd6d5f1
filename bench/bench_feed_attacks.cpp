// How the live feed holds up against hostile upstreams and hostile local
// clients. Each attack starts the real nubivista-feed (--source live) afresh
// on stand-ins of the product tree and the archive that this process serves
// on loopback, does one hostile thing and prints one line: what the client got
// (an HTTP status, "closed" or "no answer"), the seconds it took, the feed's
// resident memory after it and the most it held meanwhile.
//
//   bench_feed_attacks [--feed PATH] [--wait S] [--rss-cap-mb M] [--nofile N]
//                      [--why] [--keep-logs] [ATTACK ...]
//   bench_feed_attacks --list
//
// ATTACK: a name from --list, or its number; all of them when none is given
// (up to six minutes: a feed that holds on to a dead upstream keeps a client
// waiting a minute or more, in several attacks).
//   --feed PATH      the feed to attack (default: the one built beside this)
//   --wait S         the longest wait for one answer (default 65; the drip 70)
//   --rss-cap-mb M   a feed holding more is killed, so that a memory attack
//                    cannot take the machine down (default 8192)
//   --nofile N       the feed's limit of open files, as a desktop session
//                    gives it (default 1024; 0 keeps this process's)
//   --why            the feed's reason header under each line
//   --keep-logs      keep the feeds' request logs (--log) and say where
#include "hostile_products.h"
#include "process_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace nubivista;

namespace {

namespace hostile = bench::hostile;

const QString kLatestImage = QStringLiteral("/radar/images/DS.p19r0/SI.klsx/latest.gif");
const QString kNationalPage = QStringLiteral("/radar/national.html");
const char* const kRealProduct = "KLSX_SDUS23_N2QLSX_202112110250"; // an N0Q of KLSX

// The tree's newest file of a product directory of KLSX.
QString treeLast(const char* directory) {
    return QStringLiteral("/SL.us008001/DF.of/DC.radar/%1/SI.klsx/sn.last")
        .arg(QLatin1String(directory));
}

QByteArray httpTime(const QDateTime& t) {
    return QLocale::c()
        .toString(t.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
        .toLatin1();
}

// A whole minute some minutes ago, as scans are timed.
QDateTime minutesAgo(int minutes) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute()), Qt::UTC)
        .addSecs(-60 * minutes);
}

QString sizeText(qint64 bytes) {
    if (bytes >= 1 << 20)
        return QStringLiteral("%1 MB").arg(double(bytes) / (1 << 20), 0, 'f', 1);
    return QStringLiteral("%1 KB").arg(double(bytes) / 1024, 0, 'f', bytes < 10240 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// The stand-in upstreams

enum class Mode {
    Serve, // its files, 404 for the rest; the archive lists its files
    Hang,  // accepts and reads, never answers
    Drip,  // the status line and headers at once, then the body a byte every 5 s
};

// One upstream on loopback, living on the stand-ins' thread; the main thread
// sets what it does, read at each request.
class FakeUpstream : public QObject {
public:
    explicit FakeUpstream(bool archive) : archive_(archive) {
        connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
        server_.listen(QHostAddress::LocalHost);
        port_ = server_.serverPort();
    }
    quint16 port() const { return port_; }
    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_)); }

    void reset() {
        const QMutexLocker locker(&lock_);
        files_.clear();
        mode_ = Mode::Serve;
        delayMs_ = 0;
    }
    void setMode(Mode mode) {
        const QMutexLocker locker(&lock_);
        mode_ = mode;
    }
    void setDelayMs(int ms) {
        const QMutexLocker locker(&lock_);
        delayMs_ = ms;
    }
    void put(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
        const QMutexLocker locker(&lock_);
        files_[path] = {bytes, httpTime(modified)};
    }

private:
    struct File {
        QByteArray bytes;
        QByteArray modified;
    };

    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            auto pending = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] {
                *pending += socket->readAll();
                for (qsizetype end = pending->indexOf("\r\n\r\n"); end >= 0;
                     end = pending->indexOf("\r\n\r\n")) {
                    const QByteArray head = pending->left(end);
                    pending->remove(0, end + 4);
                    answer(socket, head);
                }
            });
        }
    }

    // The status line and headers, and the body, of the answer to a request.
    std::pair<QByteArray, QByteArray> answerTo(const QByteArray& head) {
        const QList<QByteArray> lines = head.split('\n');
        const QUrl target(QString::fromLatin1(lines.value(0).split(' ').value(1)));
        QByteArray ifModifiedSince;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("if-modified-since:"))
                ifModifiedSince = line.mid(18).trimmed();
        const QMutexLocker locker(&lock_);
        if (archive_ && target.path() == QLatin1String("/")) {
            const QString prefix = QUrlQuery(target).queryItemValue(QStringLiteral("prefix"));
            QByteArray xml = "<ListBucketResult><IsTruncated>false</IsTruncated>";
            for (const auto& [key, file] : files_)
                if (key.mid(1).startsWith(prefix))
                    xml += "<Contents><Key>" + key.mid(1).toLatin1() + "</Key></Contents>";
            xml += "</ListBucketResult>";
            return {"HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\n", xml};
        }
        const auto found = files_.find(target.path());
        if (found == files_.end())
            return {"HTTP/1.1 404 Not Found\r\n", {}};
        if (ifModifiedSince == found->second.modified)
            return {"HTTP/1.1 304 Not Modified\r\n", {}};
        return {"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nLast-Modified: " +
                    found->second.modified + "\r\n",
                found->second.bytes};
    }

    void answer(QTcpSocket* socket, const QByteArray& head) {
        Mode mode;
        int delayMs;
        {
            const QMutexLocker locker(&lock_);
            mode = mode_;
            delayMs = delayMs_;
        }
        if (mode == Mode::Hang)
            return; // the socket stays open until the feed gives up
        auto [status, body] = answerTo(head);
        status += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
        if (mode == Mode::Drip) {
            socket->write(status);
            auto* drip = new QTimer(socket);
            auto sent = std::make_shared<qsizetype>(0);
            connect(drip, &QTimer::timeout, socket, [socket, drip, sent, body = body] {
                if (*sent >= body.size()) {
                    drip->stop();
                    return;
                }
                socket->write(body.mid((*sent)++, 1));
            });
            drip->start(5000);
            return;
        }
        const QByteArray whole = status + body;
        if (delayMs > 0)
            QTimer::singleShot(delayMs, socket, [socket, whole] { socket->write(whole); });
        else
            socket->write(whole);
    }

    const bool archive_;
    QTcpServer server_;
    quint16 port_ = 0;
    QMutex lock_;
    std::map<QString, File> files_; // by path; the archive's are "/<key>"
    Mode mode_ = Mode::Serve;
    int delayMs_ = 0;
};

// The product tree and the archive, answering on a thread of their own while
// the main thread waits on the feed.
class StandIns : public QThread {
public:
    StandIns() {
        start();
        ready_.acquire();
    }
    ~StandIns() override {
        quit();
        wait();
    }
    FakeUpstream& tree() { return *tree_; }
    FakeUpstream& archive() { return *archive_; }
    void reset() {
        tree_->reset();
        archive_->reset();
    }

protected:
    void run() override {
        FakeUpstream tree(false);
        FakeUpstream archive(true);
        tree_ = &tree;
        archive_ = &archive;
        ready_.release();
        exec();
    }

private:
    QSemaphore ready_;
    FakeUpstream* tree_ = nullptr;
    FakeUpstream* archive_ = nullptr;
};

// ---------------------------------------------------------------------------
// The feed

struct Options {
    QString feed = QStringLiteral(NUBIVISTA_FEED_PROGRAM);
    int waitSeconds = 65;
    qint64 rssCapKb = 8192 * 1024;
    int openFiles = 1024;
    bool why = false;
    bool keepLogs = false;
    QStringList attacks;
};

class Feed {
public:
    Feed(const Options& options, StandIns& upstreams, const QString& log) : options_(options) {
        process_.setProgram(options.feed);
        process_.setArguments(
            {QStringLiteral("--source"), QStringLiteral("live"), QStringLiteral("--port"),
             QStringLiteral("0"), QStringLiteral("--nws-base"), upstreams.tree().base().toString(),
             QStringLiteral("--archive-base"), upstreams.archive().base().toString(),
             QStringLiteral("--ask-every"), QStringLiteral("1"), QStringLiteral("--log")});
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(log);
        if (const int limit = options.openFiles; limit > 0) {
            process_.setChildProcessModifier([limit] {
                rlimit files{};
                if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
                    files.rlim_cur = std::min<rlim_t>(rlim_t(limit), files.rlim_max);
                    setrlimit(RLIMIT_NOFILE, &files);
                }
            });
        }
        process_.start();
        if (!process_.waitForStarted(10000))
            return;
        pid_ = QString::number(process_.processId());
        static const QRegularExpression listening(
            QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
        QByteArray said;
        QElapsedTimer clock;
        clock.start();
        while (!said.contains('\n') && clock.elapsed() < 15000 &&
               process_.state() == QProcess::Running) {
            process_.waitForReadyRead(200);
            said += process_.readAllStandardOutput();
        }
        const QRegularExpressionMatch match = listening.match(QString::fromLatin1(said));
        if (match.hasMatch())
            port_ = quint16(match.captured(1).toUInt());
    }
    ~Feed() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    Feed(const Feed&) = delete;
    Feed& operator=(const Feed&) = delete;

    quint16 port() const { return port_; }

    // Called at every turn of a wait: notes the memory, and kills a feed
    // past the cap. False once the feed is gone.
    bool watch() {
        if (!alive())
            return false;
        const qint64 rss = bench::residentKb(pid_);
        peakKb_ = std::max({peakKb_, rss, bench::peakResidentKb(pid_)});
        if (rss > options_.rssCapKb) {
            killedAtCap_ = true;
            process_.kill();
            process_.waitForFinished(10000);
            return false;
        }
        return true;
    }
    bool alive() {
        return process_.state() != QProcess::NotRunning && !process_.waitForFinished(0);
    }
    void pause(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms && watch())
            QThread::msleep(std::clamp<qint64>(ms - clock.elapsed(), 1, 50));
    }

    qint64 rssKb() { return alive() ? bench::residentKb(pid_) : 0; }
    qint64 peakKb() {
        watch();
        return peakKb_;
    }
    int openFiles() const {
        return int(QDir(QStringLiteral("/proc/%1/fd").arg(pid_))
                       .entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)
                       .size());
    }
    double cpuSeconds() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid_));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = stat.readAll();
        // After the command's closing parenthesis: state (1), ..., utime (12), stime (13).
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) /
               double(sysconf(_SC_CLK_TCK));
    }
    // Why the feed is gone, when it is.
    QString gone() {
        if (killedAtCap_)
            return QStringLiteral("killed at the RSS cap");
        if (alive())
            return {};
        return process_.exitStatus() == QProcess::CrashExit
                   ? QStringLiteral("feed crashed")
                   : QStringLiteral("feed exited %1").arg(process_.exitCode());
    }

private:
    const Options& options_;
    QProcess process_;
    QString pid_;
    quint16 port_ = 0;
    qint64 peakKb_ = 0;
    bool killedAtCap_ = false;
};

// ---------------------------------------------------------------------------
// A client of the feed, on a plain socket, so that it can misbehave

struct Response {
    int status = 0;
    QByteArray head; // the status line and headers
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        return {};
    }
};

class Deadline {
public:
    explicit Deadline(qint64 ms) : ms_(ms) { clock_.start(); }
    qint64 left() const { return std::max<qint64>(0, ms_ - clock_.elapsed()); }
    bool passed() const { return clock_.elapsed() >= ms_; }

private:
    QElapsedTimer clock_;
    qint64 ms_;
};

class Client {
public:
    enum class Sent { All, Closed, Answered, Stalled };

    Client(quint16 port, Feed& feed, qint64 connectMs = 5000) : feed_(feed) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 ||
            (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
             errno != EINPROGRESS)) {
            closed_ = true;
            return;
        }
        const Deadline deadline(connectMs);
        pollfd p{fd_, POLLOUT, 0};
        while (!deadline.passed() && ::poll(&p, 1, 50) == 0)
            feed_.watch();
        int error = 0;
        socklen_t size = sizeof error;
        connected_ = (p.revents & POLLOUT) &&
                     ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        closed_ = !connected_ && p.revents != 0;
    }
    ~Client() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool connected() const { return connected_; }
    bool closed() const { return closed_; }
    qint64 sentBytes() const { return sent_; }

    // Sends the bytes, or stops when the feed closes the connection, answers
    // early, or takes nothing for stallMs.
    Sent send(const QByteArray& bytes, qint64 stallMs = 10000) {
        qsizetype done = 0;
        Deadline stall(stallMs);
        while (done < bytes.size()) {
            pollfd p{fd_, POLLIN | POLLOUT, 0};
            ::poll(&p, 1, 50);
            feed_.watch();
            if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
                readSome();
                if (!in_.isEmpty())
                    return Sent::Answered;
                if (closed_)
                    return Sent::Closed;
            }
            if (p.revents & POLLOUT) {
                const ssize_t n = ::send(fd_, bytes.constData() + done,
                                         std::size_t(bytes.size() - done), MSG_NOSIGNAL);
                if (n > 0) {
                    done += n;
                    sent_ += n;
                    stall = Deadline(stallMs);
                } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                    // A reset: what the feed said before it may still be there.
                    readSome();
                    closed_ = true;
                    return in_.isEmpty() ? Sent::Closed : Sent::Answered;
                }
            }
            if (stall.passed())
                return Sent::Stalled;
        }
        return Sent::All;
    }

    // The next whole answer; nothing when the connection closed or the time
    // ran out first (closed() tells which).
    std::optional<Response> receive(qint64 ms) {
        const Deadline deadline(ms);
        while (true) {
            if (std::optional<Response> response = take())
                return response;
            if (closed_ || deadline.passed())
                return std::nullopt;
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, int(std::min<qint64>(50, deadline.left())));
            feed_.watch();
            if (p.revents)
                readSome();
        }
    }

private:
    void readSome() {
        char buffer[65536];
        while (true) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n > 0) {
                in_.append(buffer, n);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                closed_ = true;
            return;
        }
    }

    // One answer from what came in, once it is all there.
    std::optional<Response> take() {
        const qsizetype end = in_.indexOf("\r\n\r\n");
        if (end < 0)
            return std::nullopt;
        Response response;
        response.head = in_.left(end);
        response.status = response.head.split(' ').value(1).toInt();
        const QByteArray length = response.header("Content-Length");
        qsizetype size = 0;
        if (!length.isEmpty())
            size = length.toLongLong();
        else if (response.status != 304 && response.status != 204)
            size = closed_ ? in_.size() - end - 4 : -1; // to the close
        if (size < 0 || in_.size() < end + 4 + size)
            return std::nullopt;
        response.body = in_.mid(end + 4, size);
        in_.remove(0, end + 4 + size);
        return response;
    }

    Feed& feed_;
    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    qint64 sent_ = 0;
    QByteArray in_;
};

QByteArray getRequest(const QString& path, bool close = true) {
    return "GET " + path.toLatin1() + " HTTP/1.1\r\nHost: weather.noaa.gov\r\n" +
           (close ? QByteArray("Connection: close\r\n") : QByteArray()) + "\r\n";
}

// ---------------------------------------------------------------------------
// The attacks

struct Result {
    QString what;
    double seconds = 0;
    qint64 rssKb = 0;
    qint64 peakKb = 0;
    QString why; // the feed's reason header, when it gave one
};

struct Context {
    const Options& options;
    StandIns& upstreams;
    QString log;            // this attack's feed log
    QByteArray realProduct; // an N0Q of KLSX as the tree serves it
    std::function<std::unique_ptr<Feed>()> startFeed;
};

// What the client got: the status, or why there was none.
QString outcome(const std::optional<Response>& response, const Client& client, Feed& feed) {
    if (response)
        return QString::number(response->status);
    const QString gone = feed.gone();
    const QString what = client.closed() ? QStringLiteral("closed") : QStringLiteral("no answer");
    return gone.isEmpty() ? what : what + QStringLiteral(" (") + gone + QLatin1Char(')');
}

Result finished(Feed& feed, QString what, const QElapsedTimer& clock, QString why = {}) {
    Result result;
    result.what = std::move(what);
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.rssKb = feed.rssKb();
    result.peakKb = feed.peakKb();
    result.why = std::move(why);
    return result;
}

struct Got {
    std::optional<Response> response;
    QString what;
    double seconds = 0;
};

Got get(Feed& feed, const QString& path, qint64 waitMs) {
    QElapsedTimer clock;
    clock.start();
    Client client(feed.port(), feed);
    std::optional<Response> response;
    if (client.connected()) {
        client.send(getRequest(path));
        response = client.receive(waitMs);
    }
    return {response, outcome(response, client, feed), double(clock.nsecsElapsed()) / 1e9};
}

Result timedGet(Feed& feed, const QString& path, qint64 waitMs, const QString& note = {}) {
    QElapsedTimer clock;
    clock.start();
    const Got got = get(feed, path, waitMs);
    return finished(feed, note.isEmpty() ? got.what : got.what + QStringLiteral(", ") + note, clock,
                    got.response ? QString::fromUtf8(got.response->header("X-Nubivista-Reason"))
                                 : QString());
}

Result notStarted() {
    return {QStringLiteral("the feed did not start"), 0, 0, 0, {}};
}

// A hostile product as the tree's newest file of a directory of KLSX; the
// client asks for the latest picture.
Result servedProduct(Context& c, const char* directory, const QByteArray& product) {
    c.upstreams.tree().put(treeLast(directory), product, minutesAgo(5));
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    return timedGet(*feed, kLatestImage, c.options.waitSeconds * 1000LL,
                    QStringLiteral("file ") + sizeText(product.size()));
}

// Full radial packets of 1,000 radials of 2,000 bins carrying no data, as
// many as the expanded size holds, bzip2-compressed: a decoder that gives
// every radial all its bins makes 2 MB of each 6 KB packet, and each packet
// is a pass of drawing over the whole picture.
Result bzip2Bomb(Context& c, qsizetype expanded) {
    hostile::RadialPackets shape{.packets = 0, .radials = 1000, .binCount = 2000, .dataBytes = 0};
    shape.packets = hostile::packetsFitting(expanded, shape);
    const QByteArray product =
        hostile::product({.code = 94, .awips = "N0Q", .scan = minutesAgo(5), .bzip2 = true},
                         hostile::radialSymbology(shape));
    return servedProduct(c, "DS.p94r0", product);
}

// An uncompressed N0R (the second choice, the tree having no N0Q) of 200 such
// run-length packets.
Result bigN0r(Context& c) {
    const hostile::RadialPackets shape{
        .packets = 200, .radials = 1000, .binCount = 2000, .dataBytes = 0, .digital = false};
    const QByteArray product = hostile::product({.code = 19,
                                                 .awips = "N0R",
                                                 .scan = minutesAgo(5),
                                                 .thresholds = hostile::sixteenLevelThresholds()},
                                                hostile::radialSymbology(shape));
    return servedProduct(c, "DS.p19r0", product);
}

// Radial packets of no radials over 2,000 bins: nothing to decode, but each
// is a pass over the whole picture.
Result emptyPackets(Context& c) {
    const hostile::RadialPackets shape{.packets = 2000, .radials = 0, .binCount = 2000};
    const QByteArray product = hostile::product({.code = 94, .awips = "N0Q", .scan = minutesAgo(5)},
                                                hostile::radialSymbology(shape));
    return servedProduct(c, "DS.p94r0", product);
}

Result millionEmptyPackets(Context& c) {
    hostile::RadialPackets shape{.packets = 0, .radials = 0, .binCount = 2000};
    shape.packets = hostile::packetsFitting(16 << 20, shape);
    const QByteArray product =
        hostile::product({.code = 94, .awips = "N0Q", .scan = minutesAgo(5), .bzip2 = true},
                         hostile::radialSymbology(shape));
    return servedProduct(c, "DS.p94r0", product);
}

// A good scan first; then both upstreams accept and never answer. The feed
// holds a scan: how long until the program gets it?
Result hangWithScanHeld(Context& c) {
    c.upstreams.tree().put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, minutesAgo(8)),
                           minutesAgo(8));
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    const Got first = get(*feed, kLatestImage, 30000);
    c.upstreams.tree().setMode(Mode::Hang);
    c.upstreams.archive().setMode(Mode::Hang);
    feed->pause(1500); // past --ask-every 1
    return timedGet(*feed, kLatestImage, std::max(c.options.waitSeconds, 65) * 1000LL,
                    QStringLiteral("first ") + first.what);
}

Result hangNothingHeld(Context& c) {
    c.upstreams.tree().setMode(Mode::Hang);
    c.upstreams.archive().setMode(Mode::Hang);
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    return timedGet(*feed, kLatestImage, std::max(c.options.waitSeconds, 65) * 1000LL);
}

// The tree answers at once and then sends its body a byte every 5 s.
Result dripUpstream(Context& c) {
    c.upstreams.tree().put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, minutesAgo(8)),
                           minutesAgo(8));
    c.upstreams.tree().setMode(Mode::Drip);
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    return timedGet(*feed, kLatestImage, 70000);
}

QString sentText(const Client& client, Client::Sent sent) {
    const QString amount = sizeText(client.sentBytes());
    switch (sent) {
    case Client::Sent::All:
        return amount + QStringLiteral(" sent");
    case Client::Sent::Closed:
        return QStringLiteral("closed after ") + amount;
    case Client::Sent::Answered:
        return QStringLiteral("answered after ") + amount;
    case Client::Sent::Stalled:
        return QStringLiteral("stalled after ") + amount;
    }
    return {};
}

// One request whose header lines run to 200 MB.
Result hugeHeaders(Context& c) {
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    QElapsedTimer clock;
    clock.start();
    Client client(feed->port(), *feed);
    // 64 lines of 1 KB in a chunk.
    QByteArray chunk;
    for (int line = 0; line < 64; ++line)
        chunk += "X-Filler-" + QByteArray::number(line).rightJustified(2, '0') + ": " +
                 QByteArray(1024 - 15, 'a') + "\r\n";
    constexpr qint64 kTotal = 200LL << 20;
    Client::Sent sent = client.send(getRequest(kNationalPage).chopped(2));
    while (sent == Client::Sent::All && client.sentBytes() < kTotal && clock.elapsed() < 60000)
        sent = client.send(chunk);
    if (sent == Client::Sent::All)
        sent = client.send("\r\n");
    const std::optional<Response> response = client.receive(10000);
    return finished(
        *feed, outcome(response, client, *feed) + QStringLiteral(", ") + sentText(client, sent),
        clock);
}

// A POST of 300 MB, its body streamed.
Result hugePost(Context& c) {
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    QElapsedTimer clock;
    clock.start();
    Client client(feed->port(), *feed);
    constexpr qint64 kTotal = 300LL << 20;
    Client::Sent sent = client.send("POST " + kNationalPage.toLatin1() +
                                    " HTTP/1.1\r\nHost: weather.noaa.gov\r\n"
                                    "Content-Type: application/octet-stream\r\n"
                                    "Content-Length: " +
                                    QByteArray::number(kTotal) + "\r\n\r\n");
    const QByteArray chunk(1 << 20, 'x');
    const qint64 headBytes = client.sentBytes();
    while (sent == Client::Sent::All && client.sentBytes() - headBytes < kTotal &&
           clock.elapsed() < 60000)
        sent = client.send(chunk);
    const std::optional<Response> response = client.receive(10000);
    return finished(
        *feed, outcome(response, client, *feed) + QStringLiteral(", ") + sentText(client, sent),
        clock);
}

// Sockets connected to the feed and left idle; closed when done.
class IdleSockets {
public:
    explicit IdleSockets(quint16 port) {
        address_.sin_family = AF_INET;
        address_.sin_port = htons(port);
        address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    void add(int count) {
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd < 0)
                return;
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address_), sizeof address_);
            fds_.push_back(fd);
        }
    }
    ~IdleSockets() { closeAll(); }
    void closeAll() {
        for (const int fd : fds_)
            ::close(fd);
        fds_.clear();
    }
    IdleSockets(const IdleSockets&) = delete;
    IdleSockets& operator=(const IdleSockets&) = delete;

    // Connected, and not closed by the feed.
    int open() const {
        int count = 0;
        for (const int fd : fds_) {
            pollfd p{fd, POLLIN | POLLOUT, 0};
            ::poll(&p, 1, 0);
            int error = 0;
            socklen_t size = sizeof error;
            if (!(p.revents & POLLOUT) ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
                continue;
            char byte = 0;
            if ((p.revents & POLLIN) && ::recv(fd, &byte, 1, MSG_PEEK) == 0)
                continue; // the feed closed it
            ++count;
        }
        return count;
    }

private:
    sockaddr_in address_{};
    std::vector<int> fds_;
};

// Connections opened and left idle; then a new client asks for a page.
Result idleConnections(Context& c) {
    constexpr int kIdle = 1068;
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    const double cpuBefore = feed->cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    // In batches the listen queue (50) takes, so that none waits for its
    // handshake to be sent again; then until the counts settle.
    IdleSockets idle(feed->port());
    for (int opened = 0; opened < kIdle; opened += 25) {
        idle.add(std::min(25, kIdle - opened));
        feed->pause(100);
    }
    int openBefore = -1;
    int filesHeld = -1;
    for (int still = 0; still < 4 && clock.elapsed() < 20000;) {
        feed->pause(500);
        const int open = idle.open();
        const int files = feed->openFiles();
        still = open == openBefore && files == filesHeld ? still + 1 : 0;
        openBefore = open;
        filesHeld = files;
    }
    const Got got = get(*feed, kNationalPage, 5000);
    const int openAfter = idle.open();
    const double cpu = feed->cpuSeconds() - cpuBefore;
    const double over = double(clock.elapsed()) / 1000;
    Result result = finished(*feed,
                             QStringLiteral("%1; %2/%3 idle open, %4 after; feed fds %5, "
                                            "CPU %6 s over %7 s")
                                 .arg(got.what)
                                 .arg(openBefore)
                                 .arg(kIdle)
                                 .arg(openAfter)
                                 .arg(filesHeld)
                                 .arg(cpu, 0, 'f', 1)
                                 .arg(over, 0, 'f', 1),
                             clock);
    // Does it serve again once they are gone?
    idle.closeAll();
    feed->pause(1000);
    result.what += QStringLiteral("; once closed: ") + get(*feed, kNationalPage, 5000).what;
    result.seconds = got.seconds; // the new client's
    return result;
}

// A slow picture (the tree takes 2 s) and a page, pipelined on one
// connection: the answers must come back in the order asked.
Result pipelined(Context& c) {
    c.upstreams.tree().put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, minutesAgo(8)),
                           minutesAgo(8));
    c.upstreams.tree().setDelayMs(2000);
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    QElapsedTimer clock;
    clock.start();
    Client client(feed->port(), *feed);
    client.send(getRequest(kLatestImage, false) + getRequest(kNationalPage, false));
    QStringList order;
    while (order.size() < 2) {
        const std::optional<Response> response = client.receive(15000);
        if (!response) {
            order << outcome(response, client, *feed);
            break;
        }
        const QByteArray type = response->header("Content-Type");
        order << QStringLiteral("%1 %2")
                     .arg(type.startsWith("image/gif")   ? QStringLiteral("gif")
                          : type.startsWith("text/html") ? QStringLiteral("page")
                                                         : QString::fromLatin1(type))
                     .arg(response->status);
    }
    const bool inOrder = order.size() == 2 && order[0].startsWith(QLatin1String("gif")) &&
                         order[1].startsWith(QLatin1String("page"));
    return finished(
        *feed,
        order.join(QStringLiteral(" then ")) +
            (inOrder ? QStringLiteral(" (in order)") : QStringLiteral(" (NOT in order)")),
        clock);
}

// A good scan, then one dated 2147 (which must not stand as the newest for
// good), then a real newer scan: the picture's Last-Modified must be the
// newer scan's.
Result futureScan(Context& c) {
    FakeUpstream& tree = c.upstreams.tree();
    const QDateTime good = minutesAgo(10);
    const QDateTime future(QDate(2147, 6, 1), QTime(12, 0), Qt::UTC);
    const QDateTime newer = minutesAgo(5);
    tree.put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, good), good);
    const auto feed = c.startFeed();
    if (feed->port() == 0)
        return notStarted();
    QElapsedTimer clock;
    clock.start();
    const auto modified = [](const Got& got) {
        return got.response ? QString::fromLatin1(got.response->header("Last-Modified"))
                                  .section(QLatin1Char(' '), 4, 4)
                            : QStringLiteral("-");
    };
    const Got first = get(*feed, kLatestImage, 30000);
    tree.put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, future), minutesAgo(1));
    feed->pause(1500);
    const Got second = get(*feed, kLatestImage, 30000);
    tree.put(treeLast("DS.p94r0"), hostile::retimed(c.realProduct, newer),
             QDateTime::currentDateTimeUtc());
    feed->pause(1500);
    const Got third = get(*feed, kLatestImage, 30000);
    const QString wanted = newer.toString(QStringLiteral("HH:mm:ss"));
    return finished(*feed,
                    QStringLiteral("%1 %2, after 2147: %3 %4, after newer: %5 %6 (%7)")
                        .arg(first.what, modified(first), second.what, modified(second), third.what,
                             modified(third),
                             modified(third) == wanted ? QStringLiteral("the newer scan's")
                                                       : QStringLiteral("want ") + wanted),
                    clock,
                    second.response
                        ? QString::fromUtf8(second.response->header("X-Nubivista-Reason"))
                        : QString());
}

struct Attack {
    const char* name;
    const char* title;
    Result (*run)(Context&);
};

const Attack kAttacks[] = {
    // 16 MB: the most an expanded size could be said to be before the
    // decoder's own cap came down to 4 MB (the last attack).
    {"bomb", "bzip2 bomb (16 MB of radials)", [](Context& c) { return bzip2Bomb(c, 16 << 20); }},
    {"big-n0r", "big N0R (200 packets)", bigN0r},
    {"empty-2000", "2,000 empty packets", emptyPackets},
    {"empty-1.2m", "1.2 M empty packets (bzip2)", millionEmptyPackets},
    {"hang-held", "tree and archive hang, scan held", hangWithScanHeld},
    {"hang-none", "tree and archive hang, nothing held", hangNothingHeld},
    {"drip", "drip upstream (a byte per 5 s)", dripUpstream},
    {"headers", "200 MB of headers", hugeHeaders},
    {"post", "300 MB POST", hugePost},
    {"idle", "1,068 idle connections", idleConnections},
    {"pipelined", "pipelined slow gif + page", pipelined},
    {"future", "future-dated scan (2147)", futureScan},
    {"bomb-4mb", "bzip2 bomb (4 MB of radials)", [](Context& c) { return bzip2Bomb(c, 4 << 20); }},
};

void printRow(const QString& title, const Result& result, bool why) {
    std::printf("%-38s %-44s %8.2f %9.1f %9.1f\n", qPrintable(title), qPrintable(result.what),
                result.seconds, double(result.rssKb) / 1024, double(result.peakKb) / 1024);
    if (why && !result.why.isEmpty())
        std::printf("    why: %s\n", qPrintable(result.why));
    std::fflush(stdout);
}

std::optional<Options> parseOptions(const QStringList& arguments) {
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&] { return i + 1 < arguments.size() ? arguments[++i] : QString(); };
        if (argument == QLatin1String("--feed"))
            options.feed = value();
        else if (argument == QLatin1String("--wait"))
            options.waitSeconds = std::max(1, value().toInt());
        else if (argument == QLatin1String("--rss-cap-mb"))
            options.rssCapKb = std::max(64LL, value().toLongLong()) * 1024;
        else if (argument == QLatin1String("--nofile"))
            options.openFiles = std::max(0, value().toInt());
        else if (argument == QLatin1String("--why"))
            options.why = true;
        else if (argument == QLatin1String("--keep-logs"))
            options.keepLogs = true;
        else if (argument.startsWith(QLatin1String("--")))
            return std::nullopt;
        else
            options.attacks << argument;
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--list"))) {
        int number = 1;
        for (const Attack& attack : kAttacks)
            std::printf("%2d  %-12s %s\n", number++, attack.name, attack.title);
        return 0;
    }
    const std::optional<Options> parsed = parseOptions(arguments);
    if (!parsed) {
        std::fprintf(stderr, "usage: bench_feed_attacks [--feed PATH] [--wait S] [--rss-cap-mb M] "
                             "[--nofile N] [--why] [--keep-logs] [ATTACK ...] | --list\n");
        return 2;
    }
    const Options& options = *parsed;
    std::vector<const Attack*> chosen;
    int number = 1;
    for (const Attack& attack : kAttacks) {
        if (options.attacks.isEmpty() || options.attacks.contains(QLatin1String(attack.name)) ||
            options.attacks.contains(QString::number(number)))
            chosen.push_back(&attack);
        ++number;
    }
    if (chosen.empty()) {
        std::fprintf(stderr, "bench_feed_attacks: no such attack (see --list)\n");
        return 2;
    }
    QFile real(QStringLiteral(NUBIVISTA_SOURCE_DIR "/tests/data/level3/") +
               QLatin1String(kRealProduct));
    if (!real.open(QIODevice::ReadOnly) || !QFile::exists(options.feed)) {
        std::fprintf(stderr, "bench_feed_attacks: %s or %s is missing\n",
                     qPrintable(real.fileName()), qPrintable(options.feed));
        return 1;
    }
    QTemporaryDir logs;
    logs.setAutoRemove(!options.keepLogs);
    StandIns upstreams;
    Context context{options, upstreams, {}, real.readAll(), {}};
    context.startFeed = [&] { return std::make_unique<Feed>(options, upstreams, context.log); };

    std::printf("feed: %s\nopen-file limit %d, RSS cap %lld MB, longest wait %d s\n",
                qPrintable(options.feed), options.openFiles, options.rssCapKb / 1024,
                options.waitSeconds);
    std::printf("%-38s %-44s %8s %9s %9s\n", "attack", "what", "seconds", "RSS MB", "peak MB");
    {
        context.log = logs.filePath(QStringLiteral("idle.log"));
        QElapsedTimer clock;
        clock.start();
        const auto feed = context.startFeed();
        if (feed->port() == 0) {
            std::fprintf(stderr, "bench_feed_attacks: the feed did not start\n");
            return 1;
        }
        const double started = double(clock.nsecsElapsed()) / 1e9;
        feed->pause(1000);
        Result idle;
        idle.what = QStringLiteral("started in %1 s").arg(started, 0, 'f', 2);
        idle.rssKb = feed->rssKb();
        idle.peakKb = feed->peakKb();
        printRow(QStringLiteral("idle feed"), idle, false);
    }
    for (const Attack* attack : chosen) {
        upstreams.reset();
        context.log = logs.filePath(QLatin1String(attack->name) + QStringLiteral(".log"));
        printRow(QLatin1String(attack->title), attack->run(context), options.why);
    }
    if (options.keepLogs)
        std::printf("feed logs: %s\n", qPrintable(logs.path()));
    return 0;
}
