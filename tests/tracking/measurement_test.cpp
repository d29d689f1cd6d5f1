// The measurement state machine on a recording view: clicks in picture twips,
// slots with known times, the texts and marks it produces; and the ETA list
// window those results go to: saving it as text and what a failed save keeps.
#include "core/clock.h"
#include "core/message_service.h"
#include "core/ole_date.h"
#include "core/settings.h"
#include "sets/loop_set.h"
#include "support/files.h"
#include "support/qstring_print.h"
#include "support/scoped_time_zone.h"
#include "support/shown_messages.h"
#include "tracking/form9.h"
#include "tracking/measurement.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <map>

using namespace nubivista;
using tracking::Form9;
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
        v.loopRunning = [] { return false; };
        v.addListRow = [](const QString&) {};
        m = std::make_unique<Measurement>(settings, loop, clock, std::move(v));
    }

    // A point `east` (and `north`) statute miles from the picture's (1000, 5000).
    QPointF at(double east, double north = 0) const {
        const double perMile = settings.MapScale * settings.ZoomFactor;
        return {1000 + east * perMile, 5000 - north * perMile};
    }
    void click(int onSlot, QPointF p) {
        slot = onSlot;
        m->Image1_MouseDown(Qt::LeftButton, p);
    }
    // Images at 12:00 and 12:30 and a storm ten miles east between them.
    void measureTwentyEast() {
        loop.storeImage(1, utc(12, 0));
        loop.storeImage(2, utc(12, 30));
        click(1, at(0));
        click(2, at(10));
        ASSERT_EQ(text1, "20 Mi/Hr @ 90 deg. E");
    }

    nubivista::testing::ScopedTimeZone zone{"UTC"};
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
    EXPECT_FALSE(shown[2] || shown[3] || lineShown);
    EXPECT_EQ(m->StartSlot, 1);
    EXPECT_EQ(m->StartTime, utc(12, 0));
}

TEST_F(MeasurementTest, OneClickSpeedThenEtaFromTheEndPointUntilReset) {
    measureTwentyEast();
    EXPECT_FLOAT_EQ(m->StormSpeed, 20);
    EXPECT_EQ(m->MotionDirection, 90);
    EXPECT_EQ(m->EndTime, utc(12, 30));
    EXPECT_LT((markers[2].topLeft() - at(10) + QPointF(90, 90)).manhattanLength(), 1e-3);
    EXPECT_EQ(markers[2].size(), QSizeF(195, 195));
    ASSERT_TRUE(lineShown);
    EXPECT_EQ(lineWidth, 1);
    // The line runs across the view through both points, in view twips.
    EXPECT_EQ(line, QLineF(0, 5000 + origin.y(), 9000, 5000 + origin.y()));

    // Five miles further on at 20 Mi/Hr: 15 minutes after the second image.
    click(2, at(15));
    EXPECT_EQ(text1, "ETA: 12:45 PM 5/3/04 ... 5 Mi @ 20 Mi/Hr @ 90 deg. E");
    EXPECT_TRUE(shown[3]);
    EXPECT_EQ(linesDrawn, 1) << "the speed's line stays";
    // Every later click is another target from the same end point.
    click(1, at(12));
    EXPECT_EQ(text1, "ETA: 12:36 PM 5/3/04 ... 2 Mi @ 20 Mi/Hr @ 90 deg. E");

    m->resetState();
    EXPECT_EQ(m->StartX, -1);
    EXPECT_EQ(m->StartSlot, 0);
    EXPECT_EQ(m->StormSpeed, 0);
    EXPECT_EQ(m->MotionDirection, -1);
    EXPECT_EQ(m->EndTime, 0);
    click(1, at(0));
    EXPECT_TRUE(text1.startsWith("Got Start - Distance/Speed: "));
}

TEST_F(MeasurementTest, WithTwoClickEtaTheNextClickStartsTheEtaAndTakesAwayTheSpeedsLine) {
    settings.TwoClickEta = 1;
    measureTwentyEast();
    ASSERT_TRUE(lineShown);
    click(2, at(12));
    EXPECT_TRUE(text1.startsWith("Got Start - ETA")) << text1.toStdString();
    EXPECT_FALSE(lineShown);
}

