#include "acquisition/back_date.h"
#include "core/clock.h"
#include "core/time_routines.h"
#include "support/files.h"
#include "support/scoped_time_zone.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace nubivista::acquisition;
using nubivista::core::ManualClock;
using nubivista::core::oleFromParts;
using nubivista::testing::ScopedTimeZone;
using nubivista::testing::writeBytes;

namespace {

using L = QLatin1String;

const QString LoopPage =
    QStringLiteral("http://weather.noaa.gov/radar/loop/DS.p19r0/si.kmkx.shtml");

// An image path as the server names its images: the date and time at their
// fixed positions, 49 characters, or 71 for the DS.80stp product.
QString imagePath(int hour, int minute, bool longProduct = false) {
    const QString name = QStringLiteral("ds_20240501_at_%1%2")
                             .arg(hour, 2, 10, QChar(u'0'))
                             .arg(minute, 2, 10, QChar(u'0'));
    if (longProduct)
        return L("images/DS.80stp/SI.kmkx/") + name + QString(24, u'x') + L(".gif");
    return L("images/DS.p19r0/SI.kmkx/") + name + L("_a.gif");
}

OleDate utc(int hour, int minute) {
    return *oleFromParts(2024, 5, 1, hour, minute, 0);
}

// A list of images at the given minutes past 13:00, one a line, each line
// ended by end.
QString listText(const std::vector<int>& minutes, const char* end = "\n") {
    QString text;
    for (const int m : minutes)
        text += L("frame ") + imagePath(13 + m / 60, m % 60) + L(end);
    return text;
}

const std::vector<int> EverySix{2, 8, 14, 20, 26, 32, 38, 44, 50, 56};

std::vector<LoopListEntry> entriesAt(const std::vector<int>& minutes) {
    std::vector<LoopListEntry> entries;
    for (const int m : minutes)
        entries.push_back({utc(13 + m / 60, m % 60), QString::number(m)});
    return entries;
}

// The minutes past 13:00 of entries, in the given order.
std::vector<int> minutesOf(const std::vector<LoopListEntry>& entries) {
    std::vector<int> minutes;
    for (const LoopListEntry& e : entries)
        minutes.push_back(static_cast<int>(std::lround((e.utcTime - utc(13, 0)) * 24 * 60)));
    return minutes;
}

TEST(BackDateStart, NeedsALoopPageAndAFreshCachedList) {
    EXPECT_TRUE(IsBackDateStartAddress(LoopPage));
    EXPECT_TRUE(IsBackDateStartAddress(L("http://weather.noaa.gov/radar/LOOP/DS.p19r0/k.shtml")));
    EXPECT_FALSE(IsBackDateStartAddress(QString()));
    EXPECT_FALSE(IsBackDateStartAddress(L("http://weather.noaa.gov/radar/latest/DS/k.shtml")));
    EXPECT_FALSE(IsBackDateStartAddress(L("http://weather.noaa.gov/radar/loop/DS/k.html")));

    // The cached copy of the list: at most 24 months old and at least 56 bytes.
    const OleDate now = *oleFromParts(2024, 5, 1, 8, 0, 0);
    const ManualClock clock(QDateTime(QDate(2024, 5, 1), QTime(8, 0)), 0);
    const OleDate failure = nubivista::core::timeFailureValue(clock);
    EXPECT_TRUE(IsCachedCopy(*oleFromParts(2022, 5, 1, 8, 0, 0), now));
    EXPECT_FALSE(IsCachedCopy(*oleFromParts(2022, 5, 1, 7, 59, 59), now));
    EXPECT_FALSE(IsCachedCopy(failure, now));
    EXPECT_TRUE(IsUsableListEntry(now, 56, now));
    EXPECT_FALSE(IsUsableListEntry(now, 55, now));
    EXPECT_FALSE(IsUsableListEntry(failure, 800, now));
}

TEST(LoopListParse, ReadsTheFirstTenLinesAtTheirFixedPositions) {
    // A first line that is the path alone; lines past the tenth are ignored.
    const QString text = listText(EverySix).mid(6) + listText({58, 59}) + L("no image here\n");
    const LoopList list = ParseLoopList(text, LoopPage);
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), EverySix);
    EXPECT_EQ(list.entries[0].imageUrl,
              "http://weather.noaa.gov/radar/images/DS.p19r0/SI.kmkx/ds_20240501_at_1302_a.gif");

    // The image addresses stay on the loop page's host.
    const LoopList regional = ParseLoopList(
        text, QStringLiteral("http://www.srh.noaa.gov/radar/loop/DS.p19r0/si.kewx.shtml"));
    EXPECT_TRUE(regional.entries[9].imageUrl.startsWith(
        L("http://www.srh.noaa.gov/radar/images/DS.p19r0/SI.kmkx/ds_20240501_at_1356")));

    // The DS.80stp product has longer paths.
    QString longPaths;
    for (const int m : EverySix)
        longPaths += imagePath(13, m, true) + L("\n");
    ASSERT_EQ(imagePath(13, 2, true).size(), kLongImagePathLength);
    EXPECT_EQ(minutesOf(ParseLoopList(longPaths, LoopPage).entries), EverySix);
}

