// feed-check: fetches the national map, one site's latest image and its loop list
// through the program's Internet layer, which follows the system proxy setting as
// the program does, and prints what the layer's cache then holds. "scripts/run
// --feed-check" runs it against the demo feed instead of starting the program.
#include "acquisition/platform/internet_layer.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>

using namespace nubivista::platform;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "feed-check: no temporary folder\n");
        return 2;
    }
    InternetLayerOptions options;
    options.cacheFolder = work.filePath(QStringLiteral("cache"));
    InternetLayer layer(options); // set up as the program sets it up, front and all
    std::printf("upstream proxy: %s\n", qPrintable(layer.upstreamProxyDescription()));

    const char* const addresses[] = {
        "http://weather.noaa.gov/radar/national.html",
        "http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/latest.gif",
        "http://weather.noaa.gov/radar/loopdata/DS.p19r0/kmkx.txt",
    };
    int failures = 0;
    for (const char* address : addresses) {
        const QUrl url(QString::fromLatin1(address));
        const QString file = work.filePath(url.fileName());
        const DownloadResult result = layer.downloadToFile(url, file);
        const std::optional<CacheEntry> entry = layer.cacheEntry(url);
        if (!result.ok || !entry) {
            std::printf("FAILED %s: %s\n", address,
                        result.ok ? "not in the cache" : qPrintable(result.error));
            ++failures;
            continue;
        }
        QString what;
        if (url.fileName().endsWith(QLatin1String(".gif"))) {
            const QImage image(file, "GIF");
            what = image.isNull()
                       ? QStringLiteral(", NOT A PICTURE")
                       : QStringLiteral(", %1 x %2 picture").arg(image.width()).arg(image.height());
            failures += image.isNull() ? 1 : 0;
        }
        std::printf("ok %s: %lld bytes, last modified %s%s\n", address,
                    static_cast<long long>(entry->size),
                    qPrintable(entry->lastModifiedUtc.toString(Qt::ISODate)), qPrintable(what));
    }
    return failures == 0 ? 0 : 1;
}