TEST_F(MeasurementTest, NoUsableTimesGiveDistanceOrZeroSpeedAndEdgeDirections) {
    struct Case {
        core::OleDate time1, time2;
        int slot2;
        QPointF to;
        const char* text;
    };
    const Case cases[] = {
        // The start image has no time.
        {0, utc(12, 30), 2, at(10), "Dist/Dir: 10 Mi @ 90 deg. E"},
        // Two images in the same clock minute.
        {utc(12, 0, 10), utc(12, 0, 50), 2, at(10), "Dist/Dir: 10 Mi @ 90 deg. E"},
        // Both clicks on one image.
        {utc(12, 0), utc(12, 30), 1, at(3, 3), "Dist/Dir: 4.2 Mi @ 45 deg. NE"},
        // The second click on the start point: no motion, no direction.
        {utc(12, 0), utc(12, 6), 2, at(0), "0 Mi/Hr @ -1 deg. N"},
        // A direction rounding up to 360 has no compass text.
        {utc(12, 0), utc(12, 30), 1, {999, 4000}, "Dist/Dir: 33 Mi @ 360 deg. "},
    };
    for (const Case& c : cases) {
        m->resetState();
        loop.storeImage(1, c.time1);
        loop.storeImage(2, c.time2);
        click(1, at(0));
        click(c.slot2, c.to);
        EXPECT_EQ(text1, c.text);
        EXPECT_EQ(m->StormSpeed, 0) << c.text;
        if (QString::fromLatin1(c.text).startsWith("Dist/Dir: ")) {
            EXPECT_EQ(m->StartSlot, 0) << "later clicks are distances from the same start";
        }
    }
}

TEST_F(MeasurementTest, DirectionalEtaAheadBehindAndOutside) {
    settings.EtaUseDirection = 1;
    measureTwentyEast();
    // Behind the storm: the time it passed.
    click(2, at(5));
    EXPECT_EQ(text1, "ETA: 12:15 PM 5/3/04 ... 5 Mi @ 20 Mi/Hr @ 270 deg. W");
    // Exactly 30 degrees off the motion (bearing 120) is outside the window.
    const QPointF end = at(10);
    click(2, {end.x() + 866, end.y() + 500});
    EXPECT_EQ(text1, "Directional ETA Not Meaningful");
    click(2, {end.x(), end.y() - 2000});
    EXPECT_EQ(text1, "Directional ETA Not Meaningful");
}

class Form9Test : public ::testing::Test {
protected:
    void SetUp() override {
        nubivista::testing::recordMessages(messages, shown, decline);
        form = std::make_unique<Form9>(settings, messages, clock,
                                       [this](QWidget*, const QString& folder) {
                                           initialFolders << folder;
                                           return chosen;
                                       });
    }
    void addRows(std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            form->addRow(QString::fromLatin1(t));
    }
    QStringList secondColumn() const {
        QStringList texts;
        for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i)
            texts << form->ListView1->topLevelItem(i)->text(1);
        return texts;
    }
    QTreeWidgetItem* row(int index) const { return form->ListView1->topLevelItem(index - 1); }
    void trigger(const char* item) { form->menuItem(QString::fromLatin1(item))->trigger(); }
    // Saves the list through the menu and returns the file's lines.
    QList<QByteArray> saveLines(const QString& name) {
        chosen = dir.filePath(name);
        trigger("mnuSaveList");
        return nubivista::testing::readBytes(chosen).split('\n');
    }

    core::Settings settings;
    core::MessageService messages{settings.MsgOffMap};
    core::ManualClock clock{QDateTime(QDate(2026, 12, 6), QTime(15, 4, 5)), 0};
    QList<nubivista::testing::ShownMessage> shown;
    bool decline = false;
    QString chosen;
    QStringList initialFolders;
    QTemporaryDir dir;
    std::unique_ptr<Form9> form;
};

