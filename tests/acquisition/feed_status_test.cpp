// What the status bar says of a stale image, from its age, the refresh
// interval and the feed's status page; and where that page is asked for.
#include "acquisition/feed_status.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

namespace nubivista::acquisition {
namespace {

const QByteArray kStatus = R"json({"version": "1.4.0", "source": "live", "uptimeSeconds": 1234,
  "products": [
    {"site": "kmkx", "product": "DS.p19r0", "failing": false},
    {"site": "klsx", "product": "DS.p19r0", "from": "tree", "newestScanAgeSeconds": 2100,
     "lastAnswer": {"upstream": "tree", "status": 503, "reason": "the tree answered 503"},
     "summary": "KLSX has published nothing since 18:59 UTC (the tree answered 503)"},
    {"site": "klsx", "product": "DS.p37cr", "summary": "composite"}]})json";

TEST(FeedStatus, StaleImageTextFollowsTheAgeAndTheFeedsEntryForTheProcess) {
    const QString reason =
        QStringLiteral("KLSX has published nothing since 18:59 UTC (the tree answered 503)");
    struct Row {
        std::int64_t ageSeconds;
        int interval;
        QByteArray status;
        const char* site;
        const char* product;
        QString expected;
    };
    const Row rows[] = {
        {720, 6, kStatus, "klsx", "DS.p19r0", {}}, // at twice the interval
        {721, 6, kStatus, "klsx", "DS.p19r0", "Newest image 12 min old: " + reason},
        {2100, 6, kStatus, "klsx", "DS.p19r0", "Newest image 35 min old: " + reason},
        {2100, 20, kStatus, "klsx", "DS.p19r0", {}},                       // 35 min is under 40
        {2100, 6, kStatus, "kmkx", "DS.p19r0", "Newest image 35 min old"}, // no summary
        {2100, 6, kStatus, "klsx", "DS.p20-r", "Newest image 35 min old"}, // other product
        {2100, 6, kStatus, "klsx", "ds.p19r0", "Newest image 35 min old"}, // product's case
        {2100, 6, R"({"products": {"site": "klsx"}} ]")", "klsx", "DS.p19r0",
         "Newest image 35 min old"},                                  // malformed
        {2100, 6, {}, "klsx", "DS.p19r0", "Newest image 35 min old"}, // request failed
    };
    for (const Row& row : rows)
        EXPECT_EQ(staleImageText(row.ageSeconds, row.interval,
                                 feedSummary(row.status, QString::fromLatin1(row.site),
                                             QString::fromLatin1(row.product))),
                  row.expected)
            << row.ageSeconds << ' ' << row.site << ' ' << row.product;
    // An address the layer would not send to the feed asks the default radar host.
    EXPECT_EQ(feedPageAddress("http://example.com/radar/", QLatin1String(kFeedStatusJsonPath)),
              QUrl("http://weather.noaa.gov/status.json"));
}

} // namespace
} // namespace nubivista::acquisition
