// The soak: an accelerated day (or the hours given) of the auto-refresh
// process against the radar simulator, with faults. Prints a summary and
// exits non-zero on any violation.
//
//   nubivista_soak [--hours H] [--faults N] [--seed S] [--scale F] [--verbose]
#include "soak/soak_run.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No real home is touched: the run keeps everything in its own folder.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("NubivistaSoak"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption hours(QStringLiteral("hours"), QStringLiteral("Simulated hours."),
                                   QStringLiteral("H"), QStringLiteral("24"));
    const QCommandLineOption faults(QStringLiteral("faults"),
                                    QStringLiteral("At most N faults (default: no limit)."),
                                    QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the fault sequence."),
                                  QStringLiteral("S"), QStringLiteral("20261207"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("Simulated seconds per real second."),
                                   QStringLiteral("F"), QStringLiteral("80"));
    const QCommandLineOption gap(QStringLiteral("fault-gap"),
                                 QStringLiteral("Frames between faults, as MIN-MAX."),
                                 QStringLiteral("MIN-MAX"), QStringLiteral("3-7"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("One line per event on stderr."));
    parser.addOptions({hours, faults, seed, scale, gap, verbose});
    parser.process(app);

    nubivista::soak::SoakOptions options;
    bool ok = true;
    bool each = false;
    options.simulatedHours = parser.value(hours).toDouble(&each);
    ok = ok && each && options.simulatedHours > 0;
    options.maxFaults = parser.value(faults).toInt(&each);
    ok = ok && each;
    options.seed = parser.value(seed).toUInt(&each);
    ok = ok && each;
    options.timeScale = parser.value(scale).toDouble(&each);
    ok = ok && each && options.timeScale >= 1;
    const QStringList gapParts = parser.value(gap).split(QLatin1Char('-'));
    options.minGapFrames = gapParts.value(0).toInt(&each);
    ok = ok && each && options.minGapFrames >= 1;
    options.maxGapFrames = gapParts.value(1).toInt(&each);
    ok = ok && each && options.maxGapFrames >= options.minGapFrames;
    options.verbose = parser.isSet(verbose);
    if (!ok) {
        std::fprintf(stderr, "nubivista_soak: bad arguments (see --help)\n");
        return 2;
    }

    const nubivista::soak::SoakSummary summary = nubivista::soak::runSoak(options);
    std::printf("%s\n", qPrintable(summary.text()));
    std::fflush(stdout);
    return summary.violations.isEmpty() ? 0 : 1;
}
