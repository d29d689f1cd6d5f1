#include "feed/sim/frame_renderer.h"
#include "feed/sim/products.h"
#include "feed/sim/site_list.h"
#include "sim_fixture.h"

#include <QRegularExpression>
#include <QSet>

namespace nubivista::feed::sim::testing {
namespace {

const QByteArray kSomeSites[] = {"kmkx", "paec", "tjua", "pgua", "kvwx"};

class Routes : public SimFixture {};

TEST_F(Routes, NationalMapLinksEverySiteOnceAtItsPlaceOnEveryHost) {
    QByteArray first;
    for (const QByteArray host :
         {"weather.noaa.gov", "www.srh.noaa.gov", "www.crh.noaa.gov", "www.wrh.noaa.gov"}) {
        const WireReply reply = request("/radar/national.html", {}, "GET", host);
        ASSERT_EQ(reply.status, 200) << host.constData();
        if (first.isEmpty()) {
            first = reply.body;
        }
        EXPECT_EQ(reply.body, first) << "same page on " << host.constData();
    }
    const QString page = QString::fromUtf8(first);
    static const QRegularExpression kHref(QStringLiteral("href=\"([^\"]+)\""));
    QSet<QString> siteLinks;
    int otherLinks = 0;
    for (const QRegularExpressionMatch& match : kHref.globalMatch(page)) {
        const QString link = match.captured(1);
        // The program's site-link test: characters 15 to 46 of the lower-cased link.
        if (link.toLower().mid(14, 32) == QLatin1String(".noaa.gov/radar/latest/ds.p19r0/")) {
            EXPECT_EQ(link, QStringLiteral("http://weather.noaa.gov/radar/latest/DS.p19r0/si.") +
                                link.mid(49, 4) + QStringLiteral(".shtml"));
            EXPECT_FALSE(siteLinks.contains(link.mid(49, 4))) << link.toStdString();
            siteLinks.insert(link.mid(49, 4));
        } else {
            ++otherLinks;
        }
    }
    EXPECT_EQ(siteLinks.size(), 154);
    for (const Site& site : allSites()) {
        EXPECT_TRUE(siteLinks.contains(site.code)) << site.code.toStdString();
    }
    EXPECT_GE(otherLinks, 3);

    // Every link area lies on the map image.
    const QImage map = decode(request("/radar/national.gif").body);
    ASSERT_FALSE(map.isNull());
    static const QRegularExpression kArea(QStringLiteral("coords=\"(\\d+),(\\d+),"));
    for (const QRegularExpressionMatch& match : kArea.globalMatch(page)) {
        EXPECT_TRUE(map.rect().contains(match.captured(1).toInt(), match.captured(2).toInt()));
    }
}

TEST_F(Routes, LatestPageAndImageForEveryProduct) {
    // Every product, each on two of the sites, so that all the sites come round.
    for (std::size_t i = 0; i < kProducts.size(); ++i) {
        const QByteArray code = kProducts[i].code.data();
        for (const QByteArray& site :
             {kSomeSites[i % std::size(kSomeSites)], kSomeSites[(i + 2) % std::size(kSomeSites)]}) {
            const WireReply page = request("/radar/latest/" + code + "/si." + site + ".shtml");
            ASSERT_EQ(page.status, 200) << code.constData() << " " << site.constData();
            const QByteArray imageSrc = "/radar/images/" + code + "/SI." + site + "/latest.gif";
            EXPECT_TRUE(page.body.contains("<img src=\"" + imageSrc + "\""));

            const WireReply image = request(imageSrc);
            ASSERT_EQ(image.status, 200);
            EXPECT_EQ(image.header("content-type"), "image/gif");
            EXPECT_EQ(image.contentLength(), image.body.size());
            const QImage decoded = decode(image.body);
            ASSERT_FALSE(decoded.isNull()) << imageSrc.constData();
            EXPECT_EQ(decoded.size(), QSize(600, 550));
        }
    }
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

TEST_F(Routes, UnknownNamesAndFutureFramesAreNotFound) {
    const QByteArray missing[] = {
        "/radar/latest/DS.p19r0/si.klot.shtml",      // no such site
        "/radar/latest/ds.p19r0/si.kmkx.shtml",      // product codes are case-sensitive
        "/radar/images/DS.p99xx/SI.kmkx/latest.gif", // no such product
        "/radar/images/DS.p19r0/SI.kmkx/sn_20260612_at_140000.gif", // not yet published
        "/radar/images/DS.p19r0/SI.kmkx/sn_20260612_at_135100.gif", // not a frame time
        "/radar/images/DS.p19r0/SI.kmkx/sn_20261312_at_135500.gif", // no such date
        "/radar/images/DS.p19r0/SI.kmkx/sn_20260612_at_135500_storm_total_precip_r0.gif",
        "/radar/loopdata/DS.p19r0/kmkx.text",
        "/nothing/here",
    };
    for (const QByteArray& path : missing) {
        EXPECT_EQ(request(path).status, 404) << path.constData();
    }
}

} // namespace
} // namespace nubivista::feed::sim::testing
