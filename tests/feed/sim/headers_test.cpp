#include "feed/server/http_date.h"
#include "sim_fixture.h"

#include <limits>

namespace nubivista::feed::sim::testing {
namespace {

using server::httpDate;
using server::parseHttpDate;

const QByteArray kLatest = "/radar/images/DS.p19r0/SI.kmkx/latest.gif";

class Headers : public SimFixture {};

TEST_F(Headers, ImageCarriesARealServersHeadersAndAnswersConditionalAndHeadRequests) {
    const WireReply full = request(kLatest);
    ASSERT_EQ(full.status, 200);
    EXPECT_EQ(full.header("last-modified"), "Fri, 12 Jun 2026 13:55:00 GMT");
    EXPECT_EQ(full.header("date"), "Fri, 12 Jun 2026 13:58:00 GMT");
    EXPECT_EQ(full.contentLength(), full.body.size());
    // A stopped clock: one whole interval until the next frame.
    EXPECT_EQ(full.header("cache-control"), "max-age=300");

    const WireReply sameTime =
        request(kLatest, "If-Modified-Since: Fri, 12 Jun 2026 13:55:00 GMT\r\n");
    EXPECT_TRUE(sameTime.status == 304 && sameTime.body.isEmpty());
    const WireReply older =
        request(kLatest, "If-Modified-Since: Fri, 12 Jun 2026 13:54:59 GMT\r\n");
    EXPECT_TRUE(older.status == 200 && older.body == full.body);
    EXPECT_EQ(request(kLatest, "If-None-Match: " + full.header("etag") + "\r\n").status, 304);
    EXPECT_EQ(request(kLatest, "If-None-Match: \"nope\"\r\n").status, 200);

    const WireReply head = request(kLatest, {}, "HEAD");
    EXPECT_TRUE(head.status == 200 && head.body.isEmpty());
    EXPECT_EQ(head.contentLength(), full.body.size());
}

TEST_F(Headers, AdvancePublishesNewerFramesOfAnotherSize) {
    const WireReply before = request(kLatest);
    QByteArray previousSize = before.header("content-length");
    for (int step = 1; step <= 3; ++step) {
        admin("/_sim/advance?frames=1");
        const WireReply after = request(kLatest);
        const std::optional<qint64> time = parseHttpDate(after.header("last-modified"));
        ASSERT_TRUE(time.has_value());
        EXPECT_EQ(*time, *parseHttpDate(before.header("last-modified")) + 300 * step);
        EXPECT_NE(after.header("content-length"), previousSize) << "step " << step;
        previousSize = after.header("content-length");
        // The condition the browser sends with its cached copy no longer holds.
        EXPECT_EQ(request(kLatest, "If-Modified-Since: " + before.header("last-modified") + "\r\n")
                      .status,
                  200);
    }
    admin("/_sim/advance?frames=5");
    EXPECT_EQ(request(kLatest).header("last-modified"), "Fri, 12 Jun 2026 14:35:00 GMT");
    EXPECT_EQ(request("/_sim/advance?frames=-2").status, 400);
}

TEST(HttpDate, RoundTripsAndRejectsOtherForms) {
    EXPECT_EQ(httpDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(parseHttpDate("Fri, 12 Jun 2026 13:55:00 GMT"), 1781272500);
    EXPECT_FALSE(parseHttpDate("Friday, 12-Jun-26 13:55:00 GMT").has_value());
    EXPECT_FALSE(parseHttpDate("").has_value());
}

TEST(SimClockTest, FramesAlignToTheIntervalAndAdvanceSteps) {
    const auto utc = [](int hour, int minute, int second) {
        return QDateTime(QDate(2026, 6, 12), QTime(hour, minute, second), Qt::UTC)
            .toSecsSinceEpoch();
    };
    SimClock clock(QDateTime::fromSecsSinceEpoch(utc(13, 58, 30), Qt::UTC), 0.0, 360);
    EXPECT_EQ(clock.frameSeconds(clock.newestFrameIndex()), utc(13, 54, 0));
    clock.advanceFrames(2);
    EXPECT_EQ(clock.frameSeconds(clock.newestFrameIndex()), utc(14, 6, 0));
    EXPECT_EQ(clock.nowSeconds(), utc(14, 10, 30));
}

TEST(SimClockTest, SpeedScalesRealTime) {
    SimClock fast(QDateTime(QDate(2026, 6, 12), QTime(13, 0), Qt::UTC), 3000.0, 300);
    const qint64 first = fast.newestFrameIndex();
    // At 3000x, one 300 s frame is a tenth of a real second away.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fast.newestFrameIndex() > first; }, 5000));
    EXPECT_EQ(fast.realSecondsToNextFrame(), 1);
    // A crawling clock puts the next frame far off, but still at a positive age.
    const SimClock crawling(QDateTime(QDate(2026, 6, 12), QTime(13, 0), Qt::UTC), 1e-9, 300);
    EXPECT_EQ(crawling.realSecondsToNextFrame(), std::numeric_limits<int>::max());
}

} // namespace
} // namespace nubivista::feed::sim::testing
