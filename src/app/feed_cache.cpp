#include "app/feed_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace nubivista::app {

QString internetCacheRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/internet");
}

QString internetCacheFolder(const QString& root, const acquisition::FeedChoice& choice) {
    QString name;
    switch (choice.source) {
    case acquisition::FeedSource::Live:
        name = QStringLiteral("live");
        break;
    case acquisition::FeedSource::Demo:
        name = QStringLiteral("demo");
        break;
    case acquisition::FeedSource::External: {
        const QByteArray where = QStringLiteral("%1:%2")
                                     .arg(choice.address.host().toLower())
                                     .arg(choice.address.port())
                                     .toUtf8();
        name = QStringLiteral("feed-") +
               QString::fromLatin1(
                   QCryptographicHash::hash(where, QCryptographicHash::Sha256).toHex().left(10));
        break;
    }
    }
    return QDir(root).filePath(name);
}

QByteArray pictureSourceOf(const acquisition::FeedChoice& choice) {
    switch (choice.source) {
    case acquisition::FeedSource::Live:
        return "live";
    case acquisition::FeedSource::Demo:
        return "sim";
    case acquisition::FeedSource::External:
        break;
    }
    return {};
}

platform::InternetLayerOptions internetOptionsFor(const acquisition::FeedChoice& choice,
                                                  const QString& root) {
    platform::InternetLayerOptions options;
    options.cacheFolder = internetCacheFolder(root, choice);
    options.pictureSource = pictureSourceOf(choice);
    return options;
}

void removeSharedCache(const QString& root) {
    // The disk cache's own folders: data<version>/ with the entries and
    // prepared/ with those being written.
    static const QRegularExpression kCacheFolder(QStringLiteral("^(data[0-9]+|prepared)$"));
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (kCacheFolder.match(name).hasMatch())
            QDir(dir.filePath(name)).removeRecursively();
}

} // namespace nubivista::app
