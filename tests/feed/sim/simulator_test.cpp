// The radar simulator as the program and the tests meet it over loopback:
// the frames and loop lists it publishes and the same-size republish the
// other suites cannot stage by themselves.
#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/sim_clock.h"
#include "feed/sim/storm_model.h"
#include "radar/site_table.h"
#include "sim_fixture.h"

#include <QTimeZone>
#include <set>

namespace nubivista::feed::sim::testing {
namespace {

const QByteArray kLatest = "/radar/images/DS.p19r0/SI.kmkx/latest.gif";

class Faults : public SimFixture {};
class Routes : public SimFixture {};

// Reads a loop list line by the fixed character positions the program uses.
struct ParsedLine {
    QString imagePath;
    QDateTime time;
};
std::optional<ParsedLine> parseLoopLine(const QString& line, bool stormTotal) {
    const qsizetype at = line.indexOf(QStringLiteral("images/"));
    if (at < 0) {
        return std::nullopt;
    }
    const QString path = line.mid(at);
    if (path.size() != (stormTotal ? 71 : 49)) {
        return std::nullopt;
    }
    bool ok[5] = {};
    const int year = path.mid(27, 4).toInt(&ok[0]);
    const int month = path.mid(31, 2).toInt(&ok[1]);
    const int day = path.mid(33, 2).toInt(&ok[2]);
    const int hour = path.mid(39, 2).toInt(&ok[3]);
    const int minute = path.mid(41, 2).toInt(&ok[4]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool fieldOk) { return fieldOk; })) {
        return std::nullopt;
    }
    return ParsedLine{path, QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC)};
}

TEST_F(Routes, LoopListHoldsTheLastTenFramesAtFixedPositions) {
    for (const Product& product : kProducts) {
        const QByteArray code = product.code.data();
        const WireReply list = request("/radar/loopdata/" + code + "/kmkx.txt");
        ASSERT_EQ(list.status, 200) << code.constData();
        ASSERT_TRUE(list.body.endsWith('\n'));
        EXPECT_FALSE(list.body.contains('\r'));
        const QStringList lines =
            QString::fromLatin1(list.body).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 10);
        QDateTime expected(QDate(2026, 6, 12), QTime(13, 10), Qt::UTC);
        for (const QString& line : lines) {
            const std::optional<ParsedLine> parsed = parseLoopLine(line, code == "DS.80stp");
            ASSERT_TRUE(parsed.has_value()) << line.toStdString();
            EXPECT_EQ(parsed->time, expected) << line.toStdString();
            EXPECT_TRUE(parsed->imagePath.startsWith(QStringLiteral("images/") +
                                                     QString::fromLatin1(code) +
                                                     QStringLiteral("/SI.kmkx/")));
            // The program fetches "http://weather.noaa.gov/radar/" + the path. Every
            // frame of one product, the newest of the others (drawing takes time).
            if (code == "DS.p19r0" || &line == &lines.last()) {
                const WireReply image = request("/radar/" + parsed->imagePath.toLatin1(), {}, "GET",
                                                "weather.noaa.gov");
                ASSERT_EQ(image.status, 200) << line.toStdString();
                EXPECT_EQ(image.header("last-modified"),
                          expected.toString(QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
                              .toLatin1());
                EXPECT_EQ(decode(image.body).size(), QSize(600, 550));
            }
            expected = expected.addSecs(300);
        }
    }
}

TEST_F(Faults, RepublishGivesNewerTimeWithTheSameSize) {
    const WireReply current = request(kLatest);
    admin("/_sim/fault?name=republish&match=SI.kmkx");
    admin("/_sim/fault?name=404&match=/never/"); // a fault of another kind leaves it set
    admin("/_sim/advance?frames=1");
    const WireReply next = request(kLatest);
    EXPECT_EQ(next.header("last-modified"), "Fri, 12 Jun 2026 14:00:00 GMT");
    EXPECT_EQ(current.header("last-modified"), "Fri, 12 Jun 2026 13:55:00 GMT");
    EXPECT_EQ(next.contentLength(), current.contentLength());
    // Once cleared, the real new frame (a different size) is served.
    admin("/_sim/fault?name=none");
    EXPECT_NE(request(kLatest).contentLength(), current.contentLength());
    // Started without --admin, as the program's demo is, nobody can set a fault.
    server->service().setAdminPaths(false);
    EXPECT_EQ(request("/_sim/fault?name=hang").status, 404);
}

TEST(FrameImages, ConsecutiveFramesNeverShareASize) {
    const Site site = *findSite(QStringLiteral("pgua"));
    for (const Product& product : kProducts) {
        qsizetype previous = -1;
        for (qint64 index = 5000000; index < 5000003; ++index) {
            const QByteArray gif = frameGif(site, product, index * 300, index);
            ASSERT_FALSE(gif.isEmpty());
            EXPECT_NE(gif.size(), previous) << product.code.data() << " frame " << index;
            EXPECT_EQ(gif.size() % 2, index % 2);
            EXPECT_EQ(gif.capacity(), gif.size()); // what the frame cache counts
            EXPECT_FALSE(QImage::fromData(gif, "GIF").isNull());
            previous = gif.size();
        }
    }
}

} // namespace
} // namespace nubivista::feed::sim::testing

namespace nubivista::feed::sim::testing {

// Frames due before 1970 too, and each radar's weather: 16 to 23 storms.
TEST(SimWeather, FramesComeWhenDueAndEachRadarHasItsStorms) {
    const QDateTime epoch(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (const qint64 start : {-601, -600, -599, -300, -1, 0, 1, 299, 300}) {
        const SimClock stopped(epoch.addSecs(start), 0.0, 300);
        const qint64 frame = stopped.newestFrameIndex();
        EXPECT_LE(stopped.frameSeconds(frame), start) << start;
        EXPECT_GT(stopped.frameSeconds(frame + 1), start) << start;
    }
    std::set<std::size_t> counts;
    for (const radar::SiteRow& site : radar::SiteTable())
        counts.insert(StormModel(QString(site.code)).cellsAt(0).size());
    EXPECT_EQ(*counts.begin(), 16u);
    EXPECT_EQ(*counts.rbegin(), 23u);
}

} // namespace nubivista::feed::sim::testing
