// The radar simulator as the program and the tests meet it over loopback:
// what a real server sends, the frames and loop lists it publishes, the
// faults it injects and the truth about its storm cells.
#include "feed/server/http_date.h"
#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/storm_model.h"
#include "sim_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace nubivista::feed::sim::testing {
namespace {

using server::httpDate;
using server::parseHttpDate;

const QByteArray kLatest = "/radar/images/DS.p19r0/SI.kmkx/latest.gif";
const QByteArray kList = "/radar/loopdata/DS.p19r0/kmkx.txt";

class Headers : public SimFixture {};
class Faults : public SimFixture {};
class Routes : public SimFixture {};

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

TEST(HttpDate, RoundTripsAndRejectsOtherForms) {
    EXPECT_EQ(httpDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(parseHttpDate("Fri, 12 Jun 2026 13:55:00 GMT"), 1781272500);
    EXPECT_FALSE(parseHttpDate("Friday, 12-Jun-26 13:55:00 GMT").has_value());
    EXPECT_FALSE(parseHttpDate("").has_value());
}

int litPixels(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            lit += qGray(image.pixel(x, y)) > 200 ? 1 : 0;
        }
    }
    return lit;
}

TEST_F(Routes, TimeStripCarriesTheFramesOwnTimeInsideTheCut) {
    EXPECT_EQ(stampText(QDateTime(QDate(2026, 12, 6), QTime(13, 56), Qt::UTC).toSecsSinceEpoch()),
              QStringLiteral("12/06/2026 13:56 UTC"));
    const QImage image = decode(request("/radar/images/DS.p19r0/SI.kmkx/latest.gif").body)
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    const QImage strip = image.copy(395, 0, 142, 10);
    // 20 characters of a 5 x 7 font light a few hundred pixels, not the whole strip,
    // and nothing of them spills into the columns beside it.
    EXPECT_GT(litPixels(strip), 100);
    EXPECT_LT(litPixels(strip), 142 * 10 / 2);
    EXPECT_EQ(litPixels(image.copy(394, 0, 1, 10)), 0);
    EXPECT_EQ(litPixels(image.copy(537, 0, 1, 10)), 0);
    // Frames of different times print different stamps.
    const QImage earlier =
        decode(request("/radar/images/DS.p19r0/SI.kmkx/sn_20260612_at_135000.gif").body)
            .convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(earlier.copy(395, 0, 142, 10), strip);
}

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

TEST_F(Faults, HangHoldsTheConnectionUntilCleared) {
    admin("/_sim/fault?name=hang&match=latest.gif");
    QTcpSocket early;
    early.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(early.waitForConnected(2000));
    early.write("GET " + kLatest + " HTTP/1.1\r\nHost: weather.noaa.gov\r\n\r\n");
    // While a later request waits in vain, the server has long read the early one.
    const WireReply held = request(kLatest, {}, "GET", {}, 200);
    EXPECT_FALSE(held.answered);
    EXPECT_FALSE(held.closed);
    EXPECT_EQ(early.bytesAvailable(), 0);

    // Held connections are closed when the faults are cleared.
    admin("/_sim/fault?name=none");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return early.state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_EQ(request(kLatest).status, 200);
}

TEST_F(Faults, TruncateCorruptAndCloseSpoilOnlyWhatTheyName) {
    const qint64 fullSize = request(kLatest).body.size();
    admin("/_sim/fault?name=truncate&match=SI.kmkx");
    const WireReply cut = request(kLatest);
    EXPECT_TRUE(cut.status == 200 && cut.closed);
    EXPECT_EQ(cut.contentLength(), fullSize);
    EXPECT_EQ(cut.body.size(), fullSize / 2);

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=corrupt");
    const WireReply corrupt = request(kLatest);
    EXPECT_TRUE(corrupt.body.startsWith("GIF89a"));
    EXPECT_TRUE(decode(corrupt.body).isNull());
    // Pages and lists are not images and stay as they are.
    EXPECT_EQ(request(kList).body.count('\n'), 10);

    // The default map host looks unreachable; the regional hosts still answer.
    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=close&match=national&host=Weather.NOAA.gov");
    const WireReply dropped = request("/radar/national.html", {}, "GET", "weather.noaa.gov");
    EXPECT_TRUE(!dropped.answered && dropped.closed);
    EXPECT_EQ(request("/radar/national.html", {}, "GET", "www.srh.noaa.gov").status, 200);
    EXPECT_EQ(request(kLatest, {}, "GET", "weather.noaa.gov").status, 200);
}

