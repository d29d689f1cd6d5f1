// Speed, direction and ETA measured by clicking storm cells on real frames of
// the radar simulator, fetched through the Internet layer, checked against
// the simulator's own truth about its cells.
#include "core/ole_date.h"
#include "display/tab_display.h"
#include "display/window_fixture.h"
#include "display/zoom_scroll.h"
#include "platform/e2e_support.h"
#include "qstring_print.h"
#include "support/scoped_time_zone.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <numbers>

using namespace nubivista;
using nubivista::platform::testing::RadarSimProcess;
using nubivista::platform::testing::radarUrl;

namespace {

constexpr double kImageWidth = 600 * 15;
constexpr double kImageHeight = 550 * 15;
// A frame is published every five minutes.
constexpr int kFrameMinutes = 5;

struct Frame {
    QDateTime time;    // its Last-Modified time, UTC
    QJsonObject truth; // the simulator's cells at that frame
    QPointF cell(int i) const {
        const QJsonObject c = truth.value("cells").toArray().at(i).toObject();
        return {c.value("x").toDouble(), c.value("y").toDouble()};
    }
};

class MeasurementTruthTest : public nubivista::testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(sim.isRunning()) << "the feed did not start";
        layer = platform::testing::layerThroughSim(layerHome, sim, false);
        ASSERT_TRUE(layer->isRunning());
        showWindow({1500, 1300});
    }

    // The simulator's cells now and the time of the frame they belong to.
    Frame truthNow(const QString& site, const QString& product) {
        Frame frame;
        frame.truth =
            QJsonDocument::fromJson(sim.get("/_sim/truth?site=" + site + "&product=" + product))
                .object();
        frame.time = QDateTime::fromString(frame.truth.value("frameTime").toString(), Qt::ISODate);
        return frame;
    }
    // The newest frame of a site's product, by its own name so that no cached
    // copy of an older frame can answer, into slot; and the truth for it.
    Frame fetchNewest(int slot, const QString& site, const QString& product) {
        const QList<QByteArray> list =
            sim.get("/radar/loopdata/" + product + "/" + site + ".txt").trimmed().split('\n');
        const QUrl frameUrl = radarUrl("/radar/" + QString::fromLatin1(list.last()));
        const platform::DownloadResult got = layer->downloadToFile(frameUrl, loop().slotFile(slot));
        EXPECT_TRUE(got.ok) << got.error.toStdString();
        const Frame frame = truthNow(site, product);
        EXPECT_EQ(layer->cacheEntry(frameUrl).value_or(platform::CacheEntry{}).lastModifiedUtc,
                  frame.time);
        loop().storeImage(slot, core::oleFromDateTime(frame.time.toUTC()).value_or(0));
        return frame;
    }
    void advance(int frames) {
        for (int i = 0; i < frames; ++i)
            ASSERT_TRUE(sim.advance());
    }
    // A press on the image pixel `at` of the picture on tab, at the zoom.
    void clickImagePixel(int tab, QPointF at) {
        display().tabs().selectTab(tab);
        const display::TwipsRect g = controls().Image1->pictureGeometry();
        const QPoint p(static_cast<int>(std::lround(at.x() * settings.ZoomFactor + g.left / 15)),
                       static_cast<int>(std::lround(at.y() * settings.ZoomFactor + g.top / 15)));
        QTest::mouseClick(controls().Image1, Qt::LeftButton, {}, p);
    }
    bool inView(QPointF at) const {
        const double z = settings.ZoomFactor;
        const display::RadarView* v = window->display().controls().Image1;
        return at.x() >= 0 && at.y() >= 0 && at.x() * z < v->width() - 1 &&
               at.y() * z < v->height() - 1;
    }

    RadarSimProcess sim;
    QTemporaryDir layerHome;
    std::unique_ptr<platform::InternetLayer> layer;
    nubivista::testing::ScopedTimeZone utc{"UTC"};
};