TEST(LoopListParse, RefusesMalformedLists) {
    const QString good = listText(EverySix);
    const std::pair<QString, BackDateFault> cases[] = {
        {listText({2, 8, 14, 20, 26, 32, 38, 44, 50}), BackDateFault::NotTenLines},
        {good.chopped(1), BackDateFault::NotTenLines}, // no line feed after the last line
        {QString(good).replace(L("frame images/DS.p19r0/SI.kmkx/ds_20240501_at_1320"),
                               L("frame picture/DS.p19r0/SI.kmkx/ds_20240501_at_1320")),
         BackDateFault::LineWithoutImages},
        {QString(good).replace(L("1314_a.gif\n"), L("1314_a.gif \n")),
         BackDateFault::WrongPathLength},
        {L("images/DS.80stp/SI.kmkx/") + imagePath(13, 2).mid(24) + L("\n") + good,
         BackDateFault::WrongPathLength},
        {QString(good).replace(L("at_1314"), L("at_13x4")), BackDateFault::BadDateField},
        {QString(good).replace(L("ds_20240501_at_1338"), L("ds_20241301_at_1338")),
         BackDateFault::BadDateField},
    };
    for (const auto& [text, fault] : cases) {
        const LoopList list = ParseLoopList(text, LoopPage);
        EXPECT_EQ(list.fault, fault) << text.left(120).toStdString();
        EXPECT_TRUE(list.entries.empty());
    }
}

TEST(LoopListFile, ReadsTheStartOfTheFileAsAnsiAndFailsOnBadFiles) {
    const QTemporaryDir dir;
    const QString path = LoopListFilePath(dir.path());
    EXPECT_TRUE(path.endsWith(L("/loopfils.txt")));
    const auto readWith = [&](const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(path, bytes));
        return ReadLoopList(path, LoopPage);
    };
    EXPECT_EQ(readWith(QByteArray()).fault, BackDateFault::ListFileUnreadable);
    EXPECT_EQ(readWith(QByteArray(55, '\n')).fault, BackDateFault::ListFileUnreadable);
    // The file is read as it is: CR LF ends make every path a character long.
    EXPECT_EQ(readWith(listText(EverySix, "\r\n").toLatin1()).fault,
              BackDateFault::WrongPathLength);
    EXPECT_EQ(ReadLoopList(dir.filePath("missing.txt"), LoopPage).fault,
              BackDateFault::ListFileUnreadable);

    QByteArray good = listText(EverySix).toLatin1();
    good.replace("frame ", "fr\xe9me ");
    // Ten good lines, then more than the read limit of anything.
    const QByteArray tail(kMaxLoopListBytes * 3, 'z');
    const LoopList list = readWith(good + tail + "\n");
    ASSERT_EQ(list.fault, std::nullopt);
    EXPECT_EQ(minutesOf(list.entries), EverySix);

    // A file without a line feed in its first megabyte is no list.
    EXPECT_EQ(readWith(tail + good).fault, BackDateFault::NotTenLines);
}

BackDateChoiceInput choiceAt(int hour, int minute, int interval = 6, bool loadAll = false) {
    BackDateChoiceInput input;
    input.refreshIntervalMinutes = interval;
    input.loadAll = loadAll;
    input.nowUtc = utc(hour, minute);
    return input;
}

// The fault of a choice that must load nothing.
std::optional<BackDateFault> faultOf(const std::vector<int>& list,
                                     const BackDateChoiceInput& input) {
    const BackDateSelection selection = ChooseBackDateImages(entriesAt(list), input);
    EXPECT_TRUE(selection.selected.empty());
    EXPECT_FALSE(selection.reference);
    return selection.fault;
}

TEST(BackDateChoice, FailsSoftWhenNothingFits) {
    EXPECT_EQ(faultOf(std::vector<int>(10, 30), choiceAt(13, 31)), BackDateFault::TooFewCandidates);
    EXPECT_EQ(faultOf(EverySix, choiceAt(14, 21)), BackDateFault::NewestTooOld);
    EXPECT_EQ(faultOf({54, 54, 54, 54, 54, 54, 54, 54, 55, 56}, choiceAt(13, 58)),
              BackDateFault::NothingSelected)
        << "only images within half an interval of the newest";
}

} // namespace
