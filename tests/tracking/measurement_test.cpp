// The measurement state machine on a recording view: clicks in picture twips,
// slots with known times, the texts and marks it produces.
#include "core/clock.h"
#include "core/ole_date.h"
#include "core/settings.h"
#include "qstring_print.h"
#include "sets/loop_set.h"
#include "tracking/measurement.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace nubivista;
using tracking::Measurement;

namespace {

core::OleDate utc(int hour, int minute, int second = 0) {
    return *core::oleFromParts(2004, 5, 3, hour, minute, second);
}

class MeasurementTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings.MapScaleActive = settings.MapScale;
        tracking::MeasurementView v;
        v.placeMarker = [this](int i, QRectF r) {
            markers[i] = r;
            shown[i] = true;
        };
        v.hideMarker = [this](int i) { shown[i] = false; };
        v.showLine = [this](QLineF l, int width) {
            line = l;
            lineWidth = width;
            lineShown = true;
            ++linesDrawn;
        };
        v.hideLine = [this] { lineShown = false; };
        v.setText1 = [this](const QString& t) { text1 = t; };
        v.pictureOrigin = [this] { return origin; };
        v.viewSize = [] { return QSizeF(9000, 8250); };
        v.currentSlot = [this] { return slot; };
        v.loopRunning = [this] { return running; };
        v.addListRow = [this](const QString& t) { rows.push_back(t); };
        m = std::make_unique<Measurement>(settings, loop, clock, std::move(v));
    }

    // A point `miles` statute miles east (and north) of the picture's (1000, 5000).
    QPointF at(double east, double north = 0) const {
        const double perMile = settings.MapScale * settings.ZoomFactor;
        return {1000 + east * perMile, 5000 - north * perMile};
    }
    void click(int onSlot, QPointF p) {
        slot = onSlot;
        m->Image1_MouseDown(Qt::LeftButton, p);
    }
    // The ETA text's time part: the reference time (UTC) shown as local time
    // plus the seconds.
    static QString localEta(core::OleDate reference, int seconds) {
        QDateTime t = core::oleToDateTime(reference, Qt::UTC).addSecs(seconds).toLocalTime();
        const int h = t.time().hour() % 12 == 0 ? 12 : t.time().hour() % 12;
        return QStringLiteral("%1:%2 %3 %4/%5/%6")
            .arg(h)
            .arg(t.time().minute(), 2, 10, QChar(u'0'))
            .arg(t.time().hour() < 12 ? "AM" : "PM")
            .arg(t.date().month())
            .arg(t.date().day())
            .arg(t.date().year() % 100, 2, 10, QChar(u'0'));
    }

    QTemporaryDir dir;
    core::Settings settings;
    sets::LoopSet loop{dir.filePath("CurrSetRec.sis"), dir.filePath("latest"), [] { return 6; }};
    core::ManualClock clock{QDateTime(QDate(2004, 5, 3), QTime(16, 0)), 0};
    std::unique_ptr<Measurement> m;

    std::map<int, QRectF> markers;
    std::map<int, bool> shown;
    QLineF line;
    int lineWidth = 0;
    bool lineShown = false;
    int linesDrawn = 0;
    QString text1;
    QPointF origin{-300, -150};
    int slot = 1;
    bool running = false;
    std::vector<QString> rows;
};

TEST_F(MeasurementTest, EmptySlotOrRightButtonMeasuresNothing) {
    click(3, at(0));
    EXPECT_TRUE(text1.isEmpty());
    loop.storeImage(3, utc(12, 0));
    m->Image1_MouseDown(Qt::RightButton, at(0));
    EXPECT_EQ(m->StartX, -1);
    EXPECT_TRUE(markers.empty());
}

TEST_F(MeasurementTest, FirstClickPlacesTheStartMarkerAndKeepsTheSlot) {
    loop.storeImage(1, utc(12, 0));
    shown[2] = shown[3] = lineShown = true;
    click(1, {2000, 3000});
    EXPECT_TRUE(text1.startsWith("Got Start - Distance/Speed: ")) << text1.toStdString();
    EXPECT_EQ(markers[1], QRectF(2000 - 90, 3000 - 97.5, 195, 195));
    EXPECT_TRUE(shown[1]);
    EXPECT_FALSE(shown[2]);
    EXPECT_FALSE(shown[3]);
    EXPECT_FALSE(lineShown);
    EXPECT_EQ(m->StartSlot, 1);
    EXPECT_EQ(m->StartTime, utc(12, 0));
}

