#pragma once
// The warnings of a radar's picture as the feed serves them
// (/warnings/<site>.json): each storm-based warning in force whose polygon
// crosses the long-range picture, with its motion and threats.
#include "feed/nws/alerts.h"
#include "radar/site_table.h"

#include <QByteArray>
#include <QDateTime>
#include <span>

namespace nubivista::feed::nws {

// source: where the warnings came from: "api" (the weather service) or "sim".
QByteArray warningsJson(const radar::SiteRow& site, const QDateTime& fetched,
                        std::span<const Warning> warnings, const QString& source);

} // namespace nubivista::feed::nws
