#include "feed/nws/listings.h"

#include "feed/nws/upstream_paths.h"

#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>

namespace nubivista::feed::nws {

namespace {

QDateTime indexTime(const QString& text) {
    // "08-Dec-2026 05:12" in English month names, or "2026-12-08 05:12".
    for (const char* format : {"dd-MMM-yyyy HH:mm", "yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss"}) {
        QDateTime time = QLocale::c().toDateTime(text, QLatin1String(format));
        if (time.isValid()) {
            time.setTimeSpec(Qt::UTC);
            return time;
        }
    }
    return {};
}

} // namespace

std::vector<ListingEntry> parseProductTreeIndex(const QByteArray& html) {
    static const QRegularExpression line(
        QStringLiteral("<a href=\"(sn\\.\\d{4})\">[^<]*</a>\\s*"
                       "(\\d{2}-[A-Za-z]{3}-\\d{4} \\d{2}:\\d{2}|\\d{4}-\\d{2}-\\d{2} "
                       "\\d{2}:\\d{2}(?::\\d{2})?)?"));
    std::vector<ListingEntry> entries;
    auto matches = line.globalMatch(QString::fromLatin1(html));
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        entries.push_back({m.captured(1), indexTime(m.captured(2))});
    }
    return entries;
}

ArchiveListing parseArchiveListing(const QByteArray& xml) {
    ArchiveListing listing;
    QXmlStreamReader reader(xml);
    ListingEntry entry;
    bool inContents = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            if (name == QLatin1String("Contents")) {
                inContents = true;
                entry = {};
            } else if (inContents && name == QLatin1String("Key")) {
                entry.name = reader.readElementText().trimmed();
            } else if (inContents && name == QLatin1String("LastModified")) {
                entry.modified =
                    QDateTime::fromString(reader.readElementText().trimmed(), Qt::ISODate);
            } else if (name == QLatin1String("IsTruncated")) {
                listing.truncated = reader.readElementText().trimmed() == QLatin1String("true");
            } else if (name == QLatin1String("NextContinuationToken")) {
                listing.continuationToken = reader.readElementText().trimmed();
            }
        } else if (reader.isEndElement() && reader.name() == QLatin1String("Contents")) {
            inContents = false;
            if (!entry.name.isEmpty())
                listing.keys.push_back(entry);
        }
    }
    // A damaged listing keeps what was read before the damage.
    return listing;
}

std::vector<ListingEntry> newestEntries(std::vector<ListingEntry> entries, std::size_t count) {
    const bool timed = std::all_of(entries.begin(), entries.end(),
                                   [](const ListingEntry& e) { return e.modified.isValid(); });
    std::stable_sort(entries.begin(), entries.end(),
                     [timed](const ListingEntry& a, const ListingEntry& b) {
                         return timed ? a.modified > b.modified : a.name > b.name;
                     });
    if (entries.size() > count)
        entries.resize(count);
    return entries;
}

std::vector<QString> newestArchiveKeys(const std::vector<ListingEntry>& keys, std::size_t count) {
    std::vector<std::pair<QDateTime, QString>> scans;
    for (const ListingEntry& key : keys)
        if (const std::optional<QDateTime> time = archiveKeyTime(key.name))
            scans.emplace_back(*time, key.name);
    std::stable_sort(scans.begin(), scans.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<QString> newest;
    for (std::size_t i = 0; i < scans.size() && i < count; ++i)
        newest.push_back(scans[i].second);
    return newest;
}

} // namespace nubivista::feed::nws
