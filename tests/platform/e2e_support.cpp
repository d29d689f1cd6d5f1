#include "platform/e2e_support.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <csignal>
#include <sys/prctl.h>

namespace nubivista::platform::testing {

RadarSimProcess::RadarSimProcess(const QStringList& extraArguments)
    : process_(std::make_unique<QProcess>()) {
    process_->setProgram(QStringLiteral(NUBIVISTA_APP_DIR "/nubivista-feed"));
    // A long interval: frames change only when a test publishes them.
    process_->setArguments(
        QStringList{"--source", "sim", "--admin", "--port", "0", "--frame-interval", "300"} +
        extraArguments);
    // A test program killed at its time-out takes the simulator with it, as
    // the program takes its own feed.
    process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_->start();
    if (!process_->waitForStarted(10000))
        return;
    const QRegularExpression ready(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray output;
    while (process_->waitForReadyRead(30000)) {
        output += process_->readAllStandardOutput();
        const auto match = ready.match(QString::fromLatin1(output));
        if (match.hasMatch()) {
            port_ = match.captured(1).toUShort();
            return;
        }
    }
}

RadarSimProcess::~RadarSimProcess() {
    if (!process_)
        return;
    process_->kill();
    process_->waitForFinished(10000);
}

std::unique_ptr<RadarSimProcess> RadarSimProcess::attachedTo(quint16 port) {
    std::unique_ptr<RadarSimProcess> sim(new RadarSimProcess(port));
    return sim;
}

namespace {

struct SimAnswer {
    QByteArray body;
    QDateTime lastModifiedUtc;
};

// A request straight to the simulator, waited for.
SimAnswer askSimulator(quint16 port, const QString& pathAndQuery, bool head) {
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(pathAndQuery)));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(30000);
    std::unique_ptr<QNetworkReply> reply(head ? network.head(request) : network.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return {reply->readAll(),
            reply->header(QNetworkRequest::LastModifiedHeader).toDateTime().toUTC()};
}

} // namespace

QByteArray RadarSimProcess::get(const QString& pathAndQuery) const {
    return askSimulator(port_, pathAndQuery, false).body;
}

QDateTime RadarSimProcess::lastModified(const QString& pathAndQuery) const {
    return askSimulator(port_, pathAndQuery, true).lastModifiedUtc;
}

QDateTime RadarSimProcess::newestFrame() const {
    const QJsonObject state = QJsonDocument::fromJson(get(QStringLiteral("/_sim/state"))).object();
    return QDateTime::fromString(state.value(QLatin1String("newestFrame")).toString(), Qt::ISODate)
        .toUTC();
}

std::unique_ptr<InternetLayer> layerInHome(const QTemporaryDir& home, quint16 feedPort,
                                           bool installApplicationProxy, int paneFetchTimeoutMs,
                                           InternetLayerOptions options) {
    if (options.cacheFolder.isEmpty())
        options.cacheFolder = home.filePath(QStringLiteral("cache"));
    // The radar servers' addresses go to the simulator as they go to the
    // program's own feed; nothing else leaves the machine.
    if (feedPort != 0)
        options.feedProxy =
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), feedPort);
    options.upstreamProxy = QNetworkProxy(QNetworkProxy::NoProxy);
    options.installApplicationProxy = installApplicationProxy;
    options.paneFetchTimeoutMs = paneFetchTimeoutMs;
    return std::make_unique<InternetLayer>(options);
}

std::unique_ptr<InternetLayer> layerThroughSim(const QTemporaryDir& home,
                                               const RadarSimProcess& sim,
                                               bool installApplicationProxy, int paneFetchTimeoutMs,
                                               const InternetLayerOptions& options) {
    return layerInHome(home, sim.port(), installApplicationProxy, paneFetchTimeoutMs, options);
}

} // namespace nubivista::platform::testing
