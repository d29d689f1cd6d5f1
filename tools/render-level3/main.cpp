// render-level3: draws a NEXRAD Level III product file as the feed's picture
// of its radar, to look at a product or a change of the drawing.
//
//   render-level3 PRODUCT-FILE OUT.gif [--long] [--boundaries FILE]
#include "feed/level3/decode.h"
#include "feed/level3/product_codes.h"
#include "feed/nws/echo_from_product.h"
#include "feed/nws/product_site.h"
#include "feed/picture/basemap.h"
#include "feed/picture/boundaries.h"
#include "feed/picture/frame_composer.h"
#include "radar/site_table.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using namespace nubivista;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws a Level III product as the feed does."));
    parser.addHelpOption();
    const QCommandLineOption longOption(
        QStringLiteral("long"), QStringLiteral("Long-range scale (twice the miles a pixel)."));
    const QCommandLineOption boundariesOption(
        QStringLiteral("boundaries"), QStringLiteral("The boundary line file."),
        QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/us-boundaries.bin"));
    const QCommandLineOption townsOption(
        QStringLiteral("towns"), QStringLiteral("The towns file."), QStringLiteral("FILE"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/towns.bin"));
    parser.addOptions({longOption, boundariesOption, townsOption});
    parser.addPositionalArgument(QStringLiteral("product"), QStringLiteral("Level III file"));
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("GIF to write"));
    parser.process(app);
    if (parser.positionalArguments().size() != 2) {
        std::fprintf(stderr, "usage: render-level3 PRODUCT-FILE OUT.gif [--long]\n");
        return 2;
    }
    QFile in(parser.positionalArguments()[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(in.fileName()));
        return 1;
    }
    const feed::level3::DecodeResult decoded = feed::level3::decodeLevel3(in.readAll());
    if (const auto* error = std::get_if<feed::level3::DecodeError>(&decoded)) {
        std::fprintf(stderr, "%s\n", qPrintable(feed::level3::describe(*error)));
        return 1;
    }
    const auto& product = std::get<feed::level3::Product>(decoded);
    const radar::SiteRow* site = feed::nws::siteOfProduct(product);
    if (site == nullptr) {
        std::fprintf(stderr, "no site stands at %.3f, %.3f (%s)\n", product.description.latitude,
                     product.description.longitude, qPrintable(product.heading.awipsId));
        return 1;
    }
    const bool longRange = parser.isSet(longOption);
    // Products measured in inches are rainfall; the rest reflectivity.
    const auto* info = feed::level3::productCodeInfo(product.description.productCode);
    const bool rainfall = info != nullptr && info->unit == QLatin1String("in");
    feed::picture::BoundaryLines lines;
    auto loaded = feed::picture::loadBoundaries(parser.value(boundariesOption));
    if (auto* found = std::get_if<feed::picture::BoundaryLines>(&loaded))
        lines = std::move(*found);
    else
        std::fprintf(stderr, "no boundaries: %s\n", qPrintable(std::get<QString>(loaded)));
    const feed::picture::FrameTitles titles =
        feed::nws::scanTitles(product, *site, product.heading.awipsId.left(3), longRange);
    const auto frame = feed::picture::composeFrame(
        feed::nws::echoGridFromProduct(product,
                                       rainfall ? feed::picture::EchoKind::Rainfall
                                                : feed::picture::EchoKind::Reflectivity,
                                       longRange),
        feed::picture::basemapLayer(lines, *site, longRange,
                                    feed::picture::townsOrNone(parser.value(townsOption))),
        titles);
    QFile out(parser.positionalArguments()[1]);
    if (!out.open(QIODevice::WriteOnly) || out.write(feed::picture::frameGif(frame, false)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    return 0;
}
