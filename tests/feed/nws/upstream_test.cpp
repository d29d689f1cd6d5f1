// The live source's upstream listings, read tolerantly.
#include "feed/nws/listings.h"
#include "feed/nws/upstream_paths.h"
#include "radar/products.h"

#include <gtest/gtest.h>

using namespace nubivista::feed::nws;

TEST(Upstream, TheProductTreeIndexGivesItsFilesWithTimesInEitherDateForm) {
    const QByteArray html =
        R"(<html><body><h1>Index of /SL.us008001/DF.of/DC.radar/DS.p94r0/SI.kmkx</h1>
<pre><a href="?C=N;O=D">Name</a>  <a href="?C=M;O=A">Last modified</a>  <a href="?C=S;O=A">Size</a>
<a href="/SL.us008001/DF.of/DC.radar/DS.p94r0/">Parent Directory</a>                                  -
<a href="sn.0249">sn.0249</a>            08-Dec-2026 04:58   25K
<a href="sn.0250">sn.0250</a>            08-Dec-2026 05:03   26K
<a href="sn.0000">sn.0000</a>            2026-12-08 05:08   26K
<a href="sn.last">sn.last</a>            08-Dec-2026 05:08   26K
<a href="sn.0001">sn.0001</a>            garbled   26K
</pre></body></html>)";
    std::vector<ListingEntry> entries = parseProductTreeIndex(html);
    ASSERT_EQ(entries.size(), 4u) << "sn.last and other links are left out";
    EXPECT_EQ(entries[2].modified, QDateTime(QDate(2026, 12, 8), QTime(5, 8), Qt::UTC));
    EXPECT_FALSE(entries[3].modified.isValid());
    // The files wrap from sn.0250 to sn.0000: time orders them, not names.
    entries.pop_back();
    const std::vector<ListingEntry> newest = newestEntries(entries, 2);
    ASSERT_EQ(newest.size(), 2u);
    EXPECT_EQ(newest[0].name, QStringLiteral("sn.0000"));
    EXPECT_EQ(newest[1].name, QStringLiteral("sn.0250"));
    EXPECT_TRUE(parseProductTreeIndex("<html>403 Forbidden</html>").empty());
}

TEST(Upstream, TheArchiveListingGivesItsKeysAndSaysWhenItIsCutShort) {
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<ListBucketResult xmlns="http://s3.amazonaws.com/doc/2006-03-01/">
  <Name>unidata-nexrad-level3</Name><Prefix>MKX_N0Q_2026_12_08</Prefix><KeyCount>2</KeyCount>
  <IsTruncated>true</IsTruncated><NextContinuationToken>abc=</NextContinuationToken>
  <Contents><Key>MKX_N0Q_2026_12_08_05_25_40</Key><LastModified>2026-12-08T05:27:01.000Z</LastModified><Size>26112</Size></Contents>
  <Contents><Key>MKX_N0Q_2026_12_08_05_30_12</Key><LastModified>2026-12-08T05:31:40.000Z</LastModified><Size>26540</Size></Contents>
</ListBucketResult>)";
    const ArchiveListing listing = parseArchiveListing(xml);
    ASSERT_EQ(listing.keys.size(), 2u);
    EXPECT_EQ(listing.keys[1].name, QStringLiteral("MKX_N0Q_2026_12_08_05_30_12"));
    EXPECT_TRUE(listing.truncated);
    EXPECT_EQ(listing.continuationToken, QStringLiteral("abc="));
    EXPECT_EQ(newestEntries(listing.keys, 1)[0].name,
              QStringLiteral("MKX_N0Q_2026_12_08_05_30_12"));
    // Damage keeps what came before it; nothing at all gives nothing.
    EXPECT_EQ(parseArchiveListing(xml.left(xml.indexOf("</Contents>") + 11)).keys.size(), 1u);
    EXPECT_TRUE(parseArchiveListing("<Error><Code>AccessDenied</Code></Error>").keys.empty());
}
