#pragma once
// The scans the live source holds of one site and product: the newest ten,
// each under the scan time its product carries, never under another.
#include "feed/level3/product.h"

#include <QDateTime>
#include <memory>
#include <vector>

namespace nubivista::feed::nws {

struct Scan {
    QDateTime time; // the product's volume scan time, UTC
    std::shared_ptr<const level3::Product> product;
    // Differs by one from the next newer scan's when this one was kept, so
    // that a newer scan's picture takes a size of the other parity than the
    // one before it: the program tells a new image by its time and size.
    std::uint64_t sequence = 0;
};

class ScanArchive {
public:
    static constexpr std::size_t kKept = 10;
    // While the upstreams fail, a scan this young is still served as the latest.
    static constexpr qint64 kStaleAfterSeconds = 30 * 60;

    // Keeps the scan unless one of its time is already kept. True when it was new.
    bool add(Scan scan);

    // Newest first, at most count.
    std::vector<Scan> newest(std::size_t count = kKept) const;
    const Scan* latest() const { return scans_.empty() ? nullptr : &scans_.back(); }
    const Scan* at(const QDateTime& time) const;

    // The scan to serve as the latest now: the newest one, unless the upstreams
    // are failing and it is older than kStaleAfterSeconds, when there is none,
    // so that the program's own failure path takes over.
    const Scan* servable(const QDateTime& now, bool upstreamFailing) const;

private:
    std::vector<Scan> scans_; // oldest first
};

} // namespace nubivista::feed::nws
