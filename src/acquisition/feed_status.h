#pragma once
// What the user is told when a running process's newest image grows old. A
// radar that stops publishing leaves the feed serving its newest good scan, so
// no new image comes and nothing fails; the feed's status page says why. These
// are the widget-free pieces: the image's age, the feed's word on one product,
// the status bar text and the addresses of the feed's status pages.
#include "core/ole_date.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>

namespace nubivista::acquisition {

// The feed's status for programs, and the same for people.
inline constexpr char kFeedStatusJsonPath[] = "/status.json";
inline constexpr char kFeedStatusPagePath[] = "/status";

// Seconds from the newest image's time (UTC) to now; nothing when the image
// time cannot be read.
std::optional<std::int64_t> imageAgeSeconds(core::OleDate newestUtc, const QDateTime& now);

// An image is stale once it is older than twice the refresh interval.
bool imageIsStale(std::int64_t ageSeconds, int refreshIntervalMinutes);

// The "summary" of the status page's entry whose "site" is siteCode (in any
// case) and whose "product" is productCode ("DS.p19r0", case-sensitive), on one
// line. Empty when the page is not JSON, holds no such entry, or the entry no
// summary. Unknown fields are ignored.
QString feedSummary(const QByteArray& statusJson, const QString& siteCode,
                    const QString& productCode);

// When the status page says the weather service did not answer the feed's
// latest ask at all (no network, no name service): why, in the feed's words.
// Nothing when it answered, or the page says nothing of it.
std::optional<QString> weatherServiceUnreachable(const QByteArray& statusJson);

// The status bar's text while the image is stale: "Newest image N min old",
// followed by ": " and the summary when there is one. Empty otherwise.
QString staleImageText(std::int64_t ageSeconds, int refreshIntervalMinutes, const QString& summary);

// The feed's page at path on the host of radarAddress (the process's page):
// the feed answers there, through the Internet layer. When that host is not
// one the layer sends to the feed, the default radar host is used instead,
// so the request never leaves the machine.
QUrl feedPageAddress(const QString& radarAddress, const QString& path);

} // namespace nubivista::acquisition