TEST_F(Form9Test, ItsSizeNeverKeptIsItsOwnAndItsPlaceAndOnTopAreKept) {
    std::vector<QSize> sizes;
    for (const float kept : {-1.0f, 0.0f}) {
        settings.EtaWidth = settings.EtaHeight = kept;
        Form9 list(settings, messages, clock, [](QWidget*, const QString&) { return QString(); });
        list.Form_Load();
        sizes.push_back(list.size());
    }
    EXPECT_EQ(sizes[1], sizes[0]);
    // A kept place at the screen's left edge is a place too, and on top is kept.
    settings.EtaLeft = 0;
    settings.EtaTop = 1500;
    settings.EtaOnTop = 1;
    form->Form_Load();
    EXPECT_EQ(form->pos(), QPoint(0, 100));
    const auto onTop = [this] { return form->windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
    EXPECT_TRUE(onTop());
    for (const bool expected : {false, true}) {
        trigger("mnuOnTop");
        EXPECT_EQ(onTop(), expected);
        EXPECT_EQ(settings.EtaOnTop, expected ? 1 : 0);
    }
}

TEST_F(Form9Test, SaveWritesCrLfLinesWithNamesPaddedWithDotsToTheWidestName) {
    settings.EtaSavePath = QStringLiteral("/earlier");
    addRows({"ETA: 4:07 PM 5/3/04 ... 12.3 Mi", " Dist/Dir: 1 Mi @ 90 deg. E "});
    QList<QByteArray> lines = saveLines("list.txt");
    EXPECT_EQ(initialFolders, QStringList({"/earlier"}));
    EXPECT_EQ(settings.EtaSavePath, dir.path());
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("Date: ") && lines[0].endsWith('\r')) << lines[0].toStdString();
    // With no names at all, each line starts with four dots.
    EXPECT_EQ(lines[1], "....ETA: 4:07 PM 5/3/04 ... 12.3 Mi\r");
    EXPECT_EQ(lines[2], "....Dist/Dir: 1 Mi @ 90 deg. E\r");
    EXPECT_TRUE(lines[3].isEmpty());

    form->ListView1->clear();
    addRows({"one", "two", "three"});
    row(1)->setText(0, QStringLiteral("  Springfield "));
    row(2)->setText(0, QStringLiteral("Ada"));
    lines = saveLines("names.txt");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1], "Springfield....one\r");
    const QFontMetrics metrics(form->ListView1->font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("Springfield"));
    for (int i : {2, 3}) {
        const QString line = QString::fromLatin1(lines[i]);
        const QString name = line.left(line.lastIndexOf(QStringLiteral("...")));
        ASSERT_TRUE(name.endsWith(u'.')) << line.toStdString();
        EXPECT_GE(metrics.horizontalAdvance(name), widest) << line.toStdString();
        EXPECT_LT(metrics.horizontalAdvance(name.chopped(1)), widest) << line.toStdString();
    }
    EXPECT_TRUE(lines[3].startsWith(".")) << "an empty name is all dots";
}

TEST_F(Form9Test, AnEmptyListIgnoresTheMenuACancelledSaveKeepsThePathAndAFailedOneIsTold) {
    for (const char* item :
         {"mnuMoveUp", "mnuMovedown", "mnuToTop", "mnuToBot", "mnuDelete", "mnuSaveList"})
        trigger(item);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(initialFolders.isEmpty());

    addRows({"a"});
    // The first save starts in the user's documents.
    trigger("mnuSaveList");
    EXPECT_EQ(initialFolders,
              QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)});
    EXPECT_TRUE(settings.EtaSavePath.isEmpty());

    initialFolders.clear();
    settings.EtaSavePath = QStringLiteral("/kept");
    trigger("mnuSaveList");
    EXPECT_EQ(initialFolders.size(), 1);
    EXPECT_TRUE(shown.empty()) << "a cancelled save says nothing";
    EXPECT_EQ(settings.EtaSavePath, "/kept");

    chosen = QStringLiteral("/proc/no such folder/list.txt");
    trigger("mnuSaveList");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].kind, 1);
    EXPECT_TRUE(shown[0].text.contains(chosen)) << shown[0].text.toStdString();
    EXPECT_EQ(secondColumn(), QStringList({"a"}));
    EXPECT_FALSE(QFile::exists(chosen));
}

} // namespace
