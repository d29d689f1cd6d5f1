// nubivista-feed: answers the program's radar addresses on loopback. With
// --source sim it plays the simulated storms (tests and the demo).
#include "feed/sim/frame_renderer.h"
#include "feed/sim/sim_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

using namespace nubivista::feed;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nubivista-feed"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers Nubivista's radar addresses on 127.0.0.1 (see src/feed/README.md)."));
    parser.addHelpOption();
    const QCommandLineOption sourceOption(QStringLiteral("source"),
                                          QStringLiteral("Where the pictures come from: sim."),
                                          QStringLiteral("NAME"), QStringLiteral("sim"));
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
    // The build puts the boundary file beside the program.
    const QCommandLineOption boundariesOption(
        QStringLiteral("boundaries"),
        QStringLiteral("The US boundary lines the maps are drawn from."), QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/us-boundaries.bin"));
    parser.addOptions({sourceOption, portOption, intervalOption, startOption, speedOption,
                       logOption, boundariesOption});
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
    if (parser.value(sourceOption) != QLatin1String("sim")) {
        std::fprintf(stderr, "nubivista-feed: unknown source %s (see --help)\n",
                     qPrintable(parser.value(sourceOption)));
        return 2;
    }
    if (!portOk || port > 65535 || !intervalOk || interval < 1 || !speedOk || speed < 0 ||
        !start.isValid()) {
        std::fprintf(stderr, "nubivista-feed: bad arguments (see --help)\n");
        return 2;
    }

    sim::loadBasemap(parser.value(boundariesOption));
    sim::SimServer server(start.toUTC(), speed, interval);
    server.setRequestLog(parser.isSet(logOption));
    const quint16 bound = server.listenOnLoopback(static_cast<quint16>(port));
    if (bound == 0) {
        std::fprintf(stderr, "nubivista-feed: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("nubivista-feed listening on http://127.0.0.1:%u/\n", static_cast<unsigned>(bound));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
