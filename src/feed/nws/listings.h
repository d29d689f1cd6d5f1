#pragma once
// The two upstreams' listings, read tolerantly: the product tree's index
// page and the cloud archive's ListBucketResult. Their times only order the
// files; a scan's time is always taken from the product itself.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace nubivista::feed::nws {

struct ListingEntry {
    QString name;       // "sn.0117", or an archive key
    QDateTime modified; // UTC; invalid when the listing gave none
};

// An Apache-style index: one line per file, such as
// <a href="sn.0117">sn.0117</a>     08-Dec-2026 05:12   26K
// (ISO dates, 2026-12-08 05:12, are read too). Only sn.NNNN files count;
// sn.last, the newest under another name, is left out.
std::vector<ListingEntry> parseProductTreeIndex(const QByteArray& html);

struct ArchiveListing {
    std::vector<ListingEntry> keys;
    bool truncated = false;
    QString continuationToken;
};

// <ListBucketResult> with <Contents><Key>..</Key><LastModified>..</LastModified>.
ArchiveListing parseArchiveListing(const QByteArray& xml);

// The newest count entries, newest first, by their time when every entry has
// one, else by name.
std::vector<ListingEntry> newestEntries(std::vector<ListingEntry> entries, std::size_t count);

// The archive's keys of the newest count scans, newest first, by the scan
// time each key's name carries ("LSX_N0Q_2026_12_08_05_30_12"); the upload
// time says nothing of the scan, since an old scan may be uploaded again.
// Keys of any other form are no scan and are left out.
std::vector<QString> newestArchiveKeys(const std::vector<ListingEntry>& keys, std::size_t count);

} // namespace nubivista::feed::nws
