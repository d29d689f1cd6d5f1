#include "app/own_feed.h"

#include "core/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace nubivista::app {

QString ownFeedProgram() {
    return QDir(core::appDirFrom(QCoreApplication::applicationDirPath()))
        .filePath(QStringLiteral("nubivista-feed"));
}

QNetworkProxy feedProxyAt(const QUrl& address) {
    return QNetworkProxy(QNetworkProxy::HttpProxy, address.host(),
                         static_cast<quint16>(address.port()));
}

std::unique_ptr<acquisition::FeedProcess> startOwnFeed(const acquisition::FeedChoice& choice,
                                                       platform::InternetLayer& internet,
                                                       const QString& program,
                                                       const QStringList& extraArguments) {
    const bool demo = choice.source == acquisition::FeedSource::Demo;
    const QStringList arguments =
        QStringList{QStringLiteral("--source"),
                    demo ? QStringLiteral("sim") : QStringLiteral("live")} +
        extraArguments;
    auto feed = std::make_unique<acquisition::FeedProcess>(program, arguments);
    internet.setFeedDown();
    QObject::connect(feed.get(), &acquisition::FeedProcess::ready, &internet,
                     [&internet, demo](const QUrl& address) {
                         internet.setFeedProxy(feedProxyAt(address));
                         std::fprintf(stderr, "nubivista: feed ready at %s (source %s)\n",
                                      qPrintable(address.toString()), demo ? "sim" : "live");
                     });
    const acquisition::FeedProcess* watched = feed.get();
    QObject::connect(feed.get(), &acquisition::FeedProcess::down, &internet, [&internet, watched] {
        internet.setFeedDown();
        std::fprintf(stderr, "nubivista: the feed ended; it starts again in %d ms\n",
                     watched->restartPauseMs());
    });
    QObject::connect(feed.get(), &acquisition::FeedProcess::cannotStart, &internet,
                     [](const QString& problem) {
                         std::fprintf(stderr, "nubivista: %s\n", qPrintable(problem));
                     });
    feed->start();
    return feed;
}

} // namespace nubivista::app
