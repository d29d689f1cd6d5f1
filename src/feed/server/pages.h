#pragma once
// The address grammar's pages, frame names and loop lists, as every source
// serves them.

#include "radar/products.h"
#include "radar/site_table.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace nubivista::feed::server {

using Product = radar::RadarProductCode;
using Site = radar::SiteRow;

// Name of a published frame, placing the UTC date at fixed characters of the image
// path: "sn_20260612_at_135500.gif" (25 characters) or, for storm total rainfall,
// "sn_20260612_at_135500_storm_total_precip_r0.gif" (47 characters).
QString frameName(const Product& product, qint64 frameSeconds);

// The frame time a name stands for; empty when the name is not one this product's
// frames carry.
std::optional<qint64> parseFrameName(const Product& product, const QString& name);

// "images/DS.p19r0/SI.kmkx/sn_20260612_at_135500.gif": relative to "/radar/".
QString imagePath(const Product& product, const Site& site, qint64 frameSeconds);

struct LoopListOptions {
    bool crlf = false;      // CR LF line ends instead of LF
    bool nineLines = false; // drop the oldest line
    bool badDate = false;   // a non-numeric year in every line
};

// The frames, oldest first, one image path per line.
QByteArray loopList(const Product& product, const Site& site,
                    const std::vector<qint64>& frameSeconds, const LoopListOptions& options = {});

QByteArray latestPageHtml(const Product& product, const Site& site);
QByteArray loopPageHtml(const Product& product, const Site& site);

} // namespace nubivista::feed::server
