// make-sample-set --out <folder> [gif ...]: writes the sample loop images and
// their set record, or, with GIF files given, a set of those files.
#include "feed/sim/frame_renderer.h"
#include "sample_set.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the sample set (latest1.gif .. latest11.gif, CurrSetRec.sis)."));
    parser.addHelpOption();
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Target folder."),
                                       QStringLiteral("folder"));
    const QCommandLineOption boundariesOption(
        QStringLiteral("boundaries"),
        QStringLiteral("The US boundary lines the maps are drawn from."), QStringLiteral("file"));
    parser.addOption(outOption);
    parser.addOption(boundariesOption);
    parser.addPositionalArgument(
        QStringLiteral("gif"),
        QStringLiteral("Instead of the drawn sample, these 2 to 20 GIF files, oldest first."),
        QStringLiteral("[gif ...]"));
    parser.process(app);
    if (!parser.isSet(outOption)) {
        std::fprintf(stderr, "make-sample-set: --out <folder> is required\n");
        return 2;
    }
    if (parser.isSet(boundariesOption))
        nubivista::feed::sim::loadBasemap(parser.value(boundariesOption));
    const QStringList gifs = parser.positionalArguments();
    const samplegen::SampleSetOutcome outcome =
        gifs.isEmpty() ? samplegen::writeSampleSet(parser.value(outOption))
                       : samplegen::writeSetFromGifs(parser.value(outOption), gifs);
    if (!outcome.ok) {
        std::fprintf(stderr, "make-sample-set: %s\n", qPrintable(outcome.error));
        return 1;
    }
    return 0;
}