TEST_F(MeasurementTest, StartOnAnImageWithoutTimeGivesDistanceOnly) {
    loop.storeImage(1, 0);
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    EXPECT_EQ(m->StartSlot, 0);
    click(2, at(10));
    EXPECT_EQ(text1, "Dist/Dir: 10 Mi @ 90 deg. E");
    EXPECT_EQ(m->StormSpeed, 0);
}

TEST_F(MeasurementTest, OneClickSpeedThenEtaFromTheEndPoint) {
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    click(2, at(10));
    EXPECT_EQ(text1, "20 Mi/Hr @ 90 deg. E");
    EXPECT_FLOAT_EQ(m->StormSpeed, 20);
    EXPECT_EQ(m->MotionDirection, 90);
    EXPECT_EQ(m->EndTime, utc(12, 30));
    EXPECT_NEAR(markers[2].x(), at(10).x() - 90, 1e-3);
    EXPECT_NEAR(markers[2].y(), at(10).y() - 90, 1e-3);
    EXPECT_EQ(markers[2].width(), 195);
    ASSERT_TRUE(lineShown);
    EXPECT_EQ(lineWidth, 1);
    // The line runs across the view through both points, in view twips.
    EXPECT_NEAR(line.y1(), 5000 + origin.y(), 1e-3);
    EXPECT_NEAR(line.x1(), 0, 1e-3);
    EXPECT_NEAR(line.x2(), 9000, 1e-3);

    // Five miles further on at 20 Mi/Hr: 15 minutes after the second image.
    click(2, at(15));
    EXPECT_EQ(text1, "ETA: " + localEta(utc(12, 30), 15 * 60) + " ... 5 Mi @ 20 Mi/Hr @ 90 deg. E");
    EXPECT_TRUE(shown[3]);
    EXPECT_EQ(linesDrawn, 1) << "the speed's line stays";
    // Every later click is another target from the same end point.
    click(1, at(12));
    EXPECT_EQ(text1, "ETA: " + localEta(utc(12, 30), 6 * 60) + " ... 2 Mi @ 20 Mi/Hr @ 90 deg. E");
}

TEST_F(MeasurementTest, SecondClickOnTheStartPointGivesZeroSpeed) {
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 6));
    click(1, at(3));
    click(2, at(3));
    EXPECT_EQ(text1, "0 Mi/Hr @ -1 deg. N");
    EXPECT_EQ(m->StormSpeed, 0);
}

TEST_F(MeasurementTest, ImagesInTheSameMinuteGiveDistanceAndUseTheStartUp) {
    loop.storeImage(1, utc(12, 0, 10));
    loop.storeImage(2, utc(12, 0, 50));
    loop.storeImage(3, utc(12, 30));
    click(1, at(0));
    click(2, at(10));
    EXPECT_EQ(text1, "Dist/Dir: 10 Mi @ 90 deg. E");
    EXPECT_EQ(m->StartSlot, 0);
    EXPECT_EQ(m->StormSpeed, 0);
    // From the same start point, distance only, even on another image time.
    click(3, at(0, 4));
    EXPECT_EQ(text1, "Dist/Dir: 4 Mi @ 0 deg. N");
}

TEST_F(MeasurementTest, BothClicksOnOneImageGiveDistance) {
    loop.storeImage(1, utc(12, 0));
    click(1, at(0));
    click(1, at(3, 3));
    EXPECT_EQ(text1, "Dist/Dir: 4.2 Mi @ 45 deg. NE");
}

TEST_F(MeasurementTest, OneClickEtaOnTheStormPositionFallsBackToDistance) {
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    click(2, at(10));
    click(2, at(10));
    EXPECT_EQ(text1, "Dist/Dir: 0 Mi @ -1 deg. N");
    EXPECT_EQ(m->StartSlot, 0);
    click(2, at(15));
    EXPECT_EQ(text1, "Dist/Dir: 5 Mi @ 90 deg. E");
}

TEST_F(MeasurementTest, DirectionRoundingTo360HasNoCompassText) {
    loop.storeImage(1, utc(12, 0));
    click(1, {1000, 5000});
    click(1, {999, 4000});
    EXPECT_EQ(text1, "Dist/Dir: 33 Mi @ 360 deg. ");
}

TEST_F(MeasurementTest, DirectionalEtaAheadBehindAndOutside) {
    settings.EtaUseDirection = 1;
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    click(2, at(10));
    // Behind the storm: the time it passed.
    click(2, at(5));
    EXPECT_EQ(text1,
              "ETA: " + localEta(utc(12, 30), -15 * 60) + " ... 5 Mi @ 20 Mi/Hr @ 270 deg. W");
    // Exactly 30 degrees off the motion (bearing 120) is outside the window.
    const QPointF end = at(10);
    click(2, {end.x() + 866, end.y() + 500});
    EXPECT_EQ(text1, "Directional ETA Not Meaningful");
    click(2, {end.x(), end.y() - 2000});
    EXPECT_EQ(text1, "Directional ETA Not Meaningful");
}

