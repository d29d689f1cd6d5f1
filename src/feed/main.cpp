// nubivista-feed: answers the program's radar addresses on loopback, from
// today's NEXRAD Level III products (--source live) or from the simulated
// storms (--source sim: tests and the demo).
#include "feed/nws/live_service.h"
#include "feed/server/feed_server.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/sim_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkProxyFactory>
#include <cstdio>
#include <memory>

using namespace nubivista::feed;

int main(int argc, char** argv) {
    // The feed reads nothing on stdin; a pipe left open by whoever started it
    // must never hold up its one thread.
    if (std::freopen("/dev/null", "r", stdin) == nullptr)
        std::fclose(stdin);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nubivista-feed"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers Nubivista's radar addresses on 127.0.0.1 (see src/feed/README.md)."));
    parser.addHelpOption();
    const QCommandLineOption sourceOption(
        QStringLiteral("source"),
        QStringLiteral("Where the pictures come from: live (the weather service) or sim."),
        QStringLiteral("NAME"), QStringLiteral("live"));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1; 0 picks a free one."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption intervalOption(
        QStringLiteral("frame-interval"),
        QStringLiteral("sim: seconds between frames (default 300)."), QStringLiteral("S"),
        QStringLiteral("300"));
    const QCommandLineOption startOption(
        QStringLiteral("start-time"),
        QStringLiteral("sim: simulated UTC time at launch, ISO 8601 (default: now)."),
        QStringLiteral("ISO-UTC"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"),
        QStringLiteral("sim: simulated seconds per real second (default 1)."), QStringLiteral("F"),
        QStringLiteral("1"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("One line per request on stderr."));
    const QCommandLineOption adminOption(
        QStringLiteral("admin"),
        QStringLiteral("sim: answer the /_sim/ paths that set faults and move the clock."));
    // The build puts the boundary file beside the program.
    const QCommandLineOption boundariesOption(
        QStringLiteral("boundaries"),
        QStringLiteral("The US boundary lines the maps are drawn from."), QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/us-boundaries.bin"));
    const QCommandLineOption townsOption(
        QStringLiteral("towns"), QStringLiteral("The towns the pictures name."),
        QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + picture::kTownsFileName);
    const QCommandLineOption nwsBaseOption(
        QStringLiteral("nws-base"), QStringLiteral("live: the weather service's product tree."),
        QStringLiteral("URL"), QStringLiteral("https://tgftp.nws.noaa.gov/"));
    const QCommandLineOption archiveBaseOption(
        QStringLiteral("archive-base"),
        QStringLiteral("live: the cloud archive of Level III products."), QStringLiteral("URL"),
        QStringLiteral("https://unidata-nexrad-level3.s3.amazonaws.com/"));
    const QCommandLineOption alertsBaseOption(
        QStringLiteral("alerts-base"),
        QStringLiteral("live: the weather service's API, whose alerts give the warnings."),
        QStringLiteral("URL"), QStringLiteral("https://api.weather.gov/"));
    const QCommandLineOption statesOption(
        QStringLiteral("states"),
        QStringLiteral("live: the state outlines that tell whose warnings to ask for."),
        QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QLatin1Char('/') +
            picture::kStateOutlinesFileName);
    const QCommandLineOption askEveryOption(
        QStringLiteral("ask-every"),
        QStringLiteral("live: shortest seconds between two asks for one product (default 60)."),
        QStringLiteral("S"), QStringLiteral("60"));
    parser.addOptions({sourceOption, portOption, intervalOption, startOption, speedOption,
                       logOption, adminOption, boundariesOption, townsOption, nwsBaseOption,
                       archiveBaseOption, alertsBaseOption, statesOption, askEveryOption});
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    bool intervalOk = false;
    const int interval = parser.value(intervalOption).toInt(&intervalOk);
    bool speedOk = false;
    const double speed = parser.value(speedOption).toDouble(&speedOk);
    QDateTime start = QDateTime::currentDateTimeUtc();
    if (parser.isSet(startOption)) {
        start = QDateTime::fromString(parser.value(startOption), Qt::ISODate);
        if (start.isValid() && start.timeSpec() == Qt::LocalTime)
            start.setTimeSpec(Qt::UTC); // a time without zone is taken as UTC
    }
    const QString source = parser.value(sourceOption);
    if (source != QLatin1String("sim") && source != QLatin1String("live")) {
        std::fprintf(stderr, "nubivista-feed: unknown source %s (see --help)\n",
                     qPrintable(parser.value(sourceOption)));
        return 2;
    }
    if (!portOk || port > 65535 || !intervalOk || interval < 1 || !speedOk || speed < 0 ||
        !start.isValid()) {
        std::fprintf(stderr, "nubivista-feed: bad arguments (see --help)\n");
        return 2;
    }

    auto boundaries = picture::loadBoundaries(parser.value(boundariesOption));
    if (auto* error = std::get_if<QString>(&boundaries)) {
        std::fprintf(stderr, "nubivista-feed: %s\n", qPrintable(*error));
        return 1;
    }
    std::unique_ptr<sim::SimServer> simulated;
    std::unique_ptr<nws::Fetcher> fetcher;
    std::unique_ptr<nws::LiveService> live;
    std::unique_ptr<server::FeedServer> front;
    quint16 bound = 0;
    if (source == QLatin1String("sim")) {
        sim::loadBasemap(parser.value(boundariesOption), parser.value(townsOption));
        simulated = std::make_unique<sim::SimServer>(start.toUTC(), speed, interval);
        simulated->setRequestLog(parser.isSet(logOption));
        simulated->service().setAdminPaths(parser.isSet(adminOption));
        bound = simulated->listenOnLoopback(static_cast<quint16>(port));
    } else {
        // The feed's own requests follow the system's proxy settings.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        const QUrl nws(parser.value(nwsBaseOption));
        const QUrl archive(parser.value(archiveBaseOption));
        const QUrl alerts(parser.value(alertsBaseOption));
        bool askOk = false;
        const qint64 askEvery = parser.value(askEveryOption).toLongLong(&askOk);
        if (!askOk || askEvery < 0) {
            std::fprintf(stderr, "nubivista-feed: bad arguments (see --help)\n");
            return 2;
        }
        const auto web = [](const QUrl& url) {
            return url.isValid() && (url.scheme() == QLatin1String("http") ||
                                     url.scheme() == QLatin1String("https"));
        };
        if (!web(nws) || !web(archive) || !web(alerts)) {
            std::fprintf(stderr, "nubivista-feed: bad upstream address (see --help)\n");
            return 2;
        }
        fetcher = std::make_unique<nws::Fetcher>();
        // A fault of the weather service is told once when it starts and once
        // when it clears.
        const auto tell = [](const QString& line) {
            std::fprintf(stderr, "nubivista-feed: %s\n", qPrintable(line));
            std::fflush(stderr);
        };
        live = std::make_unique<nws::LiveService>(
            *fetcher, nws::Upstreams{nws, archive, askEvery, tell},
            std::get<picture::BoundaryLines>(std::move(boundaries)),
            picture::townsOrNone(parser.value(townsOption)));
        live->enableWarnings(nws::AlertsUpstream{alerts, askEvery, tell},
                             picture::stateOutlinesOrNone(parser.value(statesOption)));
        front = std::make_unique<server::FeedServer>(*live);
        front->setRequestLog(parser.isSet(logOption));
        bound = front->listenOnLoopback(static_cast<quint16>(port));
    }
    if (bound == 0) {
        std::fprintf(stderr, "nubivista-feed: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("nubivista-feed listening on http://127.0.0.1:%u/\n", static_cast<unsigned>(bound));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
