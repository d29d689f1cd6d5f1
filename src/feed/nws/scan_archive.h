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

    // Keeps the scan unless one of its time is already kept. True when it was new.
    bool add(Scan scan);

    // Newest first, at most count.
    std::vector<Scan> newest(std::size_t count = kKept) const;
    // The scan served as the latest, however old: a radar that stops leaves
    // its last picture standing under its own time, and the program keeps
    // watching for the next.
    const Scan* latest() const { return scans_.empty() ? nullptr : &scans_.back(); }
    const Scan* at(const QDateTime& time) const;
    // The scan nearest time, if one lies within withinSeconds of it.
    const Scan* nearest(const QDateTime& time, qint64 withinSeconds) const;

private:
    std::vector<Scan> scans_; // oldest first
};

} // namespace nubivista::feed::nws
