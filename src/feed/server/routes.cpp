#include "feed/server/routes.h"

#include "feed/server/pages.h"

#include <QRegularExpression>
#include <iterator>

namespace nubivista::feed::server {

std::optional<Route> resolveRoute(const QString& path) {
    if (path == QLatin1String("/radar/national.html"))
        return Route{Route::NationalPage};
    if (path == QLatin1String("/radar/national.gif"))
        return Route{Route::NationalImage};
    static const QRegularExpression kPatterns[] = {
        QRegularExpression(QStringLiteral("^/radar/latest/([^/]+)/si\\.([a-z]{4})\\.shtml$")),
        QRegularExpression(QStringLiteral("^/radar/images/([^/]+)/SI\\.([a-z]{4})/latest\\.gif$")),
        QRegularExpression(QStringLiteral("^/radar/images/([^/]+)/SI\\.([a-z]{4})/([^/]+)$")),
        QRegularExpression(QStringLiteral("^/radar/loop/([^/]+)/si\\.([a-z]{4})\\.shtml$")),
        QRegularExpression(QStringLiteral("^/radar/loopdata/([^/]+)/([a-z]{4})\\.txt$")),
    };
    static const Route::Kind kKinds[] = {Route::LatestPage, Route::LatestImage, Route::FrameImage,
                                         Route::LoopPage, Route::LoopList};
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
        const QRegularExpressionMatch match = kPatterns[i].match(path);
        if (!match.hasMatch())
            continue;
        Route route{kKinds[i], radar::FindSite(match.captured(2)),
                    radar::FindProduct(match.captured(1))};
        if (route.site == nullptr || route.product == nullptr)
            return std::nullopt;
        if (route.kind == Route::FrameImage) {
            const std::optional<qint64> seconds = parseFrameName(*route.product, match.captured(3));
            if (!seconds)
                return std::nullopt;
            route.frameSeconds = *seconds;
        }
        return route;
    }
    return std::nullopt;
}

} // namespace nubivista::feed::server
