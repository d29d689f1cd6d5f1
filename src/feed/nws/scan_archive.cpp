#include "feed/nws/scan_archive.h"

#include <algorithm>

namespace nubivista::feed::nws {

bool ScanArchive::add(Scan scan) {
    if (!scan.time.isValid() || !scan.product || at(scan.time) != nullptr)
        return false;
    const auto place =
        std::upper_bound(scans_.begin(), scans_.end(), scan.time,
                         [](const QDateTime& t, const Scan& s) { return t < s.time; });
    if (place == scans_.end())
        scan.sequence = scans_.empty() ? 1 : scans_.back().sequence + 1;
    else
        scan.sequence = place->sequence + 1; // an older scan, filled in for the loop
    scans_.insert(place, std::move(scan));
    if (scans_.size() > kKept)
        scans_.erase(scans_.begin(), scans_.begin() + std::ptrdiff_t(scans_.size() - kKept));
    return true;
}

std::vector<Scan> ScanArchive::newest(std::size_t count) const {
    std::vector<Scan> list(scans_.rbegin(),
                           scans_.rbegin() + std::ptrdiff_t(std::min(count, scans_.size())));
    return list;
}

const Scan* ScanArchive::at(const QDateTime& time) const {
    for (const Scan& scan : scans_)
        if (scan.time == time)
            return &scan;
    return nullptr;
}

const Scan* ScanArchive::nearest(const QDateTime& time, qint64 withinSeconds) const {
    if (!time.isValid())
        return nullptr;
    const Scan* found = nullptr;
    qint64 best = withinSeconds;
    for (const Scan& scan : scans_) {
        const qint64 apart = std::abs(scan.time.secsTo(time));
        if (apart <= best) {
            best = apart;
            found = &scan;
        }
    }
    return found;
}

} // namespace nubivista::feed::nws
