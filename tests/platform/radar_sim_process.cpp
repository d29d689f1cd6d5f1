#include "platform/radar_sim_process.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTimer>

namespace nubivista::platform::testing {

RadarSimProcess::RadarSimProcess() : process_(std::make_unique<QProcess>()) {
    process_->setProgram(QStringLiteral(NUBIVISTA_TOOLS_DIR "/radar-sim"));
    // A long interval: frames change only when a test publishes them.
    process_->setArguments({"--port", "0", "--frame-interval", "300"});
    process_->setProcessChannelMode(QProcess::SeparateChannels);
    process_->start();
    if (!process_->waitForStarted(5000))
        return;
    const QRegularExpression ready(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray output;
    while (process_->waitForReadyRead(10000)) {
        output += process_->readAllStandardOutput();
        const auto match = ready.match(QString::fromLatin1(output));
        if (match.hasMatch()) {
            port_ = match.captured(1).toUShort();
            return;
        }
    }
}

RadarSimProcess::~RadarSimProcess() {
    process_->kill();
    process_->waitForFinished(5000);
}

QNetworkProxy RadarSimProcess::asProxy() const {
    return QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port_);
}

QByteArray RadarSimProcess::get(const QString& pathAndQuery) const {
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(pathAndQuery)));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(10000);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

QDateTime RadarSimProcess::newestFrame() const {
    const QJsonObject state = QJsonDocument::fromJson(get(QStringLiteral("/_sim/state"))).object();
    return QDateTime::fromString(state.value(QLatin1String("newestFrame")).toString(), Qt::ISODate)
        .toUTC();
}

} // namespace nubivista::platform::testing