TEST_F(MeasurementTest, TwoClickPairsWithTheShownImageAsReference) {
    settings.TwoClickEta = 1;
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    loop.storeImage(3, utc(12, 36));
    click(1, at(0));
    click(2, at(10));
    EXPECT_EQ(text1, "20 Mi/Hr @ 90 deg. E");
    EXPECT_EQ(m->StartX, -1);
    EXPECT_EQ(m->StartSlot, 0);
    click(3, at(20));
    EXPECT_EQ(text1, "Got Start - ETA");
    EXPECT_FALSE(lineShown);
    click(3, at(20, 10));
    EXPECT_EQ(text1, "ETA: " + localEta(utc(12, 36), 30 * 60) + " ... 10 Mi @ 20 Mi/Hr @ 0 deg. N");
    EXPECT_TRUE(lineShown) << "each pair draws its own line";
    EXPECT_EQ(m->StartX, -1);
}

TEST_F(MeasurementTest, WhileTheLoopRunsTheNewestTabIsTheReference) {
    settings.TwoClickEta = 1;
    for (int s = 1; s <= 4; ++s)
        loop.storeImage(s, utc(12, 10 * s));
    click(1, at(0));
    click(2, at(5)); // 30 Mi/Hr
    running = true;
    click(2, at(0));
    click(2, at(15)); // 15 miles at 30 Mi/Hr from the newest image, 12:40
    EXPECT_EQ(text1,
              "ETA: " + localEta(utc(12, 40), 30 * 60) + " ... 15 Mi @ 30 Mi/Hr @ 90 deg. E");
}

TEST_F(MeasurementTest, PopupListsRouteEtaAndDistanceButNeverSpeed) {
    settings.PopupLists = 3;
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    click(1, at(1));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], "Dist/Dir: 1 Mi @ 90 deg. E");
    m->resetState();
    click(1, at(0));
    click(2, at(10));
    EXPECT_EQ(text1, "20 Mi/Hr @ 90 deg. E");
    click(2, at(15));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[1].startsWith("ETA: "));
    settings.PopupLists = 2;
    click(2, at(20));
    EXPECT_TRUE(text1.startsWith("ETA: "));
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(MeasurementTest, LongRangeZoomAndUnits) {
    loop.storeImage(1, utc(12, 0));
    struct Case {
        float zoom;
        int longRange;
        float unit;
        double side;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {1, 0, 1, 195, 1, "Dist/Dir: 1 Mi @ 90 deg. E"},
        {1, 1, 1, 117, 1, "Dist/Dir: 2 Mi @ 90 deg. E"},
        {1, 0, 1.609344f, 195, 1, "Dist/Dir: 1.6 Km @ 90 deg. E"},
        {1, 0, 0.8689762f, 195, 1, "Dist/Dir: .9 Nm @ 90 deg. E"},
        {2.5f, 0, 1, 390, 2, "Dist/Dir: 1 Mi @ 90 deg. E"},
        {4.5f, 1, 1, 487.5, 2, "Dist/Dir: 2 Mi @ 90 deg. E"},
    };
    for (const Case& c : cases) {
        m->resetState();
        settings.ZoomFactor = c.zoom;
        settings.LongRangeFlag = static_cast<std::int16_t>(c.longRange);
        settings.MapScaleActive = c.longRange ? settings.MapScaleLong : settings.MapScale;
        settings.UnitFactor = c.unit;
        click(1, at(0));
        click(1, at(1));
        EXPECT_EQ(text1, c.text) << "zoom " << c.zoom << " long " << c.longRange;
        EXPECT_NEAR(markers[2].width(), c.side, 1e-3);
        EXPECT_EQ(lineWidth, c.width);
    }
}

TEST_F(MeasurementTest, ResetStateReturnsToTheClearedValues) {
    loop.storeImage(1, utc(12, 0));
    loop.storeImage(2, utc(12, 30));
    click(1, at(0));
    click(2, at(10));
    m->resetState();
    EXPECT_EQ(m->StartX, -1);
    EXPECT_EQ(m->StartSlot, 0);
    EXPECT_EQ(m->StormSpeed, 0);
    EXPECT_EQ(m->MotionDirection, -1);
    EXPECT_EQ(m->EndTime, 0);
    click(1, at(0));
    EXPECT_TRUE(text1.startsWith("Got Start - Distance/Speed: "));
}

} // namespace
