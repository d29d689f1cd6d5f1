// make-sample-set --out <folder>: writes the sample loop images and their set record.
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
    parser.addOption(outOption);
    parser.process(app);
    if (!parser.isSet(outOption)) {
        std::fprintf(stderr, "make-sample-set: --out <folder> is required\n");
        return 2;
    }
    const samplegen::SampleSetOutcome outcome = samplegen::writeSampleSet(parser.value(outOption));
    if (!outcome.ok) {
        std::fprintf(stderr, "make-sample-set: %s\n", qPrintable(outcome.error));
        return 1;
    }
    return 0;
}