double angleBetween(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TEST_F(MeasurementTruthTest, SpeedDirectionAndEtaMatchTheSimulatedCells) {
    // Short and long range, zoom 1 and 2, miles and kilometres.
    const std::tuple<const char*, bool, float, bool> cases[] = {
        {"DS.p19r0", false, 1, false},
        {"DS.p19r0", false, 2, true},
        {"DS.p20-r", true, 1, true},
        {"DS.p20-r", true, 2, false},
    };
    const QString site = QStringLiteral("kmkx");
    // An hour between the two images, then half an hour on to the target.
    const int measureFrames = 12;
    const int etaFrames = 6;
    for (const auto& [productName, longRange, zoom, kilometres] : cases) {
        SCOPED_TRACE(std::string(productName) + " zoom " + std::to_string(zoom) +
                     (kilometres ? " km" : " mi"));
        display().tabs().ClearMeasurement();
        settings.ZoomFactor = zoom;
        settings.LongRangeFlag = longRange ? 1 : 0;
        settings.MapScaleActive = longRange ? settings.MapScaleLong : settings.MapScale;
        settings.UnitFactor = kilometres ? 1.609344f : 1.0f;

        const QString product = QString::fromLatin1(productName);
        const Frame a = fetchNewest(1, site, product);
        advance(measureFrames);
        const Frame b = fetchNewest(2, site, product);
        advance(etaFrames);
        const Frame target = truthNow(site, product);
        ASSERT_EQ(a.time.secsTo(b.time), measureFrames * kFrameMinutes * 60);
        loop().updateModel([](sets::SlotModel& m) { m.newestSlot = 2; });
        display().zoom().setNaturalSize(kImageWidth, kImageHeight);

        // A cell the view shows at all three places. The simulator's cells
        // wrap round its domain: one that wrapped between two frames has not
        // travelled the straight track the measurement assumes.
        const double milesPerPixel = a.truth.value("milesPerPixel").toDouble();
        const double hourMiles = a.truth.value("speedMph").toDouble();
        const auto straight = [&](QPointF from, QPointF to, double hours) {
            const double pixels = std::hypot(to.x() - from.x(), to.y() - from.y());
            return std::fabs(pixels * milesPerPixel - hourMiles * hours) < 2 * milesPerPixel;
        };
        const double measureHours = measureFrames * kFrameMinutes / 60.0;
        const double etaHours = etaFrames * kFrameMinutes / 60.0;
        const int cells = static_cast<int>(a.truth.value("cells").toArray().size());
        int cell = -1;
        for (int i = 0; i < cells && cell < 0; ++i)
            if (inView(a.cell(i)) && inView(b.cell(i)) && inView(target.cell(i)) &&
                straight(a.cell(i), b.cell(i), measureHours) &&
                straight(b.cell(i), target.cell(i), etaHours))
                cell = i;
        ASSERT_GE(cell, 0) << "no cell inside the view";

        clickImagePixel(1, a.cell(cell));
        clickImagePixel(2, b.cell(cell));
        const QRegularExpression speedText(
            QStringLiteral("^(\\d+) (Mi|Km)/Hr @ (\\d+) deg\\. [NESW]*$"));
        const auto speed = speedText.match(controls().Text1->text());
        ASSERT_TRUE(speed.hasMatch()) << controls().Text1->text().toStdString();
        EXPECT_EQ(speed.captured(2), kilometres ? "Km" : "Mi");

        // Each click lands on a whole pixel of the zoomed picture: within half
        // a zoomed pixel of the cell on each axis, so the measured track is
        // off by at most sqrt(2) / zoom image pixels. The texts round to whole
        // units and degrees: half a unit more.
        const double slack = std::numbers::sqrt2 / zoom;
        const double trackPixels =
            std::hypot(b.cell(cell).x() - a.cell(cell).x(), b.cell(cell).y() - a.cell(cell).y());
        const double hours = measureHours;
        const double trueSpeed = a.truth.value(kilometres ? "speedKmh" : "speedMph").toDouble();
        const double speedSlack =
            slack * milesPerPixel * (kilometres ? 1.609344 : 1.0) / hours + 0.5;
        EXPECT_NEAR(speed.captured(1).toDouble(), trueSpeed, speedSlack);
        const double directionSlack = std::asin(slack / trackPixels) * 180 / std::numbers::pi + 0.5;
        EXPECT_LE(
            angleBetween(speed.captured(3).toDouble(), a.truth.value("headingDeg").toDouble()),
            directionSlack);

        // Where the simulator puts the cell half an hour on: the ETA is its
        // frame time. Both the speed and the distance carry the click slack;
        // the text shows whole minutes.
        clickImagePixel(2, target.cell(cell));
        const QRegularExpression etaText(
            QStringLiteral("^ETA: (\\d+:\\d\\d [AP]M \\d+/\\d+/\\d\\d) \\.\\.\\. "));
        const auto eta = etaText.match(controls().Text1->text());
        ASSERT_TRUE(eta.hasMatch()) << controls().Text1->text().toStdString();
        QDateTime shown = QDateTime::fromString(eta.captured(1), QStringLiteral("h:mm AP M/d/yy"));
        shown = QDateTime(shown.date().addYears(100), shown.time(), Qt::UTC);
        const double etaPixels = std::hypot(target.cell(cell).x() - b.cell(cell).x(),
                                            target.cell(cell).y() - b.cell(cell).y());
        const double etaMinutes = etaFrames * kFrameMinutes;
        const double etaSlack = etaMinutes * (slack / trackPixels + slack / etaPixels) + 1;
        EXPECT_LE(std::fabs(shown.secsTo(target.time) / 60.0), etaSlack)
            << eta.captured(1).toStdString() << " for " << target.time.toString().toStdString();
    }
}

} // namespace