TEST_F(Faults, RepublishGivesNewerTimeWithTheSameSize) {
    const WireReply current = request(kLatest);
    admin("/_sim/fault?name=republish&match=SI.kmkx");
    admin("/_sim/advance?frames=1");
    const WireReply next = request(kLatest);
    EXPECT_EQ(next.header("last-modified"), "Fri, 12 Jun 2026 14:00:00 GMT");
    EXPECT_EQ(current.header("last-modified"), "Fri, 12 Jun 2026 13:55:00 GMT");
    EXPECT_EQ(next.contentLength(), current.contentLength());
    // Once cleared, the real new frame (a different size) is served.
    admin("/_sim/fault?name=none");
    EXPECT_NE(request(kLatest).contentLength(), current.contentLength());
}

TEST_F(Faults, LoopListFaults) {
    admin("/_sim/fault?name=crlf");
    QByteArray list = request(kList).body;
    EXPECT_EQ(list.count("\r\n"), 10);
    EXPECT_EQ(list.split('\n').first().size(), 50); // 49 characters and the CR

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=nine-lines");
    list = request(kList).body;
    EXPECT_EQ(list.count('\n'), 9);
    // The oldest line (13:10) goes; the newest stays last.
    EXPECT_TRUE(list.startsWith("images/DS.p19r0/SI.kmkx/sn_20260612_at_131500.gif\n"));
    EXPECT_TRUE(list.endsWith("sn_20260612_at_135500.gif\n"));

    admin("/_sim/fault?name=none");
    admin("/_sim/fault?name=bad-date");
    const QByteArray first = request(kList).body.split('\n').first();
    bool yearIsNumber = true;
    first.mid(27, 4).toInt(&yearIsNumber);
    EXPECT_FALSE(yearIsNumber);
    EXPECT_EQ(first.size(), 49);
}

class Truth : public SimFixture {
protected:
    QJsonObject truth(const QByteArray& site, const QByteArray& product) {
        const WireReply reply = request("/_sim/truth?site=" + site + "&product=" + product);
        EXPECT_EQ(reply.status, 200);
        return QJsonDocument::fromJson(reply.body).object();
    }
};

TEST_F(Truth, CellsMoveAtTheStatedSpeedAndHeading) {
    for (const QByteArray product : {"DS.p19r0", "DS.p20-r"}) {
        const QJsonObject before = truth("kmkx", product);
        admin("/_sim/advance?frames=1");
        const QJsonObject after = truth("kmkx", product);
        const double speed = before.value(QStringLiteral("speedMph")).toDouble();
        const double heading = before.value(QStringLiteral("headingDeg")).toDouble();
        const double mpp = before.value(QStringLiteral("milesPerPixel")).toDouble();
        EXPECT_NEAR(before.value(QStringLiteral("speedKmh")).toDouble(), speed * 1.609344, 1e-9);
        EXPECT_DOUBLE_EQ(mpp, product == "DS.p19r0" ? kMilesPerPixelShort : kMilesPerPixelLong);
        const QJsonArray cellsBefore = before.value(QStringLiteral("cells")).toArray();
        const QJsonArray cellsAfter = after.value(QStringLiteral("cells")).toArray();
        ASSERT_EQ(cellsBefore.size(), cellsAfter.size());
        ASSERT_GT(cellsBefore.size(), 0);
        const double expectedMiles = speed * 300.0 / 3600.0;
        for (qsizetype i = 0; i < cellsBefore.size(); ++i) {
            const QJsonObject a = cellsBefore[i].toObject();
            const QJsonObject b = cellsAfter[i].toObject();
            const double dx =
                b.value(QStringLiteral("x")).toDouble() - a.value(QStringLiteral("x")).toDouble();
            const double dy =
                b.value(QStringLiteral("y")).toDouble() - a.value(QStringLiteral("y")).toDouble();
            const double miles = std::hypot(dx, dy) * mpp;
            if (miles > 2 * expectedMiles) {
                continue; // wrapped round the simulated area
            }
            EXPECT_NEAR(miles, expectedMiles, 1e-6);
            // Image y grows southward; heading is clockwise from north.
            double bearing = std::atan2(dx, -dy) * 180.0 / 3.14159265358979;
            if (bearing < 0) {
                bearing += 360.0;
            }
            EXPECT_NEAR(bearing, heading, 1e-6);
            // The lat/lon position agrees with the pixel position.
            double east = 0;
            double north = 0;
            latLonToOffset(*findSite(QStringLiteral("kmkx")),
                           GeoPoint{a.value(QStringLiteral("lat")).toDouble(),
                                    a.value(QStringLiteral("lon")).toDouble()},
                           east, north);
            EXPECT_NEAR(300 + east / mpp, a.value(QStringLiteral("x")).toDouble(), 1e-6);
            EXPECT_NEAR(275 - north / mpp, a.value(QStringLiteral("y")).toDouble(), 1e-6);
        }
    }
    EXPECT_EQ(request("/_sim/truth?site=klot").status, 400);
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
