// radar-sim: plays the NWS radar web server on loopback for tests and the demo.
#include "frame_renderer.h"
#include "sim_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("radar-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the NWS radar web server on 127.0.0.1 (see tools/radar-sim/README.md)."));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1; 0 picks a free one."),
        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption intervalOption(QStringLiteral("frame-interval"),
                                            QStringLiteral("Seconds between frames (default 300)."),
                                            QStringLiteral("S"), QStringLiteral("300"));
    const QCommandLineOption startOption(
        QStringLiteral("start-time"),
        QStringLiteral("Simulated UTC time at launch, ISO 8601 (default: now)."),
        QStringLiteral("ISO-UTC"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"), QStringLiteral("Simulated seconds per real second (default 1)."),
        QStringLiteral("F"), QStringLiteral("1"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("One line per request on stderr."));
    // The build puts the boundary file beside the program, one folder over.
    const QCommandLineOption boundariesOption(
        QStringLiteral("boundaries"),
        QStringLiteral("The US boundary lines the maps are drawn from."), QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/us-boundaries.bin"));
    parser.addOptions(
        {portOption, intervalOption, startOption, speedOption, logOption, boundariesOption});
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
        if (start.isValid() && start.timeSpec() == Qt::LocalTime) {
            start.setTimeSpec(Qt::UTC); // a time without zone is taken as UTC
        }
    }
    if (!portOk || port > 65535 || !intervalOk || interval < 1 || !speedOk || speed < 0 ||
        !start.isValid()) {
        std::fprintf(stderr, "radar-sim: bad arguments (see --help)\n");
        return 2;
    }

    radarsim::loadBasemap(parser.value(boundariesOption));
    radarsim::SimServer server(start.toUTC(), speed, interval);
    server.setRequestLog(parser.isSet(logOption));
    const quint16 bound = server.listenOnLoopback(static_cast<quint16>(port));
    if (bound == 0) {
        std::fprintf(stderr, "radar-sim: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("radar-sim listening on http://127.0.0.1:%u/\n", static_cast<unsigned>(bound));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
